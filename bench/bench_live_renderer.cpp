// The live view on a 1920x1080 window at the end of a one-hour test (13
// channels, default filters, a mark every 10 s, panels on), at sweeps 1000,
// 2500 and 4000, without and with the camera panel: the former path (the
// whole polygram drawn every sub-frame, shown through OpenGL) beside the
// present one (the kept picture, shown by the raster window when GL is a
// software rasteriser), per sub-frame and per round of the sweep's
// sub-frames, one position a round. Baselines: a sub-frame that only clears
// and swaps, one that uploads a prepared image and swaps. Then the recording
// screen opened from the main window on the demonstration unit, real timer:
// CPU time of the process (all threads) per wall second beside the idle main
// window, as Qt picks its fill paths and again in a second process with AVX2
// off (--screen runs only this part; --sub-frames only the part before it).
// --no-camera: video on where the system lists no camera.
// Run under xvfb-run (Mesa llvmpipe) or on a machine with a GPU driver.
#include "app/vugVorkel.h"
#include "bench/BenchHome.h"
#include "bench/ReviewBenchSetup.h"
#include "data/ChannelBindings.h"
#include "data/InspectionMedia.h"
#include "data/GenericSettings.h"
#include "polygram/InputState.h"
#include "polygram/RenderPath.h"
#include "editor/InspectionEditFancy.h"
#include "recording/InspectionRecordFancy.h"
#include "recording/PoligrammeRecordWindow.h"
#include "recording/RecordingSession.h"
#include "recording/Renderer.h"
#include "recording/SensorReader.h"
#include "recording/SweepPacing.h"
#include "recording/TickSource.h"
#include "tests/polygram/PolygramFixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMainWindow>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLPaintDevice>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <functional>

namespace {

constexpr int kRounds = 300;
constexpr int kWarmUp = 20;
constexpr int kHour = PolygramFixture::kHour;
constexpr int kRecordingSeconds = 8;
constexpr int kScreenRounds = 2;

// The reader is never started; it only carries the flags the frame reads.
class IdleTicks : public TickSource
{
public:
    quint64 waitForTick(quint64 taken) override { return taken; }
    void interrupt() override {}
};

struct Figures {
    double median;
    double p99;
};

Figures figuresOf(QVector<double> times)
{
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[std::min(int(times.size()) - 1, int(times.size() * 0.99))]};
}

Figures timed(const std::function<void(int frame)> &draw)
{
    for (int i = 0; i < kWarmUp; ++i)
        draw(i);
    QVector<double> times;
    QElapsedTimer clock;
    for (int i = 0; i < kRounds; ++i) {
        clock.start();
        draw(i);
        times.append(clock.nsecsElapsed() / 1e6);
    }
    return figuresOf(times);
}

void print(QTextStream &out, const QString &what, const Figures &f)
{
    out << QStringLiteral("%1  median %2 ms  p99 %3 ms\n").arg(what, -52).arg(f.median, 7, 'f', 2).arg(f.p99, 7, 'f', 2);
    out.flush();
}

