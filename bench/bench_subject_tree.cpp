// The subject tree's repaint and scroll over a folder of 1000 subjects with
// pre-test texts: every painted subject asks for its text (comment icon, tool
// tip). Cache cold and warm, beside the same with the cache switched off.
#include "bench/BenchHome.h"
#include "data/GenericSettings.h"
#include "data/Inspection.h"
#include "subjects/PersoneDockWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>

namespace {

const int kSubjects = 1000;

void makeStore(const QString &folder)
{
    QDir().mkpath(folder);
    for (int i = 0; i < kSubjects; ++i) {
        Inspection subject(folder + QStringLiteral("/Обследуемый %1.qmz").arg(i, 4, 10, QLatin1Char('0')));
        subject.saveTestStruct(nullptr);
        subject.preTestText = QStringLiteral("Беседа до теста с обследуемым %1").arg(i);
        subject.savePreTestConversation();
    }
}

double repaintMs(QTreeView *tree)
{
    QElapsedTimer clock;
    clock.start();
    tree->viewport()->repaint();
    return clock.nsecsElapsed() / 1e6;
}

// One repaint per page, top to bottom.
double scrollMs(QTreeView *tree)
{
    QScrollBar *bar = tree->verticalScrollBar();
    QElapsedTimer clock;
    clock.start();
    for (int value = 0; value <= bar->maximum(); value += bar->pageStep()) {
        bar->setValue(value);
        tree->viewport()->repaint();
    }
    return clock.nsecsElapsed() / 1e6;
}

void measure(PersoneDockWindow &dock, bool cached)
{
    QTreeView *tree = dock.treeView();
    dock.preTestTexts().setEnabled(cached);
    tree->verticalScrollBar()->setValue(0);
    const double cold = repaintMs(tree);
    double warm = 0;
    const int rounds = 20;
    for (int i = 0; i < rounds; ++i)
        warm += repaintMs(tree);
    dock.preTestTexts().clear();
    const double scrollCold = scrollMs(tree);
    const double scrollWarm = scrollMs(tree);
    std::printf("%-10s repaint cold %7.2f ms, warm %7.2f ms; scroll through %d pages cold %8.1f ms, warm %8.1f ms\n",
                cached ? "cache on" : "cache off", cold, warm / rounds,
                tree->verticalScrollBar()->maximum() / qMax(1, tree->verticalScrollBar()->pageStep()) + 1, scrollCold,
                scrollWarm);
}

}  // namespace

int main(int argc, char *argv[])
{
    BenchHome home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + QStringLiteral("/.local/share")));
    QApplication app(argc, argv);
    GenericSettings settings;
    settings.load();
    const QString folder = settings.sRootFolder + QStringLiteral("/Отдел");
    makeStore(folder);

    PersoneDockWindow dock;
    dock.resize(400, 1000);
    dock.initModel();
    dock.show();
    QTreeView *tree = dock.treeView();
    auto *proxy = static_cast<QSortFilterProxyModel *>(tree->model());
    QModelIndex source = dock.fileModel()->index(folder);
    while (!proxy->mapFromSource(source).isValid()) {
        app.processEvents(QEventLoop::AllEvents, 50);
        source = dock.fileModel()->index(folder);
    }
    while (dock.fileModel()->rowCount(source) < kSubjects) {
        if (dock.fileModel()->canFetchMore(source))
            dock.fileModel()->fetchMore(source);
        app.processEvents(QEventLoop::AllEvents, 50);
    }
    tree->expand(proxy->mapFromSource(source));
    app.processEvents();
    std::printf("%d subjects, %d rows on a page\n", kSubjects,
                tree->viewport()->height() / qMax(1, tree->sizeHintForRow(0)));
    measure(dock, false);
    measure(dock, true);
    return 0;
}
