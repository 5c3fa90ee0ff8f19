// Records from the emulated Vorkel16 unit through its real protocol (and then
// from the demonstration plug-in) at the real 50 ms tick while normal-priority
// load threads keep every core busy, one of them drawing polygrams as the live
// view does. Beside it, in the same run, a bare 50 ms precise Qt timer thread
// with no work. Usage: bench_sensor_reader [--minutes M] [--demo-minutes D]
#include "data/GenericSettings.h"
#include "data/Inspection.h"
#include "data/SettingsStore.h"
#include "recording/SensorReader.h"
#include "recording/_Timer.h"
#include "sensors/serial/EmulatedUnit.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QMutex>
#include <QPainter>
#include <QPainterPath>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

namespace {

constexpr double kTickMs = 50.0;

QElapsedTimer &benchClock()
{
    static QElapsedTimer clock;
    return clock;
}

double nowMs()
{
    return benchClock().nsecsElapsed() / 1e6;
}

// The real tick source, with the moments the reader took each tick and came back for the next.
class TimedTicks : public TickSource
{
public:
    TimedTicks()
    {
        starts.reserve(SensorReader::RecordCapacity);
        busy.reserve(SensorReader::RecordCapacity);
    }

    quint64 waitForTick(quint64 taken) override
    {
        const double back = nowMs();
        if (!starts.empty())
            busy.push_back(back - starts.back());
        const quint64 newest = timer.waitForTick(taken);
        starts.push_back(nowMs());
        return newest;
    }
    void interrupt() override { timer.interrupt(); }

    _Timer timer;
    std::vector<double> starts;
    std::vector<double> busy;
};

// A 50 ms precise timer on a time-critical thread that only notes when it fired.
class BareTimer
{
public:
    BareTimer()
    {
        starts.reserve(SensorReader::RecordCapacity);
        timer.setInterval(int(kTickMs));
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &timer, [this] {
            QMutexLocker lock(&mutex);
            starts.push_back(nowMs());
        }, Qt::DirectConnection);
        timer.moveToThread(&thread);
        QObject::connect(&thread, &QThread::started, &timer, [this] {
            _Timer::makeCurrentThreadTimeCritical();
            timer.start();
        });
        thread.start(QThread::TimeCriticalPriority);
    }
    ~BareTimer()
    {
        QMetaObject::invokeMethod(&timer, [this] { timer.stop(); thread.quit(); }, Qt::QueuedConnection);
        thread.wait();
    }
    std::vector<double> taken()
    {
        QMutexLocker lock(&mutex);
        return starts;
    }

private:
    QThread thread;
    QTimer timer;
    QMutex mutex;
    std::vector<double> starts;
};

// Normal-priority threads on every core: one draws the newest part of the
// polygram over and over, the others compute.
class Load
{
public:
    Load(SensorReader &reader, Inspection::_Test &test, int threads)
    {
        m_threads.emplace_back([this, &reader, &test] { drawPolygrams(reader, test); });
        for (int i = 1; i < threads; ++i)
            m_threads.emplace_back([this] { compute(); });
    }
    ~Load()
    {
        m_running = false;
        for (std::thread &thread : m_threads)
            thread.join();
    }
    quint64 pictures() const { return m_pictures; }

private:
    void drawPolygrams(SensorReader &reader, Inspection::_Test &test)
    {
        QImage picture(1600, 900, QImage::Format_ARGB32_Premultiplied);
        const int band = picture.height() / ChannelCode::Count;
        while (m_running) {
            const int end = reader.currentPosition();
            picture.fill(Qt::white);
            QPainter painter(&picture);
            painter.setRenderHint(QPainter::Antialiasing);
            for (int code = 0; code < ChannelCode::Count; ++code) {
                const QVector<qint16> &samples = *test.samples(code);
                QPainterPath curve;
                const int first = std::max(0, end - picture.width());
                for (int p = first; p < std::min(end, int(samples.size())); ++p) {
                    const QPointF point(p - first, band * (code + 0.5) - samples[p] / 64.0);
                    if (p == first)
                        curve.moveTo(point);
                    else
                        curve.lineTo(point);
                }
                painter.setPen(QPen(QColor::fromHsv(code * 27, 200, 160), 2));
                painter.drawPath(curve);
            }
            ++m_pictures;
        }
    }

    void compute()
    {
        double x = 1.0;
        while (m_running) {
            for (int i = 0; i < 100000; ++i)
                x = std::sin(x) + 1.0;
        }
        m_sink = x;
    }

    std::atomic<bool> m_running{true};
    std::atomic<quint64> m_pictures{0};
    std::atomic<double> m_sink{0.0};
    std::vector<std::thread> m_threads;
};

struct Spread
{
    double median = 0.0;
    double p99 = 0.0;
    double max = 0.0;
};

Spread spreadOf(std::vector<double> values)
{
    Spread spread;
    if (values.empty())
        return spread;
    std::sort(values.begin(), values.end());
    spread.median = values[values.size() / 2];
    spread.p99 = values[std::min(values.size() - 1, size_t(std::ceil(values.size() * 0.99)) - 1)];
    spread.max = values.back();
    return spread;
}

std::vector<double> jitterOf(const std::vector<double> &starts)
{
    std::vector<double> jitter;
    for (size_t i = 1; i < starts.size(); ++i)
        jitter.push_back(std::abs(starts[i] - starts[i - 1] - kTickMs));
    return jitter;
}

