// One whole-polygram pass into a 1920x1080 image at the end of a one-hour
// test (13 channels, filters on for pulse, pressure and the extra channel, a
// mark every 10 s, every channel noisy), on both of Qt's fill paths, at
// sweeps 1000 and 4000, with and without antialiasing.
// Beside it, as baseline: the same pass with filters off, and with filters
// off plus the three filters computed as plain window sums, which is what a
// pass costs when every window is summed afresh.
#include "bench/BenchFillPaths.h"
#include "polygram/drawG.h"
#include "tests/polygram/NaiveFilters.h"
#include "tests/polygram/PolygramFixture.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <functional>

namespace {

constexpr int kPasses = 200;
constexpr int kWarmUp = 10;
const int kFiltered[] = {ChannelCode::PG, ChannelCode::AD, ChannelCode::ADVANCED};

enum class Filters { Running, Off, Naive };

struct Figures {
    double median;
    double p99;
};

// CPU time of the painting thread: the machine is shared.
double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

Figures figuresOf(QVector<double> times)
{
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[qMin(times.size() - 1, int(times.size() * 0.99))]};
}

void setFilters(PolygramFixture &fixture, bool on)
{
    fixture.looks[ChannelCode::PG].bEnableFilter = on;
    fixture.looks[ChannelCode::ADVANCED].bEnableFilter = on;
    fixture.looks[ChannelCode::AD].bEnableFilter2 = on;
}

// What the filtered curves cost when each window is summed afresh.
void naiveFiltering(const PolygramFixture &fixture)
{
    for (int code : kFiltered) {
        const QVector<qint16> &samples = *fixture.test.samples(code);
        QVector<qint16> buffer(samples.size(), 0);
        if (code == ChannelCode::AD)
            naiveMovingAverage(samples.constData(), buffer.data(), samples.size());
        else
            naiveRemoveBaseline(samples.constData(), buffer.data(), samples.size());
    }
}

Figures measure(PolygramFixture &fixture, int sweep, bool antialiased, Filters filters)
{
    setFilters(fixture, filters == Filters::Running);
    QImage image(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    QVector<double> times;
    for (int pass = 0; pass < kWarmUp + kPasses; ++pass) {
        image.fill(Qt::white);
        QPainter qp(&image);
        const double start = threadCpuMs();
        drawG painter(&fixture.test, sweep);
        if (antialiased)
            painter.setRenderHints(qp);
        painter.drawPolygram(qp, image.rect(), PolygramFixture::kHour, 0);
        if (filters == Filters::Naive)
            naiveFiltering(fixture);
        const double ms = threadCpuMs() - start;
        if (pass >= kWarmUp)
            times << ms;
    }
    return figuresOf(times);
}

}  // namespace

int main(int argc, char *argv[])
{
    if (!BenchFillPaths::measuresHere(argv))
        return 0;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    PolygramFixture fixture;
    fixture.fillOneHour();
    fixture.addNoise(150);

    QTextStream out(stdout);
    out << "drawPolygram, 1920x1080, one-hour test, " << kPasses << " passes each; thread CPU ms median / 99th percentile\n";
    out << "sweep  antialias  filters on      | baseline: filters off   plain window sums\n";
    for (int sweep : {1000, 4000}) {
        for (bool antialiased : {false, true}) {
            const Figures on = measure(fixture, sweep, antialiased, Filters::Running);
            const Figures off = measure(fixture, sweep, antialiased, Filters::Off);
            const Figures naive = measure(fixture, sweep, antialiased, Filters::Naive);
            out << QString::asprintf("%5d  %-9s  %6.2f / %6.2f | %6.2f / %6.2f         %6.2f / %6.2f\n", sweep,
                                     antialiased ? "on" : "off", on.median, on.p99, off.median, off.p99,
                                     naive.median, naive.p99);
        }
    }
    out << "target: filters on at sweep 1000 under 10 ms a pass\n";
    return 0;
}