void waitExposed(QWindow &window)
{
    while (!window.isExposed())
        QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// One path of the live view: a window shown at full size and a renderer over it.
class LivePath
{
public:
    LivePath(bool former, Inspection &inspection, InspectionTest &test, SensorReader &reader)
        : window(nullptr, !former && RenderPath::software())
        , renderer(&window, &inspection, &test, &reader)
    {
        renderer.setWholeFrames(former);
        renderer.viewSettings().bShowTrasparentPanel_Inspection = true;
        renderer.viewSettings().bShowTrasparentPanel_Quest = true;
        renderer.setSelectedChannel(ChannelCode::GSR_C);
        window.resize(1920, 1080);
        window.show();
        waitExposed(window);
        if (!window.raster()) {
            context.setFormat(window.requestedFormat());
            context.create();
            context.makeCurrent(&window);
        }
        renderer.prepareDrawing();
    }
    ~LivePath()
    {
        if (!window.raster())
            context.makeCurrent(&window);
        renderer.finishDrawing();
    }

    void subFrame(int d, float offset)
    {
        renderer.drawSubFrame(window.raster() ? nullptr : &context, d, offset, Renderer::FrameInput());
        // The GUI thread's half of the raster presentation.
        QCoreApplication::sendPostedEvents(&window, QEvent::UpdateRequest);
    }

    // Sub-frame and round figures at a sweep, one position a round; each
    // round begins with newRound, as a tick of the reader does.
    void measure(QTextStream &out, const QString &what, int sweep, const std::function<void(int round)> &newRound)
    {
        renderer.setSweep(sweep);
        renderer.takeViewSettings();
        const SweepPacing row = SweepPacing::of(sweep);
        const int start = kHour - 2000;
        QVector<double> subFrames;
        QVector<double> rounds;
        QElapsedTimer clock;
        for (int r = -kWarmUp; r < kRounds; ++r) {
            if (newRound)
                newRound(r);
            double round = 0.0;
            for (int k = 0; k < row.subFrames; ++k) {
                clock.start();
                subFrame(start + r, k * row.step);
                const double ms = clock.nsecsElapsed() / 1e6;
                round += ms;
                if (r >= 0)
                    subFrames << ms;
            }
            if (r >= 0)
                rounds << round;
        }
        print(out, QStringLiteral("sweep %1%2: sub-frame").arg(sweep).arg(what), figuresOf(subFrames));
        print(out, QStringLiteral("sweep %1%2: round of %3").arg(sweep).arg(what).arg(row.subFrames),
              figuresOf(rounds));
    }

    PoligrammeRecordWindow window;
    Renderer renderer;
    QOpenGLContext context;
};

void measureSubFrames(QTextStream &out, Inspection &inspection, PolygramFixture &fixture)
{
    IdleTicks ticks;
    ReaderCollaborators collaborators;
    collaborators.ticks = &ticks;
    collaborators.loopEndReceiver = qApp;
    SensorReader reader(&inspection, &fixture.test, true, 0, collaborators);
    InputState::replace([] { return InputState(); });
    // The camera gives a new frame every tick: two that take turns.
    const QByteArray camera[] = {QByteArray(640 * 480 * 4, char(0x80)), QByteArray(640 * 480 * 4, char(0x60))};
    const auto newFrame = [&](int round) { reader.publishFrame(camera[qAbs(round) % 2], 640, 480); };
    for (bool former : {true, false}) {
        LivePath path(former, inspection, fixture.test, reader);
        out << (former ? "\nFormer path: whole polygram every sub-frame, OpenGL presentation\n"
                       : "\nPresent path: kept picture, ")
            << (former ? "" : path.window.raster() ? "raster presentation\n" : "OpenGL presentation\n");
        if (former) {
            const QSize size = path.window.surfaceSize();
            QOpenGLPaintDevice device(size);
            print(out, QStringLiteral("baseline: clear and swap"), timed([&](int) {
                      path.context.makeCurrent(&path.window);
                      {
                          QPainter painter(&device);
                          painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
                      }
                      path.context.swapBuffers(&path.window);
                  }));
            QImage image(size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::white);
            print(out, QStringLiteral("baseline: upload one image and swap"), timed([&](int) {
                      path.context.makeCurrent(&path.window);
                      {
                          QPainter painter(&device);
                          painter.drawImage(0, 0, image);
                      }
                      path.context.swapBuffers(&path.window);
                  }));
        }
        for (bool withCamera : {false, true}) {
            reader.publishFrame(QByteArray(), 640, 480);
            for (int sweep : {1000, 2500, 4000}) {
                path.measure(out, withCamera ? QStringLiteral(", camera") : QString(), sweep,
                             withCamera ? newFrame : std::function<void(int)>());
            }
        }
    }
    InputState::replace({});
}

double shareOver(int seconds)
{
    const double cpu = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    spin(seconds * 1000);
    return (cpuSeconds() - cpu) / (wall.nsecsElapsed() / 1e9);
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readLine()).section(QLatin1Char(' '), 0, 2)
                                          : QStringLiteral("?");
}

