#include "data/ActivePopupMenu.h"
#include "data/GenericSettings.h"
#include "data/SettingsStore.h"
#include "data/SpravDB.h"
#include "editor/InspectionEditFancy.h"
#include "subjects/PersoneDockWindow.h"
#include "subjects/PersoneLinkDockWindow.h"
#include "subjects/SubjectClipboard.h"
#include "tests/subjects/SubjectFixtures.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TestHome.h"
#include "tests/support/UrlCatcher.h"

#include <QApplication>
#include <QClipboard>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QStandardItemModel>

using namespace SubjectFixtures;

Q_DECLARE_METATYPE(Inspection *)

namespace {

using Announcement = QList<QVariant>;
const auto kChanged = &PersoneLinkDockWindow::notificationChangedPerosneSignal;

QString dataRoot()
{
    GenericSettings settings;
    settings.load();
    return QFileInfo(settings.sRootFolder).absoluteFilePath();
}

QStringList linkPaths(PersoneLinkDockWindow *links)
{
    QStringList paths;
    QAbstractItemModel *model = links->listView()->model();
    for (int row = 0; row < model->rowCount(); ++row)
        paths << model->index(row, 0).data(Qt::UserRole + 1).toString();
    return paths;
}

QStringList entriesOf(QMenu *menu)
{
    QStringList entries;
    for (QAction *action : menu->actions()) {
        if (action->isSeparator())
            entries << "-";
        else
            entries << action->text() + (action->isEnabled() ? "" : " (off)")
                           + (action->isCheckable() ? (action->isChecked() ? " [x]" : " [ ]") : "");
    }
    return entries;
}

}  // namespace

// The link dock inside the real examination editor, wired as the editor wires it.
class TestLinkDock : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void linksAreAddedOnceAndChosenAgain();
    void verificationDropsVanishedSubjectsOnly();
    void linksFollowARenamedSubjectOrFolder_data();
    void linksFollowARenamedSubjectOrFolder();
    void choosingALinkLoadsItsSubject();
    void deletingLinksAnnouncesWhatIsLeft();
    void menuFollowsThePoint();
    void syncSwitchIsKept();
    void folderOfTheLinkIsShown();
    void copyTakesTheCurrentLinksTests();

private:
    void openEditor();
    QModelIndex linkIndex(int row) { return links->listView()->model()->index(row, 0); }

    QString root;
    QString ivanov;
    QString petrov;
    QString sidorov;
    QScopedPointer<InspectionEditFancy> editor;
    PersoneDockWindow *subjects = nullptr;
    PersoneLinkDockWindow *links = nullptr;
    QString loaded;
};

void TestLinkDock::init()
{
    qRegisterMetaType<Inspection *>();
    editor.reset();
    QFile::remove(SettingsStore::filePath());
    root = dataRoot();
    QDir(root).removeRecursively();
    QDir(trashFolder()).removeRecursively();
    SpravDB::sPathFileSprav = QDir::homePath() + "/svorkel.sqmz";
    ivanov = makeRecordedSubject(root + "/Отдел/Иванов.qmz", {"Тест"}, {})[0];
    petrov = makeRecordedSubject(root + "/Архив/Петров.qmz", {"Тест"}, {})[0];
    sidorov = makeRecordedSubject(root + "/Сидоров.qmz", {"Тест"}, {})[0];
    QApplication::clipboard()->clear();
}

void TestLinkDock::openEditor()
{
    editor.reset(new InspectionEditFancy);
    editor->show();
    QVERIFY(QTest::qWaitForWindowExposed(editor.data()));
    subjects = editor->findChild<PersoneDockWindow *>("PersoneDockWindow");
    links = editor->findChild<PersoneLinkDockWindow *>("PersoneLinkDockWindow");
    links->show();
    links->raise();
    loaded.clear();
    connect(editor.data(), &InspectionEditFancy::notifyChangePersone, this,
            [this](const QString &path, Inspection *) { loaded = path; });
}

