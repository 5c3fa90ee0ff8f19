// Scores a whole examination statistically: ten recorded tests of 72 000
// ticks, ten questions (neutral and control) six times each, samples in
// memory. The feature walk and the fit are timed apart, beside the floor: one
// plain pass of the two low-pass filters over the same samples.
//
// Then the statistics window's whole computation on the same examination
// stored in a subject file with points in three scales and ten metric
// parameters valued on every mark, freshly loaded: the loading, the
// statistical scoring (reading the recordings), the sums and the table timed
// apart, beside the store's whole load alone.
#include "BenchExamination.h"
#include "data/FilterState.h"
#include "scoring/metric/CMathStat.h"
#include "scoring/metric/StatResultTable.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <memory>

namespace {

constexpr int kTests = 10;
constexpr int kRuns = 3;
constexpr int kMetricParams = 10;
// Keeps the filter outputs from being optimised away.
volatile double sink = 0.0;

double milliseconds(const QElapsedTimer &timer) { return timer.nsecsElapsed() / 1e6; }

struct Figures {
    double calcAll = 0, walk = 0, fit = 0, filters = 0;
};

Figures runOnce(Inspection &inspection)
{
    Figures figures;
    QElapsedTimer timer;
    {
        CMathStat stat;
        timer.start();
        stat.calcAll(&inspection);
        figures.calcAll = milliseconds(timer);
        if (stat.scores.size() != stat.entries.size() || stat.entries.isEmpty())
            qFatal("the examination was not scored");
    }
    {
        CMathStat stat;
        stat.inspection = &inspection;
        timer.start();
        stat.runEtica(false, CMathStat::PulseFromPG);
        figures.walk = milliseconds(timer);
        timer.start();
        stat.calcDiscriminant(false, false);
        figures.fit = milliseconds(timer);
    }
    timer.start();
    for (const Inspection::_Test &test : qAsConst(inspection.tests)) {
        FilterState pulse, breathing;
        double sum = 0.0;
        for (int i = 0; i < test.dataPG.size(); ++i)
            sum += lowPassFilterA(pulse, test.dataPG[i]) + lowPassFilterB(breathing, test.dataRG_LO[i]);
        sink = sink + sum;
    }
    figures.filters = milliseconds(timer);
    return figures;
}

// Points in every scale and a value of every parameter on every mark.
void scoreEverything(Inspection &inspection)
{
    for (int k = 0; k < kMetricParams; ++k) {
        Inspection::_MetricParam param;
        param.uid = QUuid::createUuid();
        param.bEnable = true;
        param.dK = 0.5 + k % 3;
        inspection.metricParams.append(param);
    }
    for (Inspection::_Test &test : inspection.tests) {
        for (const Inspection::_Label &mark : qAsConst(test.labels)) {
            const int p = mark.Group, q = mark.Theme;
            BallValuationMap *scales[] = {&test.valuationBall_012, &test.valuationBall_101, &test.valuationBall_3210123};
            for (int scale = 0; scale < 3; ++scale) {
                Inspection::_BallValuation &entry = (*scales[scale])[p][q];
                entry.iGroup = p;
                entry.iQuest = q;
                entry.GSRPar = (p + q + scale) % 3 - 1;
                entry.FPGPar = (p * q + scale) % 3 - 1;
                entry.nRG = (p + 2 * q) % 3 - 1;
            }
            for (int k = 0; k < kMetricParams; ++k) {
                Inspection::_MetricValuation &value = test.valuationMetric[p][q][inspection.metricParams[k].uid];
                value.iGroup = p;
                value.iQuest = q;
                value.uidParam = inspection.metricParams[k].uid;
                value.nValue = (p * 131 + q * 71 + k * 17) % 500;
            }
        }
    }
}

void saveSubject(Inspection &inspection)
{
    for (Inspection::_Test &test : inspection.tests) {
        inspection.saveTestStruct(&test);
        inspection.saveRecording(&test);
        inspection.saveBallValuation(&test);
        inspection.saveMetricValuation(&test);
    }
    inspection.saveMetricParams();
}

struct WindowFigures {
    double load = 0, score = 0, sums = 0, model = 0, storeLoad = 0;
    double total() const { return load + score + sums + model; }
};

WindowFigures runWindowOnce(const QString &path)
{
    WindowFigures figures;
    QElapsedTimer timer;
    {
        Inspection inspection;
        timer.start();
        inspection.load(path);
        inspection.loadMetricParams();
        figures.load = milliseconds(timer);
        StatResultTable table(inspection);
        timer.start();
        table.score();
        figures.score = milliseconds(timer);
        timer.start();
        table.sum();
        figures.sums = milliseconds(timer);
        timer.start();
        std::unique_ptr<QStandardItemModel> model(table.model());
        figures.model = milliseconds(timer);
        if (model->rowCount() != kTests || table.quality() <= 0.0)
            qFatal("the statistics table is not whole");
    }
    Inspection inspection;
    timer.start();
    inspection.load(path);
    for (Inspection::_Test &test : inspection.tests)
        inspection.loadRecording(&test);
    figures.storeLoad = milliseconds(timer);
    return figures;
}

template<typename Figure>
double best(const QVector<Figure> &runs, double (Figure::*value)() const)
{
    double result = (runs[0].*value)();
    for (const Figure &f : runs)
        result = std::min(result, (f.*value)());
    return result;
}

template<typename Figure>
double best(const QVector<Figure> &runs, double Figure::*member)
{
    double result = runs[0].*member;
    for (const Figure &f : runs)
        result = std::min(result, f.*member);
    return result;
}

void reportWindow(Inspection &inspection, QTextStream &out)
{
    QTemporaryDir folder;
    inspection.path = folder.filePath(QStringLiteral("subject.qmz"));
    scoreEverything(inspection);
    saveSubject(inspection);
    QVector<WindowFigures> runs;
    for (int run = 0; run < kRuns; ++run)
        runs.append(runWindowOnce(inspection.path));
    // The recordings are read inside calcAll; the store's load less its
    // structures tells how long that takes.
    const double recordings = best(runs, &WindowFigures::storeLoad) - best(runs, &WindowFigures::load);
    const double beyondLoading = best(runs, &WindowFigures::score) - recordings + best(runs, &WindowFigures::sums)
        + best(runs, &WindowFigures::model);
    out << QStringLiteral("\nstatistics window, the whole computation on a freshly loaded subject file (%1 metric "
                          "parameters, points in three scales):\n")
               .arg(kMetricParams);
    out << QStringLiteral("  load structures:     %1 ms\n").arg(best(runs, &WindowFigures::load), 0, 'f', 1);
    out << QStringLiteral("  calcAll (recordings read inside): %1 ms\n").arg(best(runs, &WindowFigures::score), 0, 'f', 1);
    out << QStringLiteral("  points and metric sums: %1 ms\n").arg(best(runs, &WindowFigures::sums), 0, 'f', 1);
    out << QStringLiteral("  table model:         %1 ms\n").arg(best(runs, &WindowFigures::model), 0, 'f', 1);
    out << QStringLiteral("  in all:              %1 ms (target 1500 ms)\n").arg(best(runs, &WindowFigures::total), 0, 'f', 1);
    out << QStringLiteral("  beyond the loading:  %1 ms (target 500 ms)\n").arg(beyondLoading, 0, 'f', 1);
    out << QStringLiteral("store's whole load alone: %1 ms\n").arg(best(runs, &WindowFigures::storeLoad), 0, 'f', 1);
}

}  // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    BenchTestShape shape;
    shape.presentations = 6;
    shape.kind = [](int q) { return q % 2 ? int(QuestionKind::Control) : int(QuestionKind::Neutral); };
    shape.sample = reactingSample;
    shape.interval = {15.0, 0.0, 15.0};
    Inspection inspection;
    for (int n = 0; n < kTests; ++n)
        inspection.appendTest(recordedTest(n, shape));

    QVector<Figures> runs;
    for (int run = 0; run < kRuns; ++run)
        runs.append(runOnce(inspection));
    const auto fastest = [&runs](double Figures::*member) { return best(runs, member); };

    CMathStat stat;
    stat.calcAll(&inspection);
    QTextStream out(stdout);
    out << "examination: " << kTests << " tests x " << shape.ticks << " ticks, " << shape.questions
        << " questions x " << shape.presentations << " presentations; " << stat.count << " entries, "
        << stat.controlCount << " control, quality " << QString::number(stat.quality, 'f', 3) << "\n";
    out << QStringLiteral("calcAll:               %1 ms (target 500 ms)\n").arg(fastest(&Figures::calcAll), 0, 'f', 1);
    out << QStringLiteral("  feature walk:        %1 ms\n").arg(fastest(&Figures::walk), 0, 'f', 1);
    out << QStringLiteral("  fit:                 %1 ms\n").arg(fastest(&Figures::fit), 0, 'f', 1);
    out << QStringLiteral("two filters, one pass: %1 ms  (feature walk / floor = %2)\n")
               .arg(fastest(&Figures::filters), 0, 'f', 1)
               .arg(fastest(&Figures::walk) / fastest(&Figures::filters), 0, 'f', 1);
    reportWindow(inspection, out);
    out << "best of " << kRuns << " runs\n";
    return 0;
}
