#include "data/ActivePopupMenu.h"
#include "data/GenericSettings.h"
#include "data/FileChooser.h"
#include "subjects/PersoneDockWindow.h"
#include "subjects/SubjectClipboard.h"
#include "subjects/_PersoneDock_FolderStyledItemDelegate.h"
#include "tests/subjects/SubjectFixtures.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TestHome.h"
#include "tests/support/UrlCatcher.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileSystemModel>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QToolTip>

using namespace SubjectFixtures;

namespace {

using Announcement = QList<QVariant>;
const auto kChanged = &PersoneDockWindow::notificationChangedPerosneSignal;
const auto kLink = &PersoneDockWindow::notyfyCreatePersoneLinkAndVerify;

QString dataRoot()
{
    GenericSettings settings;
    settings.load();
    return QFileInfo(settings.sRootFolder).absoluteFilePath();
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
        names << model->index(row, 0, parent).data(QFileSystemModel::FileNameRole).toString();
    names.sort();
    return names;
}

// Menu entries as "text" or "-" for a separator, with "(off)" when disabled.
QStringList entriesOf(QMenu *menu)
{
    QStringList entries;
    for (QAction *action : menu->actions())
        entries << (action->isSeparator() ? QString("-") : action->text() + (action->isEnabled() ? "" : " (off)"));
    return entries;
}

QLineEdit *startRenaming(PersoneDockWindow &dock, const QModelIndex &index)
{
    if (!dock.isVisible()) {
        dock.show();
        (void)QTest::qWaitForWindowExposed(&dock);
    }
    dock.treeView()->setCurrentIndex(index);
    dock.treeView()->edit(index);
    return dock.treeView()->findChild<QLineEdit *>();
}

// Typed key by key, as a keyboard would, Cyrillic included.
void type(QWidget *editor, const QString &text)
{
    for (const QChar c : text) {
        const int key = c.unicode() < 128 ? c.toUpper().unicode() : int(Qt::Key_unknown);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(editor, &press);
        QApplication::sendEvent(editor, &release);
    }
}

// The delegate commits on the next turn of the event loop.
void commit(QLineEdit *editor)
{
    QPointer<QLineEdit> open(editor);
    QTest::keyClick(editor, Qt::Key_Return);
    QVERIFY(QTest::qWaitFor([&] { return !open || !open->isVisible(); }, 5000));
}

}  // namespace

class TestPersoneDock : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void treeShowsOnlyTheDataRootAndSubjects();
    void addingSubjectsCreatesAndSelectsThem();
    void creatingFoldersTakesTheFirstFreeName();
    void selectionIsAnnouncedAndClearedSilently();
    void renamingDropsSeparatorsAndTrims();
    void refusedNamesKeepTheOldOne();
    void deletingSubjectMovesItsFilesToTheTrash();
    void deletingFolderAnnouncesNoSubject();
    void contextMenuFollowsTheEntryKind();
    void toolTipShowsOnlyOverTheSquare();
    void commentIconOnlyWithText();
    void foldersTakeTheirColours();
    void exportAndImportAskWhereAndTell();
    void packagesActOnTheEntryChosenBeforeTheDialog();

private:
    QString root;
};

void TestPersoneDock::init()
{
    root = dataRoot();
    QDir(root).removeRecursively();
    QDir(trashFolder()).removeRecursively();
    QVERIFY(QDir().mkpath(root + "/Отдел"));
    QVERIFY(QDir().mkpath(root + "/__1__"));
    QVERIFY(QDir().mkpath(root + "/Отдел/__1__"));
    QVERIFY(QDir().mkpath(root + "/.hidden"));
    QVERIFY(QDir().mkpath(QFileInfo(root).absolutePath() + "/beside"));
    touch(root + "/Иванов.qmz");
    touch(root + "/.Скрытый.qmz");
    touch(root + "/notes.txt");
    touch(root + "/svorkel.sqmz");
}