void TestLinkDock::linksAreAddedOnceAndChosenAgain()
{
    openEditor();
    QCOMPARE(links->windowTitle(), QString("Ярлыки выбранных обследуемых"));
    QVERIFY(links->listView()->font().italic());
    QCOMPARE(links->features(), QDockWidget::DockWidgetMovable);
    subjects->treeView()->setCurrentIndex(treeIndex(*subjects, ivanov));
    subjects->createLinkAction()->trigger();
    subjects->treeView()->setCurrentIndex(treeIndex(*subjects, petrov));
    subjects->createLinkAction()->trigger();
    QCOMPARE(linkPaths(links), (QStringList{ivanov, petrov}));
    QCOMPARE(linkIndex(0).data().toString(), QString("Иванов"));
    QCOMPARE(linkIndex(1).data(Qt::ToolTipRole).toString(), petrov);
    QVERIFY(!links->listView()->currentIndex().isValid());  // a new link is not chosen

    QSignalSpy announced(links, kChanged);
    links->onCreatePersoneLinkAndVerify(ivanov);
    QCOMPARE(linkPaths(links), (QStringList{ivanov, petrov}));
    QCOMPARE(links->listView()->currentIndex().row(), 0);
    QCOMPARE(announced.size(), 1);
    QCOMPARE(loaded, ivanov);
}

void TestLinkDock::verificationDropsVanishedSubjectsOnly()
{
    openEditor();
    for (const QString &path : {ivanov, petrov, sidorov})
        links->onCreatePersoneLinkAndVerify(path);
    // Deleted through the subject dock: its link goes, the others stay in order.
    subjects->treeView()->setCurrentIndex(treeIndex(*subjects, petrov));
    {
        MessageBoxAnswerer answers({QMessageBox::Yes});
        subjects->action_DeleteUser();
    }
    QCOMPARE(linkPaths(links), (QStringList{ivanov, sidorov}));
}

void TestLinkDock::linksFollowARenamedSubjectOrFolder_data()
{
    QTest::addColumn<QString>("renamed");  // below the data root
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("ivanovAfter");
    QTest::newRow("subject") << "Отдел/Иванов.qmz" << "Иванова" << "Отдел/Иванова.qmz";
    QTest::newRow("its folder") << "Отдел" << "Кадры" << "Кадры/Иванов.qmz";
}

void TestLinkDock::linksFollowARenamedSubjectOrFolder()
{
    QFETCH(QString, renamed);
    QFETCH(QString, newName);
    QFETCH(QString, ivanovAfter);
    openEditor();
    for (const QString &path : {ivanov, petrov})
        links->onCreatePersoneLinkAndVerify(path);
    subjects->treeView()->edit(treeIndex(*subjects, root + '/' + renamed));
    auto *line = subjects->treeView()->findChild<QLineEdit *>();
    QVERIFY(line);
    line->setText(newName);
    QTest::keyClick(line, Qt::Key_Return);
    QTRY_COMPARE(linkPaths(links), (QStringList{root + '/' + ivanovAfter, petrov}));
    QCOMPARE(linkIndex(0).data().toString(), QFileInfo(ivanovAfter).completeBaseName());
    QCOMPARE(linkIndex(0).data(Qt::ToolTipRole).toString(), root + '/' + ivanovAfter);
}

void TestLinkDock::choosingALinkLoadsItsSubject()
{
    openEditor();
    links->onCreatePersoneLinkAndVerify(ivanov);
    links->onCreatePersoneLinkAndVerify(petrov);
    QSignalSpy announced(links, kChanged);
    QSignalSpy synced(links, &PersoneLinkDockWindow::notificationChangedPerosneSignal_ForSync);
    links->listView()->setCurrentIndex(linkIndex(1));
    QCOMPARE(announced.size(), 1);
    QCOMPARE(announced[0], (Announcement{petrov, petrov, QVariant::fromValue<QObject *>(links)}));
    QCOMPARE(loaded, petrov);
    QCOMPARE(editor->inspection().path, petrov);
    QVERIFY(synced.isEmpty());
    QVERIFY(!subjects->treeView()->currentIndex().isValid());  // the tree stays where it was told

    links->onActionMakeSync();
    links->listView()->setCurrentIndex(linkIndex(0));
    QCOMPARE(synced.size(), 1);
    QCOMPARE(subjects->fileModel()->filePath(static_cast<QSortFilterProxyModel *>(subjects->treeView()->model())
                                                 ->mapToSource(subjects->treeView()->currentIndex())),
             ivanov);
    QCOMPARE(loaded, ivanov);
}

