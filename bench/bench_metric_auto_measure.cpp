// The automatic measurement of all 178 catalogue parameters on ten recorded
// tests of 72 000 samples with 60 question marks each, beside the filter
// passes alone (one per searched parameter and test; lengths filter nothing)
// on the same data.
#include "BenchExamination.h"
#include "scoring/metric/DefMertValuation.h"
#include "scoring/metric/MetricAutoMeasure.h"

#include "data/ChannelSearchSeries.h"

#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>

namespace {

constexpr int kTests = 10;
constexpr int kRuns = 3;

double milliseconds(const QElapsedTimer &timer) { return timer.nsecsElapsed() / 1e6; }

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The filter each parameter's routine runs over its channel.
SeriesFilter filterOf(int code)
{
    switch (code) {
    case 2:
    case 3:
        return SeriesFilter::LowPassB;
    case 4:
    case 7:
    case 9:
        return SeriesFilter::LowPassA;
    default:
        return SeriesFilter::None;
    }
}

}  // namespace

int main()
{
    BenchTestShape shape;
    shape.ticks = 72000;
    shape.questions = 10;
    shape.presentations = 6;
    shape.sample = reactingSample;
    shape.interval.nIALength = 10;
    QVector<Inspection::_Test> tests;
    for (int n = 0; n < kTests; ++n)
        tests.append(recordedTest(n, shape));
    DefMertValuation catalogue;
    catalogue.fillStandard();
    for (Inspection::_MetricParam &param : catalogue.entries)
        param.bEnable = true;

    QVector<double> measuring, filtering;
    qint64 checksum = 0;
    for (int run = 0; run < kRuns; ++run) {
        QVector<Inspection::_Test> work = tests;
        QElapsedTimer timer;
        timer.start();
        for (Inspection::_Test &test : work)
            MetricAutoMeasure::measureTest(catalogue.entries, test);
        measuring.append(milliseconds(timer));
        for (const auto &group : work.first().valuationMetric)
            for (const auto &quest : group)
                for (const auto &record : quest)
                    checksum += record.nValue;

        timer.restart();
        for (const Inspection::_Test &test : tests) {
            for (const Inspection::_MetricParam &param : catalogue.entries) {
                if (param.Name.contains(QStringLiteral("Длина")))
                    continue;  // lengths are summed on the samples themselves
                checksum += channelSearchSeries(test, param.nKodChannel, filterOf(param.nKodChannel), 3, 10000).size();
            }
        }
        filtering.append(milliseconds(timer));
    }

    QTextStream out(stdout);
    out << "automatic measurement: " << catalogue.entries.size() << " parameters, " << kTests << " tests of "
        << shape.ticks << " samples, " << shape.questions * shape.presentations << " marks each\n";
    out << "  measurement (median of " << kRuns << "): " << median(measuring) << " ms (target < 2000 ms)\n";
    out << "  filter passes alone:         " << median(filtering) << " ms\n";
    out << "  (checksum " << checksum << ")\n";
    return median(measuring) < 2000.0 ? 0 : 1;
}