void TestPersoneDock::treeShowsOnlyTheDataRootAndSubjects()
{
    PersoneDockWindow dock;
    QVERIFY(!dock.treeView()->isVisibleTo(&dock));
    QSignalSpy announced(&dock, kChanged);
    dock.initModel();
    QVERIFY(dock.treeView()->isVisibleTo(&dock));
    QCOMPARE(announced.size(), 1);
    QCOMPARE(announced[0], (Announcement{root, root, QVariant::fromValue<QObject *>(&dock)}));

    QTreeView *tree = dock.treeView();
    QTRY_COMPARE(tree->model()->rowCount(tree->rootIndex()), 1);
    const QPersistentModelIndex rootIndex = tree->model()->index(0, 0, tree->rootIndex());
    QCOMPARE(pathOf(rootIndex), root);
    QCOMPARE(QPersistentModelIndex(tree->currentIndex()), rootIndex);
    QVERIFY(tree->isExpanded(rootIndex));
    QCOMPARE(shownNames(tree, rootIndex), (QStringList{"Иванов.qmz", "Отдел"}));
    QVERIFY(dock.addUserAction()->isEnabled());

    // Made later: the folder beside the root and a differently written "__1__" stay out.
    QVERIFY(QDir().mkpath(QFileInfo(root).absolutePath() + "/later"));
    QVERIFY(QDir().mkpath(root + "/Отдел/Группа"));
    touch(root + "/Отдел/Петров.qmz");
    const QPersistentModelIndex department = treeIndex(dock, root + "/Отдел");
    tree->expand(department);
    QTRY_COMPARE(shownNames(tree, department), (QStringList{"Группа", "Петров.qmz"}));
    QCOMPARE(tree->model()->rowCount(tree->rootIndex()), 1);
}

void TestPersoneDock::addingSubjectsCreatesAndSelectsThem()
{
    PersoneDockWindow dock;
    dock.initModel();
    QSignalSpy announced(&dock, kChanged);
    QCOMPARE(dock.addUserAction()->text(), QStringLiteral("Добавить обследуемого"));
    dock.addUserAction()->trigger();
    const QString first = root + "/Новый обследуемый0.qmz";
    QVERIFY(QFileInfo::exists(first));
    QCOMPARE(announced.size(), 1);
    QCOMPARE(announced[0], (Announcement{first, first, QVariant::fromValue<QObject *>(&dock)}));
    QCOMPARE(pathOf(dock.treeView()->currentIndex()), first);
    QVERIFY(!dock.addUserAction()->isEnabled());  // a subject is no folder
    QVERIFY(dock.createLinkAction()->isEnabled());

    QTest::qWait(300);
    QCOMPARE(pathOf(dock.treeView()->currentIndex()), first);
    dock.onChangedPerosneSignal_ForSync(root);
    dock.addUserAction()->trigger();
    QVERIFY(QFileInfo::exists(root + "/Новый обследуемый1.qmz"));

    // With all hundred names taken nothing is added and nothing announced.
    for (int i = 2; i < 100; ++i)
        touch(root + QString("/Новый обследуемый%1.qmz").arg(i));
    dock.onChangedPerosneSignal_ForSync(root);
    const int before = announced.size();
    dock.addUserAction()->trigger();
    QCOMPARE(announced.size(), before);
    QCOMPARE(QDir(root).entryList({"*.qmz"}).size(), 101);
}

void TestPersoneDock::creatingFoldersTakesTheFirstFreeName()
{
    PersoneDockWindow dock;
    dock.initModel();
    dock.onChangedPerosneSignal_ForSync(root + "/Отдел");
    QVERIFY(dock.createFolderAction()->isEnabled());
    dock.createFolderAction()->trigger();
    QVERIFY(QFileInfo(root + "/Отдел/Новая папка0").isDir());
    // 200 ms later the new folder is current.
    QTRY_COMPARE(pathOf(dock.treeView()->currentIndex()), root + "/Отдел/Новая папка0");
    dock.onChangedPerosneSignal_ForSync(root + "/Отдел");
    dock.createFolderAction()->trigger();
    QVERIFY(QFileInfo(root + "/Отдел/Новая папка1").isDir());
}

void TestPersoneDock::selectionIsAnnouncedAndClearedSilently()
{
    PersoneDockWindow dock;
    dock.initModel();
    QSignalSpy announced(&dock, kChanged);
    QSignalSpy linked(&dock, kLink);
    dock.onChangedPerosneSignal_ForSync(root + "/Отдел");
    QCOMPARE(announced.size(), 1);
    QCOMPARE(announced[0][1].toString(), root + "/Отдел");
    QVERIFY(!dock.createLinkAction()->isEnabled());

    dock.clearSelection();
    QCOMPARE(announced.size(), 1);
    QVERIFY(!dock.treeView()->currentIndex().isValid());
    QVERIFY(!dock.addUserAction()->isEnabled());

    dock.onChangedPerosneSignal_ForSync(root + "/Иванов.qmz");
    QCOMPARE(announced.size(), 2);
    QCOMPARE(announced[1][1].toString(), root + "/Иванов.qmz");
    dock.createLinkAction()->trigger();
    QCOMPARE(linked.size(), 1);
    QCOMPARE(linked[0][0].toString(), root + "/Иванов.qmz");
    dock.onChangedPerosneSignal_ForSync(QString());
    QCOMPARE(announced.size(), 2);
    QVERIFY(!dock.treeView()->currentIndex().isValid());
}