// The demonstration unit, video on or off, and a subject of one test of
// questions in the throw-away home.
void prepareSubject(Inspection &inspection, bool video, int questions)
{
    GenericSettings settings;
    settings.load();
    settings.sNameDriverDll = QStringLiteral("vugSensorDemo.so");
    settings.bEnableVideoForRecord = video;
    settings.save();
    Inspection::_Test test(QStringLiteral("Тест"));
    for (int i = 0; i < questions; ++i)
        test.addTheme(QStringLiteral("Вопрос %1?").arg(i + 1), i % 3, 1, -1);
    inspection.appendTest(test);
}

// The main window shown with the subject chosen, as the editor announces it.
void openSubject(vugVorkel &window, Inspection &inspection)
{
    window.onInitialize();
    window.resize(1920, 1080);
    window.show();
    waitExposed(*window.windowHandle());
    emit window.findChild<InspectionEditFancy *>(QStringLiteral("InspectionEditFancy"))
        ->notifyChangePersone(inspection.path, &inspection);
    spin(2000);
}

// The switch and amplification of each channel the unit records.
using ChannelStates = QVector<QPair<bool, double>>;

// Beyond the default channels, every channel the unit records switched on,
// as the examiner does in the channel set-up, and given an amplification
// where it has none (informational, not budgeted). states holds what the channels had before; with restore they
// get it back, their settings being shared by every recording of the process.
void showCurves(PoligrammeRecordWindow &record, ChannelStates &states, bool restore)
{
    QMutexLocker lock(&record.session()->markLock());
    states.resize(ChannelCode::Count);
    for (int code = 0; code < ChannelCode::Count; ++code) {
        InspectionChannel &channel = record.test->channel(code);
        if (!channel.Enable || channel.KodDrv < 0)
            continue;
        if (restore) {
            *channel.Enable = states[code].first;
            channel.Amplify = states[code].second;
            continue;
        }
        states[code] = {*channel.Enable, channel.Amplify};
        *channel.Enable = true;
        if (channel.Amplify < 1)
            changeChannelAmplify(channel, 300);
    }
}

// The program's main window, as a user opens the recording of a new test on
// the demonstration unit: default channels and panels. Each round: the idle
// main window (the baseline), then the recording at sweeps 1000 and 4000,
// paused, the whole frame drawn and shown every sub-frame (the former way),
// and with every recorded channel shown.
void measureRecordingScreen(QTextStream &out)
{
    Inspection inspection(QDir::home().filePath(QStringLiteral("Обследуемый.qmz")));
    prepareSubject(inspection, false, 5);

    out << "\nRecording screen as opened from the main window, demonstration unit, " << kRecordingSeconds
        << " s a figure: CPU time of the process (all threads) per wall second\n";
    out.flush();
    for (int round = 1; round <= kScreenRounds; ++round) {
        vugVorkel window;
        openSubject(window, inspection);
        const double idle = shareOver(kRecordingSeconds);
        window.onDefRecordPoligramme(0);
        InspectionRecordFancy *screen = window.recordingScreen();
        if (!screen || !screen->recordWindow()->session()) {
            out << "the recording did not start\n";
            return;
        }
        PoligrammeRecordWindow *record = screen->recordWindow();
        const auto figure = [&](const QString &what) {
            spin(2000);
            const double share = shareOver(kRecordingSeconds);
            out << QStringLiteral("round %1  %2 %3 %   baseline (idle main window) %4 %   load %5\n")
                       .arg(round)
                       .arg(what, -34)
                       .arg(share * 100, 5, 'f', 1)
                       .arg(idle * 100, 4, 'f', 1)
                       .arg(loadAverage());
            out.flush();
        };
        record->setSweep(1000);
        figure(QStringLiteral("recording, sweep 1000"));
        record->setSweep(4000);
        figure(QStringLiteral("recording, sweep 4000"));
        record->setSweep(1000);
        RecordingSession *session = record->session();
        session->setPaused(true);
        figure(QStringLiteral("paused, sweep 1000"));
        session->setPaused(false);
        session->renderer()->setWholeFrames(true);
        figure(QStringLiteral("whole frames (former), sweep 1000"));
        session->renderer()->setWholeFrames(false);
        ChannelStates states;
        showCurves(*record, states, false);
        figure(QStringLiteral("every recorded channel, sweep 1000"));
        showCurves(*record, states, true);
        screen->stop();
    }
}

