// Scores a whole examination statistically: ten recorded tests of 72 000
// ticks, ten questions (neutral and control) six times each, samples in
// memory. The feature walk and the fit are timed apart, beside the floor: one
// plain pass of the two low-pass filters over the same samples.
#include "BenchExamination.h"
#include "data/FilterState.h"
#include "scoring/metric/CMathStat.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>

namespace {

constexpr int kTests = 10;
constexpr int kRuns = 3;
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

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
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
    const auto best = [&runs](double Figures::*member) {
        double value = runs[0].*member;
        for (const Figures &f : runs)
            value = std::min(value, f.*member);
        return value;
    };

    CMathStat stat;
    stat.calcAll(&inspection);
    QTextStream out(stdout);
    out << "examination: " << kTests << " tests x " << shape.ticks << " ticks, " << shape.questions
        << " questions x " << shape.presentations << " presentations; " << stat.count << " entries, "
        << stat.controlCount << " control, quality " << QString::number(stat.quality, 'f', 3) << "\n";
    out << QStringLiteral("calcAll:               %1 ms (target 500 ms)\n").arg(best(&Figures::calcAll), 0, 'f', 1);
    out << QStringLiteral("  feature walk:        %1 ms\n").arg(best(&Figures::walk), 0, 'f', 1);
    out << QStringLiteral("  fit:                 %1 ms\n").arg(best(&Figures::fit), 0, 'f', 1);
    out << QStringLiteral("two filters, one pass: %1 ms  (feature walk / floor = %2)\n")
               .arg(best(&Figures::filters), 0, 'f', 1)
               .arg(best(&Figures::walk) / best(&Figures::filters), 0, 'f', 1);
    out << "best of " << kRuns << " runs\n";
    return 0;
}