void TestPersoneDock::renamingDropsSeparatorsAndTrims()
{
    PersoneDockWindow dock;
    dock.initModel();
    QVERIFY(!(treeIndex(dock, root).flags() & Qt::ItemIsEditable));
    dock.treeView()->edit(treeIndex(dock, root));
    QVERIFY(!dock.treeView()->findChild<QLineEdit *>());

    QSignalSpy announced(&dock, kChanged);
    QSignalSpy linked(&dock, kLink);
    QLineEdit *editor = startRenaming(dock, treeIndex(dock, root + "/Иванов.qmz"));
    QVERIFY(editor);
    QCOMPARE(editor->text(), QString("Иванов"));
    announced.clear();
    editor->clear();
    type(editor, " Петров/\\ П.П. ");
    QCOMPARE(editor->text(), QString(" Петров П.П. "));
    commit(editor);
    QVERIFY(QFileInfo::exists(root + "/Петров П.П..qmz"));
    QVERIFY(!QFileInfo::exists(root + "/Иванов.qmz"));
    QCOMPARE(announced.size(), 1);
    QCOMPARE(announced[0], (Announcement{root + "/Иванов.qmz", root + "/Петров П.П..qmz",
                                         QVariant::fromValue<QObject *>(&dock)}));
    QCOMPARE(linked.size(), 1);
    QCOMPARE(linked[0][0].toString(), QString());
    QTRY_COMPARE(pathOf(dock.treeView()->currentIndex()), root + "/Петров П.П..qmz");

    editor = startRenaming(dock, treeIndex(dock, root + "/Отдел"));
    QCOMPARE(editor->text(), QString("Отдел"));
    editor->setText("Бухгалтерия");
    commit(editor);
    QVERIFY(QFileInfo(root + "/Бухгалтерия/__1__").isDir());
    QTRY_COMPARE(pathOf(dock.treeView()->currentIndex()), root + "/Бухгалтерия");
}

void TestPersoneDock::refusedNamesKeepTheOldOne()
{
    PersoneDockWindow dock;
    dock.initModel();
    QSignalSpy announced(&dock, kChanged);
    const QByteArray bytes = StoreFixtures::fileBytes(root + "/Иванов.qmz");
    for (const QString &pasted : {QString("../x"), QString(""), QString("Ива\nнов"), QString("  ")}) {
        MessageBoxAnswerer answers({QMessageBox::Ok});
        QLineEdit *editor = startRenaming(dock, treeIndex(dock, root + "/Иванов.qmz"));
        QVERIFY(editor);
        announced.clear();
        editor->setText(pasted);
        commit(editor);
        QTRY_COMPARE(answers.remaining(), 0);
        QCOMPARE(answers.unexpected(), 0);
        QVERIFY2(answers.asked().value(0).contains("Прежнее имя сохранено"), qPrintable(answers.asked().value(0)));
        QCOMPARE(QDir(root).entryList({"*.qmz"}, QDir::Files), QStringList{"Иванов.qmz"});
        QCOMPARE(StoreFixtures::fileBytes(root + "/Иванов.qmz"), bytes);
        QVERIFY(!QFileInfo::exists(QFileInfo(root).absolutePath() + "/x.qmz"));
        for (const Announcement &a : announced)
            QVERIFY(a[0].toString() == a[1].toString());
        QTRY_COMPARE(pathOf(dock.treeView()->currentIndex()), root + "/Иванов.qmz");
    }
}

