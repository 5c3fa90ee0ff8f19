// The review screen at 1920 x 1080 (run under xvfb-run) with a one-hour,
// 13-channel test, every channel noisy as in a recording: 50 page steps
// forward at sweeps 1000 and 4000, each step shown on the display before the
// next, and the steps that page the whole hour at 4000. Figures: CPU time of
// the whole process per step, and the wall time of a step. The raster views
// run on both of Qt's fill paths, each in a process of its own so their CPU
// times stay apart; both list the settings files the scrolling wrote.
#include "ProcessCpu.h"
#include "ReviewBenchSetup.h"
#include "bench/BenchFillPaths.h"
#include "data/SettingsStore.h"
#include "polygram/InspectionPoligrammeFancy.h"
#include "polygram/PoligrammeView.h"
#include "polygram/RenderPath.h"
#include "polygram/_QAbstractScrollArea.h"
#include "tests/polygram/PolygramFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>

#include <algorithm>

namespace {

constexpr int kSteps = 50;

// Counts the window's update requests: each one is a presentation.
class Presentations : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::UpdateRequest)
            ++count;
        return false;
    }
};

// Processes events until the window has presented what is pending and
// nothing more is queued.
void settle(Presentations &presentations)
{
    const int before = presentations.count;
    QElapsedTimer timer;
    timer.start();
    while (presentations.count == before && timer.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

QMap<QString, QDateTime> settingsFiles()
{
    QMap<QString, QDateTime> files;
    QDir folder(QFileInfo(SettingsStore::filePath()).absolutePath());
    for (const QFileInfo &file : folder.entryInfoList(QDir::Files))
        files[file.fileName()] = file.lastModified();
    return files;
}

QStringList changedFiles(const QMap<QString, QDateTime> &before, const QMap<QString, QDateTime> &after)
{
    QStringList changed;
    for (auto it = after.begin(); it != after.end(); ++it)
        if (before.value(it.key()) != it.value())
            changed << it.key();
    return changed;
}

int measure(int argc, char *argv[])
{
    QTemporaryDir home;
    SettingsStore::setConfigFolder(home.path());
    QApplication app(argc, argv);
    prepareLikeTheProgram();

    PolygramFixture fixture;
    fixture.fillOneHour();
    fixture.addNoise(150);
    fixture.test.recorded = true;
    Inspection inspection;
    inspection.appendTest(fixture.test);

    InspectionPoligrammeFancy screen;
    screen.setGeometry(0, 0, 1920, 1080);
    screen.show();
    screen.onChangedPersone(QString(), &inspection);
    screen.showTest(0, -1, -1);
    Presentations presentations;
    screen.window()->installEventFilter(&presentations);
    for (int i = 0; i < 20; ++i)
        app.processEvents();
    QScrollBar *bar = screen.scrollArea()->horizontalScrollBar();

    QTextStream out(stdout);
    out << QString::asprintf("%-7s view %d x %d, ", RenderPath::software() ? "raster" : "OpenGL",
                             screen.view()->width(), screen.view()->height())
        << RenderPath::description() << "\n";
    // Sweeps 1000 and 4000 are the first and the last of the selector.
    for (int index : {0, screen.sweepSelector()->count() - 1}) {
        emit screen.sweepSelector()->activated(index);
        screen.sweepSelector()->setCurrentIndex(index);
        bar->setValue(0);
        settle(presentations);
        const QMap<QString, QDateTime> before = settingsFiles();
        QVector<double> wall;
        const int presentedBefore = presentations.count;
        const double cpuBefore = cpuMilliseconds();
        for (int step = 0; step < kSteps; ++step) {
            QElapsedTimer timer;
            timer.start();
            // An hour is some 46 pages at sweep 1000: the last turns back to the start.
            const int next = bar->value() + bar->pageStep();
            bar->setValue(next > bar->maximum() ? 0 : next);
            settle(presentations);
            wall << timer.nsecsElapsed() / 1e6;
        }
        const double cpu = (cpuMilliseconds() - cpuBefore) / kSteps;
        std::sort(wall.begin(), wall.end());
        const QStringList written = changedFiles(before, settingsFiles());
        out << QString::asprintf("%-7s sweep %4d  CPU %6.1f ms/step  wall median %6.1f ms  presentations/step %.1f"
                                 "  settings files written: %d ",
                                 RenderPath::software() ? "raster" : "OpenGL", screen.view()->sweep(), cpu,
                                 wall[wall.size() / 2], double(presentations.count - presentedBefore) / kSteps,
                                 int(written.size()))
            << written.join(QStringLiteral(", ")) << "\n";
        out.flush();
    }
    bar->setValue(0);
    settle(presentations);
    const double cpuBefore = cpuMilliseconds();
    int steps = 0;
    for (; bar->value() < bar->maximum(); ++steps) {
        bar->setValue(bar->value() + bar->pageStep());
        settle(presentations);
    }
    out << QString::asprintf("raster  the hour at sweep %d: %d steps, CPU %.2f s\n", screen.view()->sweep(), steps,
                             (cpuMilliseconds() - cpuBefore) / 1000);
    return 0;
}

}  // namespace

int main(int argc, char *argv[])
{
    if (!BenchFillPaths::measuresHere(argv))
        return 0;
    qputenv("VUG_SOFTWARE_GL", "1");
    return measure(argc, argv);
}
