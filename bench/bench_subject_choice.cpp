// Choosing a subject of 8 to 512 recorded tests (13 channels, three minutes
// each, scored) in the main window, from the click in the subject tree until
// the editor is drawn, beside its floor: SQLite reading every row of the same
// file, every byte touched. Sizes interleaved over three rounds; medians. The
// resident memory after choosing the largest is shown beside its file's size.
#include "BenchExamination.h"
#include "bench/BenchFloor.h"
#include "bench/BenchHome.h"
#include "app/vugVorkel.h"
#include "data/LargeBlockHeap.h"
#include "editor/InspectionEditFancy.h"
#include "editor/InspectionTreeView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <cstdio>

namespace {

constexpr int kRounds = 3;
const int kSizes[] = {8, 32, 128, 512};

QString makeSubject(int tests)
{
    BenchTestShape shape;
    shape.ticks = 3 * 60 * 20;
    shape.presentations = 3;
    Inspection inspection(QDir::home().filePath(QStringLiteral("Обследуемый %1.qmz").arg(tests)));
    for (int n = 0; n < tests; ++n) {
        Inspection::_Test test = recordedTest(n, shape);
        for (int p = 1; p <= shape.presentations; ++p) {
            for (int q = 0; q < shape.questions; ++q) {
                Inspection::_BallValuation &entry = test.valuationBall_012[p][q];
                entry.iGroup = p;
                entry.iQuest = q;
                entry.GSRPar = (p + q + n) % 3;
            }
        }
        if (inspection.saveTestStruct(&test, false) != StoreResult::Ok
            || inspection.saveRecording(&test) != StoreResult::Ok
            || inspection.saveBallValuation(&test) != StoreResult::Ok)
            qFatal("the subject file was not written");
    }
    return inspection.path;
}

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

// The click as the subject tree hands it over, then the editor drawn.
double chooseSeconds(InspectionEditFancy &editor, const QString &path, int tests)
{
    QElapsedTimer timer;
    timer.start();
    editor.onChangedPersone2(QString(), path, nullptr);
    QCoreApplication::processEvents();
    editor.treeView()->viewport()->repaint();
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (editor.inspection().tests.size() != tests || editor.inspection().tests.last().labels.isEmpty())
        qFatal("the subject was not chosen");
    return seconds;
}

}  // namespace

int main(int argc, char *argv[])
{
    LargeBlockHeap::keepLargeBlocks();
    BenchHome home;
    QApplication app(argc, argv);
    QVector<QString> paths;
    for (int tests : kSizes)
        paths.append(makeSubject(tests));

    vugVorkel window;
    window.onInitialize();
    window.resize(1920, 1080);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("the main window was not shown");
    auto *editor = window.findChild<InspectionEditFancy *>(QStringLiteral("InspectionEditFancy"));
    const double idleMb = residentMegabytes();
    QVector<QVector<double>> chooses(paths.size()), floors(paths.size());
    double largestMb = 0;
    for (int round = 0; round < kRounds; ++round) {
        for (int i = 0; i < paths.size(); ++i) {
            chooses[i].append(chooseSeconds(*editor, paths[i], kSizes[i]));
            if (i == paths.size() - 1)
                largestMb = std::max(largestMb, residentMegabytes());
            floors[i].append(BenchFloor::readSeconds(paths[i], "SELECT test_id, data_type, data FROM inspection"));
        }
    }
    std::printf("%6s %10s %10s %7s %9s\n", "tests", "choose s", "floor s", "ratio", "file MB");
    for (int i = 0; i < paths.size(); ++i) {
        const double choose = BenchFloor::median(chooses[i]);
        const double floor = BenchFloor::median(floors[i]);
        std::printf("%6d %10.3f %10.3f %6.1fx %9.1f\n", kSizes[i], choose, floor, choose / floor,
                    QFile(paths[i]).size() / 1048576.0);
    }
    std::printf("resident after choosing %d tests: %.0f MB (idle main window %.0f MB)\n", kSizes[3], largestMb,
                idleMb);
    std::printf("medians of %d interleaved rounds\n", kRounds);
    return 0;
}
