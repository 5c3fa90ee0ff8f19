// The subject tree started on a data folder of 1 000 and of 10 000 subject
// files (hard links of one, so ten thousand cost the disk one), from the
// dock's model made until every subject is in the tree and the tree is
// drawn; beside `ls -l` of each folder, the floor of listing it. Sizes
// interleaved over three rounds; medians.
#include "bench/BenchFloor.h"
#include "bench/BenchHome.h"
#include "data/GenericSettings.h"
#include "data/Inspection.h"
#include "subjects/PersoneDockWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QProcess>
#include <QSortFilterProxyModel>
#include <QTreeView>

#include <cstdio>
#include <unistd.h>

namespace {

const int kSizes[] = {1000, 10000};
constexpr int kRounds = 3;

QString makeFolder(const QString &home, int files)
{
    const QString folder = home + QStringLiteral("/.vorkel%1/Данные").arg(files);
    QDir().mkpath(folder);
    const QString first = folder + QStringLiteral("/Обследуемый 0.qmz");
    Inspection(first).saveTestStruct(nullptr);
    for (int i = 1; i < files; ++i) {
        const QString file = folder + QStringLiteral("/Обследуемый %1.qmz").arg(i);
        if (::link(QFile::encodeName(first).constData(), QFile::encodeName(file).constData()) != 0)
            qFatal("the folder was not made");
    }
    return folder;
}

double startSeconds(const QString &folder, int files)
{
    GenericSettings settings;
    settings.load();
    settings.sRootFolder = folder;
    settings.save();
    QElapsedTimer timer;
    timer.start();
    PersoneDockWindow dock;
    dock.resize(400, 1000);
    dock.initModel();
    dock.show();
    QTreeView *tree = dock.treeView();
    auto *proxy = qobject_cast<QSortFilterProxyModel *>(tree->model());
    const auto shown = [&] { return proxy->rowCount(proxy->mapFromSource(dock.fileModel()->index(folder))); };
    while (shown() < files && timer.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
    tree->viewport()->repaint();
    if (shown() != files)
        qFatal("the tree did not show every subject");
    return timer.nsecsElapsed() / 1e9;
}

double listSeconds(const QString &folder)
{
    QElapsedTimer timer;
    timer.start();
    QProcess ls;
    ls.start(QStringLiteral("ls"), {QStringLiteral("-l"), folder});
    ls.waitForFinished();
    ls.readAllStandardOutput();
    return timer.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char *argv[])
{
    BenchHome home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + QStringLiteral("/.local/share")));
    QApplication app(argc, argv);
    QVector<QString> folders;
    for (int files : kSizes)
        folders.append(makeFolder(home.path(), files));
    QVector<QVector<double>> starts(folders.size()), lists(folders.size());
    for (int round = 0; round < kRounds; ++round) {
        for (int i = 0; i < folders.size(); ++i) {
            starts[i].append(startSeconds(folders[i], kSizes[i]));
            lists[i].append(listSeconds(folders[i]));
        }
    }
    std::printf("%6s %9s %9s\n", "files", "start s", "ls -l s");
    for (int i = 0; i < folders.size(); ++i)
        std::printf("%6d %9.3f %9.3f\n", kSizes[i], BenchFloor::median(starts[i]), BenchFloor::median(lists[i]));
    std::printf("10 000 add %.3f s to the start of 1 000 (ls -l: %.3f s); medians of %d interleaved rounds\n",
                BenchFloor::median(starts[1]) - BenchFloor::median(starts[0]),
                BenchFloor::median(lists[1]) - BenchFloor::median(lists[0]), kRounds);
    return 0;
}