// Video on and no camera on the system: how soon the message shows, the CPU
// share while it is open beside the idle main window, and whether a media
// folder was left behind.
void measureWithoutCamera(QTextStream &out)
{
    Inspection inspection(QDir::home().filePath(QStringLiteral("Без камеры.qmz")));
    prepareSubject(inspection, true, 1);
    vugVorkel window;
    openSubject(window, inspection);
    const double idle = shareOver(kRecordingSeconds);
    QElapsedTimer shown;
    shown.start();
    QTimer poll;
    double share = 0.0;
    qint64 waitedMs = -1;
    // The message box runs its own loop inside the recording's error slot.
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box || waitedMs >= 0)
            return;
        waitedMs = shown.elapsed();
        share = shareOver(kRecordingSeconds);
        box->close();
    });
    poll.start(10);
    window.onDefRecordPoligramme(0);
    spin(500);
    poll.stop();
    const bool folder = QFileInfo(InspectionMedia::mediaFolder(inspection)).exists();
    out << QStringLiteral("video on, no camera: message after %1 ms; while it is open %2 %   baseline (idle main "
                          "window) %3 %; media folder %4   load %5\n")
               .arg(waitedMs)
               .arg(share * 100, 4, 'f', 1)
               .arg(idle * 100, 4, 'f', 1)
               .arg(folder ? QStringLiteral("left behind") : QStringLiteral("none"))
               .arg(loadAverage());
    out.flush();
}

}  // namespace

int main(int argc, char *argv[])
{
    BenchHome home;
    QApplication app(argc, argv);
    prepareLikeTheProgram();
    QTextStream out(stdout);
    const bool avx2Off = qEnvironmentVariable("QT_NO_CPU_FEATURE").contains(QStringLiteral("avx2"));
    out << "OpenGL renderer: " << RenderPath::rendererName() << "; " << RenderPath::description() << "\n"
        << "Qt's AVX2 paths: " << (avx2Off ? "off (QT_NO_CPU_FEATURE=avx2)" : "as Qt picks them") << "\n";
    out.flush();

    if (app.arguments().contains(QStringLiteral("--no-camera"))) {
        measureWithoutCamera(out);
        return 0;
    }
    if (!app.arguments().contains(QStringLiteral("--screen"))) {
        PolygramFixture fixture;
        fixture.fillOneHour();
        Inspection inspection(home.filePath(QStringLiteral("bench.vug")));
        measureSubFrames(out, inspection, fixture);
    }
    if (app.arguments().contains(QStringLiteral("--sub-frames")))
        return 0;

    measureRecordingScreen(out);
    if (avx2Off)
        return 0;
    // Qt picks its fill paths once per process: the second run starts with AVX2 off.
    out << "\n--- again with QT_NO_CPU_FEATURE=avx2 ---\n";
    out.flush();
    QProcess again;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_NO_CPU_FEATURE"), QStringLiteral("avx2"));
    again.setProcessEnvironment(environment);
    again.setProcessChannelMode(QProcess::ForwardedChannels);
    again.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--screen")});
    again.waitForFinished(-1);
    return 0;
}