void TestPersoneDock::deletingSubjectMovesItsFilesToTheTrash()
{
    const QStringList ivan = makeRecordedSubject(root + "/Отдел/Иван.qmz", {"Тест1", "Тест2"},
                                                 {"01022024101010.avi", "01022024101011.aac"});
    const QStringList ivanov = makeRecordedSubject(root + "/Отдел/Иванов.qmz", {"Тест1"}, {"01022024101012.avi"});
    PersoneDockWindow dock;
    dock.initModel();
    QSignalSpy announced(&dock, kChanged);
    QSignalSpy linked(&dock, kLink);

    // No: nothing happens.
    dock.treeView()->setCurrentIndex(treeIndex(dock, root + "/Отдел/Иван.qmz"));
    announced.clear();
    {
        MessageBoxAnswerer answers({QMessageBox::No});
        dock.action_DeleteUser();
        QCOMPARE(answers.asked(), QStringList{"Вы действительно хотите удалить обследуемого 'Иван' ?"});
    }
    QVERIFY(QFileInfo::exists(ivan[0]));
    QVERIFY(announced.isEmpty());

    // Yes with a trash that cannot be made: a message, nothing moved.
    touch(trashFolder(), "in the way");
    {
        MessageBoxAnswerer answers({QMessageBox::Yes, QMessageBox::Ok});
        dock.action_DeleteUser();
        QCOMPARE(answers.asked().size(), 2);
        QVERIFY(answers.asked()[1].contains(ivan[0]));
    }
    for (const QString &path : ivan)
        QVERIFY(QFileInfo::exists(path));
    QVERIFY(announced.isEmpty());
    QVERIFY(QFile::remove(trashFolder()));

    {
        MessageBoxAnswerer answers({QMessageBox::Yes});
        dock.action_DeleteUser();
        QCOMPARE(answers.unexpected(), 0);
    }
    QCOMPARE(trashedNames(), fileNames(ivan));
    for (const QString &path : ivanov)
        QVERIFY(QFileInfo::exists(path));
    QCOMPARE(announced.size(), 1);
    QCOMPARE(announced[0], (Announcement{QString(), QString(), QVariant::fromValue<QObject *>(&dock)}));
    QCOMPARE(linked.size(), 1);
    QCOMPARE(linked[0][0].toString(), QString());

    // Del on a folder deletes nothing.
    dock.treeView()->setCurrentIndex(treeIndex(dock, root + "/Отдел"));
    {
        MessageBoxAnswerer answers;
        dock.action_DeleteUser();
        QVERIFY(answers.asked().isEmpty());
    }
}

void TestPersoneDock::deletingFolderAnnouncesNoSubject()
{
    touch(root + "/Отдел/Петров.qmz");
    PersoneDockWindow dock;
    dock.initModel();
    QSignalSpy announced(&dock, kChanged);
    QSignalSpy linked(&dock, kLink);
    dock.treeView()->setCurrentIndex(treeIndex(dock, root));
    announced.clear();
    {
        MessageBoxAnswerer answers;
        dock.action_DeleteFolder();  // never the data root
        QVERIFY(answers.asked().isEmpty());
    }
    dock.treeView()->setCurrentIndex(treeIndex(dock, root + "/Отдел"));
    announced.clear();
    {
        MessageBoxAnswerer answers({QMessageBox::Yes});
        dock.action_DeleteFolder();
        QCOMPARE(answers.asked(), QStringList{"<p>Вы хотите удалить папку " + root + "/Отдел ?</p>"});
    }
    QVERIFY(!QFileInfo::exists(root + "/Отдел"));
    QCOMPARE(announced.size(), 1);
    QCOMPARE(announced[0], (Announcement{QString(), QString(), QVariant::fromValue<QObject *>(&dock)}));
    QCOMPARE(linked.size(), 1);
    QCOMPARE(linked[0][0].toString(), QString());
}