// Intervals between two starts shorter than low or longer than high milliseconds.
int intervalsOutside(const std::vector<double> &starts, double low, double high)
{
    int count = 0;
    for (size_t i = 1; i < starts.size(); ++i) {
        const double interval = starts[i] - starts[i - 1];
        count += interval < low || interval > high ? 1 : 0;
    }
    return count;
}

double framesPerSecond(const std::vector<double> &starts)
{
    if (starts.size() < 2)
        return 0.0;
    return (starts.size() - 1) * 1000.0 / (starts.back() - starts.front());
}

QString spreadText(const Spread &spread)
{
    return QStringLiteral("median %1, 99th percentile %2, maximum %3 ms")
        .arg(spread.median, 0, 'f', 3)
        .arg(spread.p99, 0, 'f', 3)
        .arg(spread.max, 0, 'f', 3);
}

// A Vorkel16 frame reply: every word at its centre, the cuff reading "00".
QByteArray vorkel16Frame()
{
    QByteArray reply("ok");
    for (int i = 0; i < 9; ++i)
        reply += QByteArray("\x80\x00", 2);
    return reply + "00";
}

void recordPass(const QString &title, const QString &plugin, double minutes, int loadThreads, QTextStream &out)
{
    GenericSettings settings;
    settings.load();
    settings.sNameDriverDll = plugin;
    settings.bEnableVideoForRecord = false;
    settings.save();

    QTemporaryDir folder;
    Inspection inspection(folder.filePath(QStringLiteral("subject.vug")));
    inspection.appendTest(Inspection::_Test(QStringLiteral("Тест")));
    TimedTicks ticks;
    QObject loopEnds;
    ReaderCollaborators collaborators;
    collaborators.ticks = &ticks;
    collaborators.loopEndReceiver = &loopEnds;
    SensorReader reader(&inspection, &inspection.tests[0], true, 0, collaborators);
    QStringList errors;
    QObject::connect(&reader, &SensorReader::error, &reader, [&errors](const QString &text) { errors << text; },
                     Qt::DirectConnection);
    BareTimer bare;
    std::thread acquisition([&reader] { reader.onExecute(); });
    QElapsedTimer elapsed;
    elapsed.start();
    quint64 pictures = 0;
    {
        Load load(reader, inspection.tests[0], loadThreads);
        const qint64 endMs = qint64(minutes * 60000.0);
        // The drawing stops before the loop's end cuts the arrays.
        while (elapsed.elapsed() < endMs && reader.currentPosition() < SensorReader::RecordCapacity - 2 && errors.isEmpty())
            QThread::msleep(10);
        pictures = load.pictures();
    }
    if (elapsed.elapsed() < qint64(minutes * 60000.0))
        QThread::msleep(200);
    reader.requestStop();
    acquisition.join();
    out << title << QStringLiteral(": %1 min, %2 load threads, %3 polygram pictures drawn\n")
                        .arg(elapsed.elapsed() / 60000.0, 0, 'f', 2)
                        .arg(loadThreads)
                        .arg(pictures);
    if (!errors.isEmpty()) {
        out << "  failed: " << errors.join("; ") << "\n";
        return;
    }
    out << QStringLiteral("  reader:   %1 frames/s, %2 missed ticks, %3 positions\n")
               .arg(framesPerSecond(ticks.starts), 0, 'f', 2)
               .arg(reader.missedTicks())
               .arg(reader.currentPosition());
    out << "  reader jitter:    " << spreadText(spreadOf(jitterOf(ticks.starts))) << "\n";
    out << QStringLiteral("  reader stalls:    %1 intervals over 75 ms, %2 ticks run at once (under 25 ms) after one\n")
               .arg(intervalsOutside(ticks.starts, 0.0, 75.0))
               .arg(intervalsOutside(ticks.starts, 25.0, 1e9));
    out << "  tick time:        " << spreadText(spreadOf(ticks.busy)) << "\n";
    const std::vector<double> baseline = bare.taken();
    out << QStringLiteral("  baseline: %1 frames/s (bare 50 ms precise timer, no work)\n")
               .arg(framesPerSecond(baseline), 0, 'f', 2);
    out << "  baseline jitter:  " << spreadText(spreadOf(jitterOf(baseline))) << "\n";
    out << QStringLiteral("  baseline stalls:  %1 intervals over 75 ms\n").arg(intervalsOutside(baseline, 0.0, 75.0));
    out.flush();
}

}  // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"minutes", "Length of the Vorkel16 pass in minutes (the target is one hour).", "M", "60"});
    parser.addOption({"demo-minutes", "Length of the demonstration pass in minutes.", "D", "10"});
    parser.process(app);

    // Never the real user's settings.
    QTemporaryDir home;
    QStandardPaths::setTestModeEnabled(true);
    SettingsStore::setConfigFolder(home.path());
    benchClock().start();

    const int loadThreads = std::max(1, QThread::idealThreadCount());
    QTextStream out(stdout);
    {
        EmulatedUnit unit;
        // The reply leaves the unit's USB chip 2 ms after the request, as with a low latency timer.
        unit.answer("go__", vorkel16Frame(), 2);
        unit.answerOthers("ack!", 2);
        recordPass(QStringLiteral("Vorkel16 (emulated unit)"), QStringLiteral("vugSensorVorkel16.so"),
                   parser.value("minutes").toDouble(), loadThreads, out);
    }
    recordPass(QStringLiteral("demonstration plug-in"), QStringLiteral("vugSensorDemo.so"),
               parser.value("demo-minutes").toDouble(), loadThreads, out);
    out << "target: 20.00 frames/s, 0 missed ticks, 99th-percentile jitter under 5 ms\n";
    return 0;
}
