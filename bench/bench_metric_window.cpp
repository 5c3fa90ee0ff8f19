// The metric window's results for ten recorded tests of fifteen questions
// presented five times, measured on forty parameters (30 000 value cells):
// a build and a refresh (what Space does after storing a measurement), beside
// the arithmetic alone (collectQuestValues and weightedSum) on the same data.
#include "BenchExamination.h"
#include "scoring/metric/CMathMetrics.h"
#include "scoring/metric/InspectionAnalysisMetrFancy.h"
#include "scoring/metric/_QTreeView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

namespace {

constexpr int kTests = 10;
constexpr int kParams = 40;
constexpr int kRuns = 5;

double milliseconds(const QElapsedTimer &timer) { return timer.nsecsElapsed() / 1e6; }

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void fillExamination(Inspection &inspection)
{
    BenchTestShape shape;
    shape.ticks = 7500;
    shape.questions = 15;
    shape.presentations = 5;
    QRandomGenerator random(101);
    for (int k = 0; k < kParams; ++k) {
        Inspection::_MetricParam param;
        param.uid = QUuid::createUuid();
        param.Name = QStringLiteral("Параметр %1").arg(k + 1);
        param.bEnable = true;
        param.dK = random.bounded(-20, 21) / 10.0;
        inspection.metricParams.append(param);
    }
    for (int n = 0; n < kTests; ++n) {
        Inspection::_Test test = recordedTest(n, shape);
        for (int p = 1; p <= shape.presentations; ++p) {
            for (int q = 0; q < shape.questions; ++q) {
                for (const Inspection::_MetricParam &param : qAsConst(inspection.metricParams)) {
                    Inspection::_MetricValuation &value = test.valuationMetric[p][q][param.uid];
                    value.iGroup = p;
                    value.iQuest = q;
                    value.uidParam = param.uid;
                    value.nValue = random.bounded(0, 500);
                }
            }
        }
        inspection.appendTest(test);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    Inspection inspection(dir.filePath(QStringLiteral("bench.qmz")));
    fillExamination(inspection);
    inspection.saveTestStruct(nullptr);
    inspection.saveMetricParams();

    InspectionAnalysisMetrFancy window;
    window.resize(1400, 900);
    window.show();
    window.onChangedPersone(inspection.path, &inspection);
    // A refresh keeps the current cell, as after Space.
    const QAbstractItemModel *model = window.resultsTree()->model();
    window.resultsTree()->setCurrentIndex(model->index(0, 4, model->index(0, 0, model->index(0, 0))));

    QVector<double> builds, refreshes, arithmetic;
    QElapsedTimer timer;
    for (int run = 0; run < kRuns; ++run) {
        timer.start();
        window.fillResultsTree(false);
        QCoreApplication::processEvents();
        builds << milliseconds(timer);
        // Space has stored a new value in the first cell.
        inspection.tests[0].valuationMetric[1][0][inspection.metricParams[0].uid].nValue = 600 + run;
        timer.start();
        window.fillResultsTree(true);
        QCoreApplication::processEvents();
        refreshes << milliseconds(timer);
        timer.start();
        const CMathMetrics math;
        for (const Inspection::_Test &test : qAsConst(inspection.tests)) {
            MetricMatrix values;
            MetricZMap z;
            QVector<double> sums;
            math.collectQuestValues(inspection, test, values, z);
            math.weightedSum(values, inspection.metricParams, sums);
        }
        arithmetic << milliseconds(timer);
    }
    QTextStream(stdout) << QStringLiteral("metric results, %1 tests x 15 questions x 5 presentations x %2 parameters, "
                                          "median of %3 runs:\n  build %4 ms\n  refresh %5 ms (target < 100)\n"
                                          "  collectQuestValues + weightedSum alone %6 ms\n")
                               .arg(kTests)
                               .arg(kParams)
                               .arg(kRuns)
                               .arg(median(builds), 0, 'f', 1)
                               .arg(median(refreshes), 0, 'f', 1)
                               .arg(median(arithmetic), 0, 'f', 1);
    return 0;
}