void TestPersoneDock::contextMenuFollowsTheEntryKind()
{
    PersoneDockWindow dock;
    dock.resize(400, 600);
    dock.initModel();
    dock.show();
    QTreeView *tree = dock.treeView();
    const QPersistentModelIndex rootIndex = treeIndex(dock, root);
    const QPersistentModelIndex department = treeIndex(dock, root + "/Отдел");
    const QPersistentModelIndex subject = treeIndex(dock, root + "/Иванов.qmz");
    QTRY_VERIFY(tree->visualRect(subject).isValid());

    const QStringList folderEntries{"Показать папку в Проводнике",
                                    "-",
                                    "Раскрыть папки первого уровня\tSpace",
                                    "Свернуть папки первого уровня",
                                    "-",
                                    "Создать папку",
                                    "Изменить папку\tF2",
                                    "Удалить папку",
                                    "-",
                                    "Импортировать обследуемого...",
                                    "-",
                                    "Добавить обследуемого"};
    tree->setCurrentIndex(department);
    QScopedPointer<QMenu> menu(dock.createContextMenu(tree->visualRect(department).center()));
    QCOMPARE(entriesOf(menu.data()), folderEntries);

    QStringList rootEntries = folderEntries;
    rootEntries[6] += " (off)";
    rootEntries[7] += " (off)";
    tree->setCurrentIndex(rootIndex);
    menu.reset(dock.createContextMenu(tree->visualRect(rootIndex).center()));
    QCOMPARE(entriesOf(menu.data()), rootEntries);

    tree->setCurrentIndex(subject);
    menu.reset(dock.createContextMenu(tree->visualRect(subject).center()));
    QCOMPARE(entriesOf(menu.data()),
             (QStringList{"Копировать ВЕСЬ ВОПРОСНИК в системный буфер\tCtrl+C",
                          "Добавить ВОПРОСНИК из системного буфера\tCtrl+V (off)", "-", "Создать ярлык", "-",
                          "Анкета обследуемого...", "-", "Изменить ФИО обследуемого\tF2",
                          "Удалить обследуемого\tDel", "-", "Экспортировать обследуемого..."}));
    // Pasting needs tests on the clipboard.
    QApplication::clipboard()->setMimeData(SubjectClipboard::mimeOf(root + "/Иванов.qmz"));
    menu.reset(dock.createContextMenu(tree->visualRect(subject).center()));
    QCOMPARE(entriesOf(menu.data())[1], QString("Добавить ВОПРОСНИК из системного буфера\tCtrl+V"));
    QApplication::clipboard()->clear();

    menu.reset(dock.createContextMenu(QPoint(5, tree->viewport()->height() - 5)));
    QVERIFY(menu->isEmpty());

    // While the menu runs it is the program's open pop-up; its folder entry
    // shows the folder itself, not four slashes.
    UrlCatcher urls;
    quintptr seen = 0;
    QTimer::singleShot(100, [&] {
        auto *open = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        seen = activePopupMenuId;
        if (open) {
            open->actions().first()->trigger();
            open->close();
        }
    });
    tree->setCurrentIndex(department);
    dock.onCustomContextMenu(tree->visualRect(department).center());
    QVERIFY(seen != 0);
    QCOMPARE(activePopupMenuId, quintptr(0));
    QCOMPARE(urls.urls, QList<QUrl>{QUrl::fromLocalFile(root + "/Отдел")});
}

void TestPersoneDock::toolTipShowsOnlyOverTheSquare()
{
    {
        Inspection subject(root + "/Иванов.qmz");
        QFile::remove(subject.path);
        subject.preTestText = "Беседа до теста";
        QCOMPARE(subject.savePreTestConversation(), StoreResult::NotOpen);  // no file yet
        StoreFixtures::makeSubjectFile(subject.path);
        QCOMPARE(subject.savePreTestConversation(), StoreResult::Ok);
    }
    touch(root + "/Отдел/Чужой.qmz", "foreign bytes, no database");
    PersoneDockWindow dock;
    dock.resize(400, 600);
    dock.initModel();
    dock.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dock));
    QTreeView *tree = dock.treeView();
    const QPersistentModelIndex subject = treeIndex(dock, root + "/Иванов.qmz");
    QCOMPARE(subject.data(Qt::ToolTipRole).toString(), QString("Беседа до теста"));
    QVERIFY(treeIndex(dock, root + "/Отдел").data(Qt::ToolTipRole).isNull());
    QVERIFY(treeIndex(dock, root + "/Отдел/Чужой.qmz").data(Qt::ToolTipRole).isNull());

    const QRect row = tree->visualRect(subject);
    const auto askTipAt = [&](const QPoint &pos) {
        QHelpEvent event(QEvent::ToolTip, pos, tree->viewport()->mapToGlobal(pos));
        QApplication::sendEvent(tree->viewport(), &event);
    };
    const auto shownTip = [] { return QToolTip::isVisible() ? QToolTip::text() : QString(); };
    // Hiding takes a moment.
    askTipAt(QPoint(row.right() - row.height() / 2, row.center().y()));
    QTRY_COMPARE(shownTip(), QString("Беседа до теста"));
    askTipAt(QPoint(row.right() - row.height() - 4, row.center().y()));
    QTRY_COMPARE(shownTip(), QString());
    askTipAt(tree->visualRect(treeIndex(dock, root + "/Отдел")).topRight() + QPoint(-2, 2));
    QTest::qWait(400);
    QCOMPARE(shownTip(), QString());
}