void TestLinkDock::deletingLinksAnnouncesWhatIsLeft()
{
    openEditor();
    for (const QString &path : {ivanov, petrov, sidorov})
        links->onCreatePersoneLinkAndVerify(path);
    links->listView()->setCurrentIndex(linkIndex(1));
    QSignalSpy announced(links, kChanged);
    links->onActionDeleteItem();
    QCOMPARE(linkPaths(links), (QStringList{ivanov, sidorov}));
    QCOMPARE(announced.size(), 1);
    const QString next = links->listView()->currentIndex().data(Qt::UserRole + 1).toString();
    QVERIFY(!next.isEmpty());
    QCOMPARE(announced[0], (Announcement{next, next, QVariant::fromValue<QObject *>(links)}));
    QCOMPARE(loaded, next);

    links->onActionDeleteAll();
    QVERIFY(linkPaths(links).isEmpty());
    QCOMPARE(announced.size(), 2);
    QCOMPARE(announced[1], (Announcement{QString(), QString(), QVariant::fromValue<QObject *>(nullptr)}));
    QCOMPARE(loaded, QString());
    QVERIFY(editor->inspection().path.isEmpty());

    // The last one alone: no subject stays loaded either.
    links->onCreatePersoneLinkAndVerify(ivanov);
    links->listView()->setCurrentIndex(linkIndex(0));
    QCOMPARE(loaded, ivanov);
    links->onActionDeleteItem();
    QCOMPARE(announced.last(), (Announcement{QString(), QString(), QVariant::fromValue<QObject *>(nullptr)}));
    QCOMPARE(loaded, QString());
}

void TestLinkDock::menuFollowsThePoint()
{
    openEditor();
    links->onCreatePersoneLinkAndVerify(ivanov);
    QListView *list = links->listView();
    QTRY_VERIFY(list->visualRect(linkIndex(0)).isValid());
    QScopedPointer<QMenu> menu(links->createContextMenu(list->visualRect(linkIndex(0)).center()));
    QCOMPARE(entriesOf(menu.data()), (QStringList{"Копировать ВЕСЬ ВОПРОСНИК в системный буфер\tCtrl+C", "-",
                                                  "Показать папку в Проводнике", "-",
                                                  "Разрешить синхронизацию с папками [ ]", "-",
                                                  "Удалить ярлык из списка", "Удалить все ярлыки из списка"}));
    links->onActionMakeSync();
    menu.reset(links->createContextMenu(QPoint(list->viewport()->width() - 2, list->viewport()->height() - 2)));
    QCOMPARE(entriesOf(menu.data()),
             (QStringList{"Копировать ВЕСЬ ВОПРОСНИК в системный буфер\tCtrl+C (off)", "-",
                          "Показать папку в Проводнике (off)", "-", "Разрешить синхронизацию с папками [x]", "-",
                          "Удалить ярлык из списка (off)", "Удалить все ярлыки из списка"}));

    quintptr seen = 0;
    QTimer::singleShot(100, [&] {
        seen = activePopupMenuId;
        if (QWidget *open = QApplication::activePopupWidget())
            open->close();
    });
    links->onCustomContextMenu(QPoint(2, 2));
    QVERIFY(seen != 0);
    QCOMPARE(activePopupMenuId, quintptr(0));
}

void TestLinkDock::syncSwitchIsKept()
{
    {
        PersoneLinkDockWindow dock;
        QVERIFY(!dock.isSyncEnabled());
        dock.onActionMakeSync();
    }
    QCOMPARE(SettingsStore::open()->value("PersoneLinkDockWindow/bEnabledSync").toBool(), true);
    {
        PersoneLinkDockWindow dock;
        QVERIFY(dock.isSyncEnabled());
    }
    SettingsStore::open()->setValue("PersoneLinkDockWindow/bEnabledSync", "damaged");
    PersoneLinkDockWindow dock;
    QVERIFY(!dock.isSyncEnabled());
}

void TestLinkDock::folderOfTheLinkIsShown()
{
    openEditor();
    UrlCatcher urls;
    links->onActionRunExplorer();  // no link: nothing
    links->onCreatePersoneLinkAndVerify(petrov);
    links->listView()->setCurrentIndex(linkIndex(0));
    links->onActionRunExplorer();
    QCOMPARE(urls.urls, QList<QUrl>{QUrl::fromLocalFile(root + "/Архив")});
}

void TestLinkDock::copyTakesTheCurrentLinksTests()
{
    openEditor();
    links->onCreatePersoneLinkAndVerify(petrov);
    QApplication::clipboard()->setText("untouched");
    links->onActionInspectionCopy();
    QCOMPARE(QApplication::clipboard()->text(), QString("untouched"));
    links->listView()->setCurrentIndex(linkIndex(0));
    links->listView()->setFocus();
    QTRY_VERIFY(links->listView()->hasFocus());
    QTest::keyClick(links->listView(), Qt::Key_C, Qt::ControlModifier);
    QVERIFY(SubjectClipboard::hasTests());
    QVERIFY(QApplication::clipboard()->text().startsWith("Тест\n"));
}

VUG_TEST_MAIN(TestLinkDock, QApplication)
#include "tst_linkdock.moc"
