// The points window's trees on ten recorded tests of 15 questions presented
// 60 times, every entry scored in scale 3210123: a fresh build and a refresh of
// the navigator and the expert tree, shown on screen, beside the sums alone
// over the same data.
#include "bench/BenchHome.h"
#include "BenchExamination.h"
#include "scoring/points/InspectionAnalysisBallFancy.h"
#include "scoring/points/ExpertTreeFill.h"
#include "scoring/points/NavigatorSums.h"

#include "data/BallValuationSums.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <numeric>
#include <memory>

namespace {

constexpr int kTests = 10;
constexpr int kRuns = 9;
volatile float sink = 0.0f;

Inspection scoredExamination()
{
    BenchTestShape shape;
    shape.questions = 15;
    shape.presentations = 60;
    shape.ticks = 18000;
    shape.kind = [](int q) { return q == 3 ? 1 : 0; };
    Inspection inspection;
    for (int n = 0; n < kTests; ++n) {
        Inspection::_Test test = recordedTest(n, shape);
        for (int p = 1; p <= shape.presentations; ++p) {
            for (int q = 0; q < shape.questions; ++q) {
                Inspection::_BallValuation &entry = test.valuationBall_3210123[p][q];
                entry.iGroup = p;
                entry.iQuest = q;
                entry.GSRPar = (p * 7 + q * 3 + n) % 7 - 3;
                entry.FPGPar = (p * 5 + q) % 7 - 3;
                entry.nRG = (p + q * 11) % 7 - 3;
                entry.bEnable = (p + q) % 9 != 0;
            }
        }
        test.valuationBall_ChannelK[1] = 1.5f;
        test.valuationBall_GroupsDisabled.insert(7);
        inspection.appendTest(test);
    }
    return inspection;
}

double median(const std::function<void()> &step)
{
    QVector<double> times;
    QElapsedTimer timer;
    for (int run = 0; run < kRuns; ++run) {
        timer.start();
        step();
        QCoreApplication::processEvents();  // the view's repaint after the change
        times << timer.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    return times[kRuns / 2];
}

// The trees' arithmetic without items: the navigator's figures and the
// expert's table of weighted points.
void sumsAlone(Inspection &inspection)
{
    float total = 0.0f;
    for (const Inspection::_Test &test : qAsConst(inspection.tests)) {
        const NavigatorSums sums(test, test.valuationBall_3210123);
        const QVector<float> table
            = weightedBallTable(test, test.valuationBall_3210123, test.themis.size(), test.presentationCount());
        total += sums.grandTotal() + std::accumulate(table.begin(), table.end(), 0.0f);
    }
    sink = sink + total;
}

// The expert's weighted points asked cell by cell, each ask walking the map.
void cellByCell(Inspection &inspection)
{
    float total = 0.0f;
    for (const Inspection::_Test &test : qAsConst(inspection.tests)) {
        for (int q = 0; q < test.themis.size(); ++q)
            for (int p = 1; p <= test.presentationCount(); ++p)
                total += weightedBallSum(test, test.valuationBall_3210123, q, p);
    }
    sink = sink + total;
}

}  // namespace

int main(int argc, char *argv[])
{
    BenchHome home;
    QApplication app(argc, argv);
    QTextStream out(stdout);

    Inspection inspection = scoredExamination();
    InspectionAnalysisBallFancy window;
    window.resize(1600, 1000);
    window.show();
    window.onEnableBall3210123();
    window.onChangedPersone(QString(), &inspection);

    const auto row = [&out](const QString &what, double ms) {
        out << QStringLiteral("%1  median %2 ms\n").arg(what, -36).arg(ms, 8, 'f', 2);
    };
    row(QStringLiteral("sums alone"), median([&inspection] { sumsAlone(inspection); }));
    row(QStringLiteral("expert points cell by cell"), median([&inspection] { cellByCell(inspection); }));
    window.onModeInput_0();
    row(QStringLiteral("navigator: fresh build"), median([&window] { window.updateTitle(); }));
    row(QStringLiteral("navigator: refresh"), median([&window] { window.updateTree(); }));
    window.onModeInput_1();
    row(QStringLiteral("expert: fresh build"), median([&window] { window.updateTitle(); }));
    row(QStringLiteral("expert: refresh"), median([&window] { window.updateTree(); }));
    std::unique_ptr<QStandardItemModel> model(ExpertTreeFill(&inspection, 2).build());
    row(QStringLiteral("expert: model refresh, no view"),
        median([&inspection, &model] { ExpertTreeFill(&inspection, 2).refresh(*model); }));
    return 0;
}