void TestPersoneDock::commentIconOnlyWithText()
{
    for (const char *name : {"/Иванов.qmz", "/Петров.qmz"}) {
        QFile::remove(root + name);
        StoreFixtures::makeSubjectFile(root + name);
    }
    Inspection withText(root + "/Иванов.qmz");
    withText.preTestText = "Беседа";
    QCOMPARE(withText.savePreTestConversation(), StoreResult::Ok);
    PersoneDockWindow dock;
    dock.resize(400, 600);
    dock.initModel();
    dock.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dock));
    QTreeView *tree = dock.treeView();
    const QPersistentModelIndex ivanov = treeIndex(dock, root + "/Иванов.qmz");
    const QPersistentModelIndex petrov = treeIndex(dock, root + "/Петров.qmz");
    tree->clearSelection();
    tree->setCurrentIndex(QModelIndex());
    QTest::qWait(100);
    const QImage shot = tree->viewport()->grab().toImage();
    const auto distinctColours = [&](const QModelIndex &index) {
        const QRect square = _PersoneDock_TreeView::commentSquare(tree->visualRect(index));
        QSet<QRgb> colours;
        for (int y = square.top(); y <= square.bottom(); ++y)
            for (int x = square.left(); x <= square.right(); ++x)
                colours << shot.pixel(x, y);
        return colours.size();
    };
    QVERIFY(distinctColours(ivanov) > 4);
    QCOMPARE(distinctColours(petrov), 1);
}

void TestPersoneDock::foldersTakeTheirColours()
{
    using Delegate = PersoneDockWindow::_FolderStyledItemDelegate;
    QCOMPARE(Delegate::folderColour(0), QColor(0, 0, 0));
    QCOMPARE(Delegate::folderColour(1), QColor(193, 0, 68));
    QCOMPARE(Delegate::folderColour(8), QColor(0, 162, 68));
    QCOMPARE(Delegate::folderColour(64), QColor(193, 162, 0));
    QCOMPARE(Delegate::folderColour(512 + 8), Delegate::folderColour(8));

    QVERIFY(QDir().mkpath(root + "/Отдел/Группа"));
    touch(root + "/Отдел/Петров.qmz");
    PersoneDockWindow dock;
    dock.resize(400, 600);
    dock.initModel();
    dock.show();
    QTreeView *tree = dock.treeView();
    const QPersistentModelIndex department = treeIndex(dock, root + "/Отдел");
    const QPersistentModelIndex group = treeIndex(dock, root + "/Отдел/Группа");
    const QPersistentModelIndex petrov = treeIndex(dock, root + "/Отдел/Петров.qmz");
    const QPersistentModelIndex ivanov = treeIndex(dock, root + "/Иванов.qmz");

    // Depth: one step for each folder of the path, one for the file system's root.
    const QModelIndex source = dock.fileModel()->index(root + "/Отдел");
    const int depth = QDir::cleanPath(root + "/Отдел").split('/', Qt::SkipEmptyParts).size() + 1;
    QCOMPARE(Delegate::colourOf(source), Delegate::folderColour((source.row() + 100 * depth) % 512));

    auto *delegate = static_cast<Delegate *>(tree->itemDelegate());
    const auto optionOf = [&](const QModelIndex &index) {
        QStyleOptionViewItem option;
        delegate->initStyleOption(&option, index);
        return option;
    };
    const auto endColour = [](const QStyleOptionViewItem &option) {
        const QGradient *gradient = option.backgroundBrush.gradient();
        return gradient ? gradient->stops().last().second : QColor();
    };
    tree->collapse(department);
    QCOMPARE(optionOf(department).backgroundBrush.style(), Qt::NoBrush);  // collapsed under the root
    QCOMPARE(optionOf(ivanov).backgroundBrush.style(), Qt::NoBrush);
    QCOMPARE(optionOf(ivanov).text, QString("Иванов"));
    QVERIFY(optionOf(ivanov).icon.isNull());
    tree->expand(department);
    QTRY_VERIFY(tree->model()->hasChildren(department));
    QCOMPARE(endColour(optionOf(department)), Delegate::colourOf(source));
    QCOMPARE(optionOf(department).font.weight(), int(QFont::Bold));
    QCOMPARE(endColour(optionOf(petrov)), Delegate::colourOf(source));
    QCOMPARE(endColour(optionOf(group)), Delegate::colourOf(source));  // collapsed: its folder's colour
    QCOMPARE(optionOf(treeIndex(dock, root)).backgroundBrush.style(), Qt::NoBrush);
}

