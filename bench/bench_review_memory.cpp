// The review screen at 1920 x 1080 (run under xvfb-run) opening one recorded
// test from a subject file, as a click in its test list does: 10 minutes, an
// hour and four hours of 13 noisy channels with their video times. Each length
// runs in a process of its own, three rounds. Figures: the resident memory
// above the idle screen's (both after malloc_trim, and the held figure without
// it, as the heap keeps its blocks in the program; the held one is what the
// budget of twice the samples is about), beside the samples' own size; and
// the click's CPU time and wall time up to the first presentation.
// With a folder as argument it only writes the subject files there.
#include "ProcessCpu.h"
#include "ReviewBenchSetup.h"
#include "data/LargeBlockHeap.h"
#include "data/SettingsStore.h"
#include "polygram/InspectionPoligrammeFancy.h"
#include "tests/polygram/PolygramFixture.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kRounds = 3;

double residentMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * sysconf(_SC_PAGESIZE) / (1024.0 * 1024.0);
}

double trimmedResidentMb()
{
    malloc_trim(0);
    return residentMb();
}

void settle()
{
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
}

// A subject file holding a test of the given length.
void writeSubject(const QString &path, int ticks)
{
    PolygramFixture fixture;
    fixture.fill(ticks);
    fixture.addNoise(150);
    fixture.test.TimeMM.resize(ticks);
    for (int i = 0; i < ticks; ++i)
        fixture.test.TimeMM[i] = 50 * i;
    fixture.test.recorded = true;
    Inspection inspection(path);
    inspection.appendTest(fixture.test);
    inspection.saveTestStruct(&inspection.tests[0]);
    inspection.saveRecording(&inspection.tests[0]);
}

int measure(int argc, char *argv[], const QString &path)
{
    LargeBlockHeap::keepLargeBlocks();
    QTemporaryDir home;
    SettingsStore::setConfigFolder(home.path());
    QApplication app(argc, argv);
    prepareLikeTheProgram();
    // The channel looks the file was written with.
    PolygramFixture fixture;
    fixture.fill(1);
    Inspection inspection;
    inspection.load(path);
    InspectionPoligrammeFancy screen;
    screen.setGeometry(0, 0, 1920, 1080);
    screen.show();
    screen.onChangedPersone(path, &inspection);
    settle();
    const double idle = trimmedResidentMb();

    const double cpuBefore = cpuMilliseconds();
    QElapsedTimer timer;
    timer.start();
    screen.showTest(0, -1, -1);
    const double clickCpu = cpuMilliseconds() - cpuBefore;
    settle();
    const double shownWall = timer.nsecsElapsed() / 1e6;
    const double shownCpu = cpuMilliseconds() - cpuBefore;
    const double held = residentMb();
    const double trimmed = trimmedResidentMb();

    const Inspection::_Test &test = inspection.tests[0];
    double own = test.TimeMM.size() * sizeof(qint32);
    for (int code = 0; code < ChannelCode::Count; ++code)
        own += test.samples(code)->size() * sizeof(qint16);
    own /= 1024.0 * 1024.0;
    std::printf("%4d min  samples %5.1f MB  idle %6.1f MB  above idle: %6.1f MB trimmed (%4.1fx samples), "
                "%6.1f MB held (%4.1fx)  click CPU %5.0f ms (%5.0f ms to shown), wall to shown %5.0f ms\n",
                test.TimeMM.size() / 1200, own, idle, trimmed - idle, (trimmed - idle) / own, held - idle,
                (held - idle) / own, clickCpu, shownCpu, shownWall);
    std::fflush(stdout);
    return 0;
}

void runChild(char *argv[], const QString &path)
{
    const pid_t child = fork();
    if (child == 0) {
        setenv("VUG_BENCH_MEMORY_FILE", QFile::encodeName(path).constData(), 1);
        execv("/proc/self/exe", argv);
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
}

}  // namespace

int main(int argc, char *argv[])
{
    qputenv("VUG_SOFTWARE_GL", "1");
    const QString path = qEnvironmentVariable("VUG_BENCH_MEMORY_FILE");
    if (!path.isEmpty())
        return measure(argc, argv, path);
    // With a folder named the subject files stay there, for a heap profiler
    // to run one child on: VUG_BENCH_MEMORY_FILE=folder/subject240.qmz.
    QTemporaryDir temporary;
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path());
    const QList<int> lengths = {10, 60, 240};
    {
        QCoreApplication app(argc, argv);
        for (int minutes : lengths)
            writeSubject(folder.filePath(QStringLiteral("subject%1.qmz").arg(minutes)), minutes * 1200);
    }
    if (argc > 1)
        return 0;
    double load[3] = {};
    getloadavg(load, 3);
    std::printf("load average %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    std::fflush(stdout);
    for (int round = 0; round < kRounds; ++round)
        for (int minutes : lengths)
            runChild(argv, folder.filePath(QStringLiteral("subject%1.qmz").arg(minutes)));
    return 0;
}
