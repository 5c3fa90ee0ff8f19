#include "data/GenericSettings.h"
#include "data/InspectionDataType.h"
#include "data/InspectionStore.h"
#include "subjects/PersoneDockWindow.h"
#include "tests/support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileSystemModel>
#include <QTreeView>

namespace {

QString dataRoot()
{
    GenericSettings settings;
    settings.load();
    return QFileInfo(settings.sRootFolder).absoluteFilePath();
}

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

QString pathOf(const QModelIndex &index)
{
    return index.data(QFileSystemModel::FilePathRole).toString();
}

// The entries the tree shows under an index, once the folder has been read.
QStringList shownNames(QTreeView *tree, const QPersistentModelIndex &parent)
{
    QAbstractItemModel *model = tree->model();
    while (model->canFetchMore(parent))
        model->fetchMore(parent);
    QStringList names;
    if (!QTest::qWaitFor([&] { return model->rowCount(parent) > 0; }, 5000))
        return names;
    QTest::qWait(200);
    for (int row = 0; row < model->rowCount(parent); ++row)
        names << model->index(row, 0, parent).data().toString();
    names.sort();
    return names;
}

}  // namespace

class TestPersoneDock : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void treeShowsOnlyTheDataRootAndSubjects();
    void addingSubjectsCreatesAndSelectsThem();
    void selectionIsAnnouncedAndClearedSilently();

private:
    QString root;
};

void TestPersoneDock::init()
{
    root = dataRoot();
    QDir(root).removeRecursively();
    QVERIFY(QDir().mkpath(root + "/Отдел"));
    QVERIFY(QDir().mkpath(root + "/__1__"));
    QVERIFY(QDir().mkpath(root + "/.hidden"));
    QVERIFY(QDir().mkpath(QFileInfo(root).absolutePath() + "/beside"));
    touch(root + "/Иванов.qmz");
    touch(root + "/notes.txt");
    touch(root + "/svorkel.sqmz");
}

void TestPersoneDock::treeShowsOnlyTheDataRootAndSubjects()
{
    PersoneDockWindow dock;
    QVERIFY(!dock.treeView()->isVisibleTo(&dock));
    QSignalSpy announced(&dock, SIGNAL(notificationChangedPerosneSignal(QString, QString, QObject *)));
    dock.initModel();
    QVERIFY(dock.treeView()->isVisibleTo(&dock));
    QCOMPARE(announced.size(), 1);
    QCOMPARE(announced[0][0].toString(), root);
    QCOMPARE(announced[0][1].toString(), root);
    QCOMPARE(announced[0][2].value<QObject *>(), &dock);

    QTreeView *tree = dock.treeView();
    QTRY_COMPARE(tree->model()->rowCount(tree->rootIndex()), 1);
    const QPersistentModelIndex rootIndex = tree->model()->index(0, 0, tree->rootIndex());
    QCOMPARE(pathOf(rootIndex), root);
    QCOMPARE(QPersistentModelIndex(tree->currentIndex()), rootIndex);
    QVERIFY(tree->isExpanded(rootIndex));
    QCOMPARE(shownNames(tree, rootIndex), (QStringList{"Иванов.qmz", "Отдел"}));
    QVERIFY(dock.addUserAction()->isEnabled());
}

void TestPersoneDock::addingSubjectsCreatesAndSelectsThem()
{
    PersoneDockWindow dock;
    dock.initModel();
    QSignalSpy announced(&dock, SIGNAL(notificationChangedPerosneSignal(QString, QString, QObject *)));
    QCOMPARE(dock.addUserAction()->text(), QStringLiteral("Добавить обследуемого"));
    dock.addUserAction()->trigger();
    const QString first = root + "/Новый обследуемый0.qmz";
    QVERIFY(QFileInfo::exists(first));
    {
        InspectionStore store(first, InspectionStore::ExistingFile);
        QVector<InspectionStore::Row> rows;
        QVERIFY(store.readRows(InspectionDataType::Struct, rows));  // the table is there, empty
        QVERIFY(rows.isEmpty());
    }
    QCOMPARE(announced.size(), 1);
    QCOMPARE(announced[0][1].toString(), first);
    QCOMPARE(announced[0][0].toString(), first);
    QCOMPARE(pathOf(dock.treeView()->currentIndex()), first);
    QVERIFY(!dock.addUserAction()->isEnabled());  // a subject is no folder

    QTest::qWait(300);
    QCOMPARE(pathOf(dock.treeView()->currentIndex()), first);
    dock.onChangedPerosneSignal_ForSync(root);
    dock.addUserAction()->trigger();
    QVERIFY(QFileInfo::exists(root + "/Новый обследуемый1.qmz"));
}

void TestPersoneDock::selectionIsAnnouncedAndClearedSilently()
{
    PersoneDockWindow dock;
    dock.initModel();
    QSignalSpy announced(&dock, SIGNAL(notificationChangedPerosneSignal(QString, QString, QObject *)));
    dock.onChangedPerosneSignal_ForSync(root + "/Отдел");
    QCOMPARE(announced.size(), 1);
    QCOMPARE(announced[0][1].toString(), root + "/Отдел");

    dock.clearSelection();
    QCOMPARE(announced.size(), 1);
    QVERIFY(!dock.treeView()->currentIndex().isValid());
    QVERIFY(!dock.addUserAction()->isEnabled());

    dock.onChangedPerosneSignal_ForSync(root + "/Иванов.qmz");
    QCOMPARE(announced.size(), 2);
    QCOMPARE(announced[1][1].toString(), root + "/Иванов.qmz");
    dock.onChangedPerosneSignal_ForSync(QString());
    QCOMPARE(announced.size(), 2);
    QVERIFY(!dock.treeView()->currentIndex().isValid());
}

VUG_TEST_MAIN(TestPersoneDock, QApplication)
#include "tst_personedock.moc"