void TestPersoneDock::exportAndImportAskWhereAndTell()
{
    const QStringList files = makeRecordedSubject(root + "/Иван.qmz", {"Тест"}, {"01022024101010.avi"});
    const QString out = QDir::homePath() + "/out";
    QVERIFY(QDir().mkpath(out));
    QList<FileChooser::Request> requests;
    QString answer = out;
    FileChooser::setChooser([&](const FileChooser::Request &request) {
        requests << request;
        return answer;
    });
    PersoneDockWindow dock;
    dock.initModel();
    dock.treeView()->setCurrentIndex(treeIndex(dock, files[0]));
    {
        MessageBoxAnswerer answers({QMessageBox::Ok});
        dock.onActionExport();
        QCOMPARE(answers.asked().size(), 1);
        QVERIFY(answers.asked()[0].contains(out + "/Иван.dqmz"));
    }
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].kind, FileChooser::Kind::ExistingDirectory);
    QCOMPARE(requests[0].caption, QString("Выбор папки для экспорта"));
    QVERIFY(QFileInfo::exists(out + "/Иван.dqmz"));

    answer = out + "/Иван.dqmz";
    dock.treeView()->setCurrentIndex(treeIndex(dock, root + "/Отдел"));
    {
        MessageBoxAnswerer answers({QMessageBox::Ok});
        dock.onActionImport();
        QCOMPARE(answers.asked(), QStringList{"Импортировано файлов: 3."});
    }
    QCOMPARE(requests[1].kind, FileChooser::Kind::OpenFile);
    QCOMPARE(requests[1].caption, QString("Выбор файла для импорта"));
    QCOMPARE(requests[1].filter, QString("*.dqmz"));
    QCOMPARE(StoreFixtures::fileBytes(root + "/Отдел/__1__/" + QFileInfo(files[1]).fileName()),
             StoreFixtures::fileBytes(files[1]));

    // Again: asked first, No changes nothing.
    touch(root + "/Отдел/Иван.qmz", "changed since");
    {
        MessageBoxAnswerer answers({QMessageBox::No, QMessageBox::Ok});
        dock.onActionImport();
        QCOMPARE(answers.asked().size(), 2);
        QVERIFY(answers.asked()[0].contains("Иван"));
        QVERIFY(answers.asked()[1].contains("ничего не изменено"));
        QCOMPARE(answers.defaults().value(0), QMessageBox::No);
    }
    QCOMPARE(StoreFixtures::fileBytes(root + "/Отдел/Иван.qmz"), QByteArray("changed since"));
    FileChooser::setChooser(nullptr);
}

void TestPersoneDock::packagesActOnTheEntryChosenBeforeTheDialog()
{
    makeRecordedSubject(root + "/Иван.qmz", {"Тест"}, {"01022024101010.avi"});
    const QString out = QDir::homePath() + "/out";
    QVERIFY(QDir().mkpath(out));
    PersoneDockWindow dock;
    dock.initModel();
    // The tree sorts anew while each dialog is open.
    QString answer = out;
    Qt::SortOrder order = Qt::DescendingOrder;
    FileChooser::setChooser([&](const FileChooser::Request &) {
        dock.treeView()->model()->sort(0, order);
        return answer;
    });
    dock.treeView()->setCurrentIndex(treeIndex(dock, root + "/Иван.qmz"));
    {
        MessageBoxAnswerer answers({QMessageBox::Ok});
        dock.onActionExport();
    }
    QVERIFY(QFileInfo::exists(out + "/Иван.dqmz"));
    answer = out + "/Иван.dqmz";
    order = Qt::AscendingOrder;
    dock.treeView()->setCurrentIndex(treeIndex(dock, root + "/Отдел"));
    {
        MessageBoxAnswerer answers({QMessageBox::Ok});
        dock.onActionImport();
    }
    QVERIFY(QFileInfo::exists(root + "/Отдел/Иван.qmz"));
    FileChooser::setChooser(nullptr);
}

VUG_TEST_MAIN(TestPersoneDock, QApplication)
#include "tst_personedock.moc"
