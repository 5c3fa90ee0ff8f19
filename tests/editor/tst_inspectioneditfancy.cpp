#include "data/ActivePopupMenu.h"
#include "data/GenericSettings.h"
#include "data/InspectionMedia.h"
#include "data/SettingsStore.h"
#include "editor/EditorActionRules.h"
#include "editor/InspectionEditFancy.h"
#include "editor/InspectionTreeView.h"
#include "editor/MimeFormats.h"
#include "editor/SpravMethodicsDockWindow.h"
#include "editor/SpravQuestionsDockWindow.h"
#include "data/SpravDB.h"
#include "subjects/PersoneDockWindow.h"
#include "subjects/PersoneLinkDockWindow.h"
#include "subjects/PersonePropertyDlg.h"
#include "tests/data/StoreFixtures.h"
#include "tests/support/LockHolder.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/StoredKinds.h"
#include "tests/support/TestHome.h"
#include "tests/support/UrlCatcher.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QShortcut>
#include <QStandardItemModel>
#include <QToolBar>
#include <QTabBar>
#include <QTextEdit>

using namespace StoreFixtures;

Q_DECLARE_METATYPE(Inspection *)
Q_DECLARE_METATYPE(QMessageBox::StandardButton)

namespace {

QString dataRoot()
{
    GenericSettings settings;
    settings.load();
    return settings.sRootFolder;
}

QAction *actionOf(QObject *owner, const QString &text)
{
    for (QAction *action : owner->findChildren<QAction *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

QAction *entryOf(const QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

QShortcut *shortcutOf(InspectionEditFancy &editor, const QKeySequence &keys)
{
    for (QShortcut *key : editor.findChildren<QShortcut *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (key->key() == keys)
            return key;
    }
    return nullptr;
}

QStringList entriesOf(const QMenu *menu)
{
    QStringList entries;
    for (QAction *action : menu->actions())
        entries << (action->isSeparator() ? QStringLiteral("|") : action->text());
    return entries;
}

QStringList filesIn(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.sort();
    return names;
}

// A subject file: "Запись" recorded with marks, "Пустой" not; questions of both sets.
QString makeSubject(const QString &path)
{
    Inspection inspection(path);
    Inspection::_Test fresh(QStringLiteral("Пустой"));
    fresh.addTheme(QStringLiteral("Ваше имя?"), QuestionKind::Neutral, 1, -1);
    fresh.addTheme(QStringLiteral("Вы взяли?"), QuestionKind::IntR, 1, -1);
    inspection.tests = {recordedTest(QStringLiteral("Запись"), 40), fresh};
    saveTests(inspection);
    return path;
}

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    writeFile(path, "x");
}

}  // namespace

class TestInspectionEditFancy : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void enablingRules_data();
    void enablingRules();
    void windowAppliesTheRules();
    void focusFilterLeavesKeysToTheDocks();
    void contextMenus();
    void contextMenuIsMarkedWhileItRuns();
    void folderSavesMovedMarksAndEmptiesTheTree_data();
    void folderSavesMovedMarksAndEmptiesTheTree();
    void renameMovesExactlyTheSubjectsRecordings();
    void testVideosFollowTheirIdentifier();
    void failedRenameIsReported();
    void doubleClicksAskForRecordOrView();
    void setTogglesAndSettings();
    void docksArePlacedAndRestored();
    void exportReadsBack();
    void pendingRecordingHoldsItsSubjectUntilSaved();
    void movedMarksOutliveTheQuestionnaireSave();
    void movedMarksWhoseFileIsGoneHoldTheSubject_data();
    void movedMarksWhoseFileIsGoneHoldTheSubject();
    void heldSubjectIsToldBusyAndShowsNoList();

private:
    void open(InspectionEditFancy &editor, const QString &path);
    // Opens the subject and moves its first test's first mark in memory, as
    // the review does: the mark's new start, or -1.
    int openAndMoveMark(InspectionEditFancy &editor, const QString &path);
    QModelIndex testItem(InspectionEditFancy &editor, const QString &name);
    Inspection *announced = nullptr;
    QString root;
};

void TestInspectionEditFancy::init()
{
    qRegisterMetaType<Inspection *>();
    QFile::remove(SettingsStore::filePath());
    root = dataRoot();
    QDir(root).removeRecursively();
    QDir().mkpath(root);
    SpravDB::sPathFileSprav = root + "/svorkel.sqmz";
    QApplication::clipboard()->clear();
}

void TestInspectionEditFancy::cleanup()
{
    announced = nullptr;
}

void TestInspectionEditFancy::open(InspectionEditFancy &editor, const QString &path)
{
    connect(&editor, &InspectionEditFancy::notifyChangePersone, this,
            [this](const QString &, Inspection *inspection) { announced = inspection; }, Qt::UniqueConnection);
    editor.onChangedPersone2(path, path, nullptr);
}

int TestInspectionEditFancy::openAndMoveMark(InspectionEditFancy &editor, const QString &path)
{
    open(editor, path);
    if (!announced || announced->loadRecording(&announced->tests[0]) != StoreResult::Ok)
        return -1;
    Inspection::_Test &test = announced->tests[0];
    test.labelsModified = true;
    return test.labels[0].TickQStart += 7;
}

QModelIndex TestInspectionEditFancy::testItem(InspectionEditFancy &editor, const QString &name)
{
    QAbstractItemModel *model = editor.treeView()->model();
    for (int row = 0; model && row < model->rowCount(); ++row) {
        const QModelIndex item = model->index(row, 0);
        if (editor.inspection().tests[item.data(Qt::UserRole + 1).toInt()].name == name)
            return item;
    }
    return QModelIndex();
}

void TestInspectionEditFancy::enablingRules_data()
{
    // State: open, current, question, test, recorded, undo, redo, clipboard (t test, q question, x text).
    // Expected: add test, paste, copy, edit/delete, delete group, delete polygram, add questions,
    // talk, undo, redo, Ctrl+C, Ctrl+V, F2/Del.
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no subject, clipboard full") << "----- -- tqx" << "------------ -";
    QTest::newRow("no current") << "o---- --" << "o----------- -";
    QTest::newRow("no current, test copied") << "o---- -- t" << "op---------- -";
    QTest::newRow("no current, question copied") << "o---- -- qx" << "o----------- -";
    QTest::newRow("test") << "oc-t- --" << "o-ce--at--c- e";
    QTest::newRow("test, text copied") << "oc-t- -- x" << "opce--at--cv e";
    QTest::newRow("test, question copied") << "oc-t- -- q" << "o-ce--at--cv e";
    QTest::newRow("test with history") << "oc-t- ur" << "o-ce--aturc- e";
    QTest::newRow("recorded test, all copied") << "oc-tr ur tqx" << "o-c--d----c- -";
    QTest::newRow("question") << "ocqt- --" << "o-ceg-at--c- e";
    QTest::newRow("question of a recorded test") << "ocqtr -- x" << "o-c--d----c- -";
    QTest::newRow("item without its test") << "oc--r --" << "o-c-------c- -";
}

void TestInspectionEditFancy::enablingRules()
{
    QFETCH(QString, state);
    QFETCH(QString, expected);
    state = state.leftJustified(12, ' ');
    EditorActionState given;
    given.open = state[0] == 'o';
    given.current = state[1] == 'c';
    given.question = state[2] == 'q';
    given.test = state[3] == 't';
    given.recorded = state[4] == 'r';
    given.canUndo = state[6] == 'u';
    given.canRedo = state[7] == 'r';
    given.testOnClipboard = state.mid(9).contains('t');
    given.questionOnClipboard = state.mid(9).contains('q');
    given.textOnClipboard = state.mid(9).contains('x');
    const EditorActionRules rules = editorActionRules(given);
    QString got;
    got += rules.addTest && rules.excel && rules.collapseExpand && rules.extraInfo ? 'o' : '-';
    got += rules.paste ? 'p' : '-';
    got += rules.copy ? 'c' : '-';
    got += rules.edit && rules.remove ? 'e' : '-';
    got += rules.deleteGroup ? 'g' : '-';
    got += rules.deletePolygram ? 'd' : '-';
    got += rules.addQuestions ? 'a' : '-';
    got += rules.talk ? 't' : '-';
    got += rules.undo ? 'u' : '-';
    got += rules.redo ? 'r' : '-';
    got += rules.copyKey ? 'c' : '-';
    got += rules.pasteKey ? 'v' : '-';
    got += ' ';
    got += rules.editKey && rules.deleteKey ? 'e' : '-';
    QCOMPARE(got, expected);
}

void TestInspectionEditFancy::windowAppliesTheRules()
{
    InspectionEditFancy editor;
    const QString folder = root;
    QList<QAction *> actions = editor.findChild<QToolBar *>()->actions();
    for (const char *text : {"Удалить группу", "Удалить полиграмму теста", "Перестроить порядок", "НЕЙТРАЛЬНЫЙ вопрос",
                             "РЕЛЕВАНТНЫЙ вопрос (R)"})
        actions << actionOf(&editor, text);
    for (QAction *action : actions) {
        if (action->text().startsWith("Включить"))
            QVERIFY(action->isEnabled());
        else if (!action->isSeparator())
            QVERIFY2(!action->isEnabled(), qPrintable(action->text()));
    }
    for (QShortcut *key : editor.findChildren<QShortcut *>(QString(), Qt::FindDirectChildrenOnly))
        QVERIFY(!key->isEnabled());

    auto *links = editor.findChild<PersoneLinkDockWindow *>("PersoneLinkDockWindow");
    bool recorded = true;
    emit links->notificationIsRecordedTest(&recorded);
    QVERIFY(!recorded);

    open(editor, makeSubject(folder + "/Иванов.qmz"));
    emit links->notificationIsRecordedTest(&recorded);
    QVERIFY(recorded);
    QVERIFY(actionOf(&editor, "Добавить тест")->isEnabled());
    QVERIFY(!actionOf(&editor, "Добавить предъявление")->isEnabled());
    editor.treeView()->setCurrentIndex(testItem(editor, "Пустой"));
    QVERIFY(actionOf(&editor, "Добавить предъявление")->isEnabled());
    QVERIFY(!actionOf(&editor, "Удалить полиграмму теста")->isEnabled());
    QVERIFY(shortcutOf(editor, QKeySequence(Qt::Key_Delete))->isEnabled());
    editor.treeView()->setCurrentIndex(testItem(editor, "Запись"));
    QVERIFY(!actionOf(&editor, "Добавить предъявление")->isEnabled());
    QVERIFY(actionOf(&editor, "Удалить полиграмму теста")->isEnabled());
    QVERIFY(!shortcutOf(editor, QKeySequence(Qt::Key_Delete))->isEnabled());
    QVERIFY(shortcutOf(editor, QKeySequence(Qt::CTRL + Qt::Key_C))->isEnabled());
}

void TestInspectionEditFancy::focusFilterLeavesKeysToTheDocks()
{
    InspectionEditFancy editor;
    editor.show();
    editor.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    open(editor, makeSubject(root + "/Иванов.qmz"));
    QShortcut *copy = shortcutOf(editor, QKeySequence(Qt::CTRL + Qt::Key_C));
    QShortcut *remove = shortcutOf(editor, QKeySequence(Qt::Key_Delete));
    QSignalSpy copied(copy, &QShortcut::activated);
    QSignalSpy removed(remove, &QShortcut::activated);

    // In a dock: the dock's own keys act, the editor's do not.
    auto *subjects = editor.findChild<PersoneDockWindow *>("PersoneDockWindow");
    QShortcut *dockCopy = nullptr;
    for (QShortcut *key : subjects->findChildren<QShortcut *>()) {
        if (key->key() == QKeySequence(Qt::CTRL + Qt::Key_C))
            dockCopy = key;
    }
    QVERIFY(dockCopy);
    QSignalSpy dockKey(dockCopy, &QShortcut::activated);
    editor.treeView()->setCurrentIndex(testItem(editor, "Пустой"));
    subjects->treeView()->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), subjects->treeView());
    QTest::keyClick(subjects->treeView(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(dockKey.size(), 1);
    QCOMPARE(copied.size(), 0);
    QVERIFY(!remove->isEnabled());

    // In the tree the rules decide: Del stays off on a recorded test.
    editor.treeView()->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), editor.treeView());
    editor.treeView()->setCurrentIndex(testItem(editor, "Запись"));
    QTest::keyClick(editor.treeView(), Qt::Key_Delete);
    QCOMPARE(removed.size(), 0);
    QVERIFY(!remove->isEnabled());
    QVERIFY(copy->isEnabled());
    editor.treeView()->setCurrentIndex(testItem(editor, "Пустой"));
    MessageBoxAnswerer keep({QMessageBox::No});
    QTest::keyClick(editor.treeView(), Qt::Key_Delete);
    QCOMPARE(removed.size(), 1);
    QCOMPARE(keep.asked(), QStringList{"Вы действительно хотите удалить тест 'Пустой' ?"});
}

void TestInspectionEditFancy::contextMenus()
{
    InspectionEditFancy editor;
    editor.resize(1200, 700);
    editor.show();
    open(editor, makeSubject(root + "/Иванов.qmz"));
    InspectionTreeView *tree = editor.treeView();
    tree->expandAll();
    const QModelIndex fresh = testItem(editor, "Пустой");
    const QModelIndex recorded = testItem(editor, "Запись");
    const auto menuAt = [&](const QModelIndex &index) {
        if (index.isValid())
            tree->setCurrentIndex(index);
        const QPoint pos = index.isValid() ? tree->visualRect(index).center() : QPoint(5, tree->viewport()->height() - 5);
        return QSharedPointer<QMenu>(editor.createContextMenu(pos));
    };

    auto menu = menuAt(fresh);
    QCOMPARE(entriesOf(menu.data()),
             (QStringList{"Запись полиграммы", "|", "Копировать TECT в системный буфер\tCtrl+C",
                          "Вставить ТЕСТ из системного буфера\tCtrl+V", "|", "Изменить ТЕСТ\tF2", "Удалить ТЕСТ\tDel",
                          "|", "Комментарий к тесту...", "|", "Удалить полиграмму теста", "|",
                          "Показать в проводнике файл видо-аудио записи", "|",
                          "Показывать ВСЕ вопросы на втором мониторе"}));
    QCOMPARE(menu->defaultAction(), menu->actions()[0]);
    QVERIFY(entryOf(menu.data(), "Изменить ТЕСТ\tF2")->isEnabled());
    QVERIFY(!entryOf(menu.data(), "Вставить ТЕСТ из системного буфера\tCtrl+V")->isEnabled());
    QVERIFY(!entryOf(menu.data(), "Удалить полиграмму теста")->isEnabled());
    QVERIFY(!entryOf(menu.data(), "Показать в проводнике файл видо-аудио записи")->isEnabled());

    touch(InspectionMedia::testVideoPath(editor.inspection(), editor.inspection().tests[recorded.row()]));
    menu = menuAt(recorded);
    QCOMPARE(entriesOf(menu.data()).mid(0, 2), (QStringList{"Просмотр полиграммы", "|"}));
    QCOMPARE(menu->defaultAction()->text(), QStringLiteral("Просмотр полиграммы"));
    QVERIFY(!entriesOf(menu.data()).contains("Показывать ВСЕ вопросы на втором мониторе"));
    QVERIFY(entryOf(menu.data(), "Удалить полиграмму теста")->isEnabled());
    QVERIFY(!entryOf(menu.data(), "Удалить ТЕСТ\tDel")->isEnabled());
    QVERIFY(entryOf(menu.data(), "Копировать TECT в системный буфер\tCtrl+C")->isEnabled());
    QVERIFY(entryOf(menu.data(), "Показать в проводнике файл видо-аудио записи")->isEnabled());

    // Questions of the Russian and the international set.
    const QModelIndex neutral = tree->model()->index(0, 0, fresh);
    const QModelIndex relevant = tree->model()->index(1, 0, fresh);
    menu = menuAt(neutral);
    QCOMPARE(entriesOf(menu.data()),
             (QStringList{"Копировать ВОПРОС в системный буфер\tCtrl+C", "Вставить ВОПРОС из системного буфера\tCtrl+V",
                          "|", "Изменить ВОПРОС\tF2", "Удалить ВОПРОС\tDel", "|", "НЕЙТРАЛЬНЫЙ вопрос",
                          "ПРОВЕРОЧНЫЙ вопрос", "КОНТРОЛЬНЫЙ вопрос", "|", "Перестроить порядок", "|", "Удалить группу",
                          "|", "Второй монитор"}));
    QVERIFY(entryOf(menu.data(), "НЕЙТРАЛЬНЫЙ вопрос")->isChecked());
    QVERIFY(entryOf(menu.data(), "ПРОВЕРОЧНЫЙ вопрос")->isEnabled());
    QVERIFY(entryOf(menu.data(), "Удалить группу")->isEnabled());
    QMenu *second = menu->actions().last()->menu();
    QCOMPARE(entriesOf(second), (QStringList{"Загрузить фотографию...", "Просмотреть фотографию...",
                                             "Удалить фотографию", "|", "Показывать вопрос"}));
    QVERIFY(second->actions()[0]->isEnabled() && !second->actions()[1]->isEnabled());

    menu = menuAt(relevant);
    QCOMPARE(entriesOf(menu.data()).mid(6, 8),
             (QStringList{"ВВОДНЫЙ вопрос (P)", "ИРРЕЛЕВАНТНЫЙ (I)", "КОНТРОЛЬНЫЙ вопрос (C)", "РЕЛЕВАНТНЫЙ вопрос (R)",
                          "ЖЕРТВЕННЫЙ РЕЛЕВАНТНЫЙ вопрос (SR)", "СИМПТОМАТИЧЕСКИЙ вопрос (So)",
                          "вопрос КОМПЛЕКСА ВИНЫ (GC)", "|"}));
    QVERIFY(entryOf(menu.data(), "РЕЛЕВАНТНЫЙ вопрос (R)")->isChecked());
    QVERIFY(!actionOf(&editor, "НЕЙТРАЛЬНЫЙ вопрос")->isChecked());

    menu = menuAt(tree->model()->index(0, 0, recorded));
    QVERIFY(!actionOf(&editor, "НЕЙТРАЛЬНЫЙ вопрос")->isEnabled());
    QVERIFY(!entryOf(menu.data(), "Перестроить порядок")->isEnabled());
    QVERIFY(!entryOf(menu.data(), "Удалить группу")->isEnabled());

    menu = menuAt(QModelIndex());
    QCOMPARE(entriesOf(menu.data()).first(), QStringLiteral("|"));
    QVERIFY(!menu->defaultAction());
    QVERIFY(!tree->currentIndex().isValid());
    QVERIFY(!entryOf(menu.data(), "Копировать TECT в системный буфер\tCtrl+C")->isEnabled());
    QVERIFY(!entriesOf(menu.data()).contains("Показывать ВСЕ вопросы на втором мониторе"));
}

void TestInspectionEditFancy::contextMenuIsMarkedWhileItRuns()
{
    InspectionEditFancy editor;
    editor.show();
    open(editor, makeSubject(root + "/Иванов.qmz"));
    bool marked = false;
    QTimer::singleShot(50, [&marked] {
        marked = qobject_cast<QMenu *>(ActivePopupMenu::widget()) != nullptr;
        if (QWidget *menu = QApplication::activePopupWidget())
            menu->close();
    });
    editor.onCustomContextMenu(QPoint(5, 5));
    QVERIFY(marked);
    QCOMPARE(activePopupMenuId, quintptr(0));
}

void TestInspectionEditFancy::folderSavesMovedMarksAndEmptiesTheTree_data()
{
    QTest::addColumn<bool>("changedMeanwhile");
    QTest::newRow("saved") << false;
    QTest::newRow("another program moved them too") << true;
}

void TestInspectionEditFancy::folderSavesMovedMarksAndEmptiesTheTree()
{
    QFETCH(bool, changedMeanwhile);
    InspectionEditFancy editor;
    const QString path = makeSubject(root + "/Иванов.qmz");
    int kept = openAndMoveMark(editor, path);
    QVERIFY(kept >= 0);
    const QString name = announced->tests[0].name;
    if (changedMeanwhile) {
        Inspection other;
        QCOMPARE(other.load(path), StoreResult::Ok);
        QCOMPARE(other.loadRecording(&other.tests[0]), StoreResult::Ok);
        kept = other.tests[0].labels[0].TickQStart += 3;
        QCOMPARE(other.saveRecordingHeader(&other.tests[0]), StoreResult::Ok);
    }

    QSignalSpy changes(&editor, &InspectionEditFancy::notifyChangePersone);
    MessageBoxAnswerer answers({QMessageBox::Ok});
    editor.onChangedPersone2(root, root, nullptr);
    // A refusal names the test whose marks were not saved.
    QCOMPARE(answers.asked().size(), changedMeanwhile ? 1 : 0);
    if (changedMeanwhile)
        QVERIFY(answers.asked()[0].contains(QStringLiteral("Не сохранено: отметки теста «%1»").arg(name)));
    // A refused subject is shown as the file holds it before it is left.
    QCOMPARE(changes.size(), changedMeanwhile ? 2 : 1);
    QCOMPARE(changes.last()[0].toString(), QString());
    QCOMPARE(changes.last()[1].value<Inspection *>(), nullptr);
    QVERIFY(!editor.treeView()->model());
    QVERIFY(editor.inspection().path.isEmpty() && editor.inspection().tests.isEmpty());

    Inspection reread;
    reread.load(path);
    reread.loadRecording(&reread.tests[0], true);
    QCOMPARE(reread.tests[0].labels[0].TickQStart, kept);
}

// The questionnaire dialog writes the subject the editor holds, read anew
// (as after a polygram's deletion) with marks moved since: the program's own
// write refuses nothing, and leaving the subject saves the marks.
void TestInspectionEditFancy::movedMarksOutliveTheQuestionnaireSave()
{
    InspectionEditFancy editor;
    const QString path = makeSubject(root + "/Иванов.qmz");
    const QString other = makeSubject(root + "/Петров.qmz");
    const int moved = openAndMoveMark(editor, path);
    QVERIFY(moved >= 0);
    QCOMPARE(announced->reread(), StoreResult::Ok);

    MessageBoxAnswerer answers({QMessageBox::Ok});
    PersonePropertyDlg dialog(&editor, path);
    dialog.findChild<QTextEdit *>(QStringLiteral("Comments"))->setPlainText(QStringLiteral("Примечание"));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    // As the subjects dock announces the saved questionnaire, then another subject is chosen.
    editor.onChangedPersone2(path, path, nullptr);
    editor.onChangedPersone2(other, other, nullptr);
    QVERIFY2(answers.asked().isEmpty(), qPrintable(answers.asked().join(QLatin1Char('\n'))));
    Inspection back;
    QVERIFY(back.load(path) == StoreResult::Ok && back.loadRecording(&back.tests[0], true) == StoreResult::Ok);
    QCOMPARE(back.tests[0].labels[0].TickQStart, moved);
}

void TestInspectionEditFancy::movedMarksWhoseFileIsGoneHoldTheSubject_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::newRow("kept open") << QMessageBox::Cancel;
    QTest::newRow("closed by the examiner") << QMessageBox::Close;
}

// Another program moved the subject file away while marks were moved: leaving
// says the file is gone, and the marks stay in memory only with their subject.
void TestInspectionEditFancy::movedMarksWhoseFileIsGoneHoldTheSubject()
{
    QFETCH(QMessageBox::StandardButton, answer);
    InspectionEditFancy editor;
    const QString path = makeSubject(root + "/Иванов.qmz");
    const QString other = makeSubject(root + "/Петров.qmz");
    QVERIFY(openAndMoveMark(editor, path) >= 0);
    QVERIFY(QDir().mkpath(root + "/moved") && QFile::rename(path, root + "/moved/Иванов.qmz"));

    MessageBoxAnswerer answers({answer});
    editor.onChangedPersone2(other, other, nullptr);
    QCOMPARE(answers.asked().size(), 1);
    QVERIFY(answers.asked()[0].contains(QStringLiteral("не найден")));
    const bool kept = answer == QMessageBox::Cancel;
    QCOMPARE(editor.inspection().path, kept ? path : other);
    QCOMPARE(kept && editor.inspection().tests[0].labelsModified, kept);
}

// A recording whose save failed keeps its subject open while its file is
// held; once the file is free, leaving the subject saves it without a word.
void TestInspectionEditFancy::pendingRecordingHoldsItsSubjectUntilSaved()
{
    InspectionEditFancy editor;
    const QString path = makeSubject(root + "/Иванов.qmz");
    const QString other = makeSubject(root + "/Петров.qmz");
    open(editor, path);
    QVERIFY(announced);
    Inspection::_Test &test = announced->tests[0];
    QCOMPARE(announced->loadRecording(&test), StoreResult::Ok);
    QCOMPARE(announced->deleteTestData(test.id), StoreResult::Ok);
    announced->setRecordingPending(test.id, true);
    test.labelsModified = true;
    const QString rowId = test.rowId();
    {
        LockHolder holder(path, "BEGIN EXCLUSIVE");
        MessageBoxAnswerer answers({QMessageBox::Cancel});
        open(editor, other);
        QCOMPARE(answers.asked().size(), 1);
        QVERIFY(answers.asked()[0].contains("занят другой программой"));
        QCOMPARE(editor.inspection().path, path);
    }
    QCOMPARE(storedKinds(path, rowId), QStringLiteral("1"));
    MessageBoxAnswerer none;
    open(editor, other);
    QCOMPARE(none.asked().size(), 0);
    QCOMPARE(editor.inspection().path, other);
    QCOMPARE(storedKinds(path, rowId), QStringLiteral("1,2"));
}

void TestInspectionEditFancy::heldSubjectIsToldBusyAndShowsNoList()
{
    InspectionEditFancy editor;
    const QString path = makeSubject(root + "/Иванов.qmz");
    {
        LockHolder holder(path, "BEGIN EXCLUSIVE");
        MessageBoxAnswerer answers({QMessageBox::Cancel});
        open(editor, path);
        QCOMPARE(answers.asked().size(), 1);
        QVERIFY(answers.asked()[0].contains("Файл обследуемого занят другой программой"));
        QVERIFY(!editor.treeView()->model());
        QVERIFY(editor.inspection().tests.isEmpty());
    }
    Inspection stored;
    QCOMPARE(stored.load(path), StoreResult::Ok);
    open(editor, path);
    QVERIFY(editor.treeView()->model());
    QCOMPARE(editor.inspection().tests.size(), stored.tests.size());
}

void TestInspectionEditFancy::renameMovesExactlyTheSubjectsRecordings()
{
    for (const QString &base : {QStringLiteral("Ivan"), QStringLiteral("1"), QStringLiteral("Иван [1]*")}) {
        QDir(root).removeRecursively();
        QDir().mkpath(root);
        InspectionEditFancy editor;
        const QString oldPath = makeSubject(root + "/" + base + ".qmz");
        const QString media = root + "/__1__/";
        const QStringList own = {base + ".01022024101010.avi", base + ".01022024101011.AVI", base + ".01022024101012.aac"};
        const QStringList others = {base + ".Petrov.01022024101010.avi", base + "x.01022024101010.avi",
                                    "Другой.01022024101010.avi", base + ".0102202410101.avi"};
        for (const QString &name : own + others)
            touch(media + name);
        open(editor, oldPath);
        const Inspection::_Test recorded = announced->tests[0];
        touch(InspectionMedia::testVideoPath(*announced, recorded));
        QCOMPARE(announced->loadRecording(&announced->tests[0]), StoreResult::Ok);
        announced->tests[0].labels[0].TickAEnd += 3;
        announced->tests[0].labelsModified = true;
        const int moved = announced->tests[0].labels[0].TickAEnd;

        // Renamed and moved into a subfolder, as the subjects dock reports it.
        QDir().mkpath(root + "/Отдел");
        const QString newPath = root + "/Отдел/Пётр.qmz";
        QVERIFY(QFile::rename(oldPath, newPath));
        editor.onChangedPersone2(oldPath, newPath, nullptr);

        QCOMPARE(editor.inspection().path, newPath);
        QStringList movedNames = {"Пётр.01022024101010.avi", "Пётр.01022024101011.AVI", "Пётр.01022024101012.aac",
                                  QFileInfo(InspectionMedia::testVideoPath(editor.inspection(), recorded)).fileName()};
        movedNames.sort();
        QCOMPARE(filesIn(root + "/Отдел/__1__"), movedNames);
        QStringList left = others;
        left.sort();
        QCOMPARE(filesIn(media), left);
        QVERIFY(!QFileInfo::exists(oldPath));

        Inspection reread;
        reread.load(newPath);
        reread.loadRecording(reread.test(reread.indexOfTest(recorded.id)), true);
        QCOMPARE(reread.test(reread.indexOfTest(recorded.id))->labels[0].TickAEnd, moved);

        // The same file again renames nothing.
        editor.onChangedPersone2(newPath, newPath, nullptr);
        QCOMPARE(filesIn(root + "/Отдел/__1__"), movedNames);
    }
}

void TestInspectionEditFancy::testVideosFollowTheirIdentifier()
{
    InspectionEditFancy editor;
    const QString oldPath = root + "/Сидоров.qmz";
    {
        Inspection inspection(oldPath);
        inspection.tests = {Inspection::_Test(QStringLiteral("Первый")), Inspection::_Test(QStringLiteral("Второй"))};
        saveTests(inspection);
    }
    open(editor, oldPath);
    // The second test is recorded after loading; a reload puts it first.
    Inspection::_Test &second = announced->tests[1];
    QCOMPARE(second.name, QStringLiteral("Второй"));
    const Inspection::_Test sample = recordedTest(QStringLiteral("x"), 20);
    second.dataGSR = sample.dataGSR;
    QCOMPARE(announced->saveRecording(&second), StoreResult::Ok);
    const QUuid secondId = second.id;
    touch(InspectionMedia::testVideoPath(*announced, second));

    const QString newPath = root + "/Сидоров А.qmz";
    QVERIFY(QFile::rename(oldPath, newPath));
    editor.onChangedPersone2(oldPath, newPath, nullptr);
    QCOMPARE(editor.inspection().indexOfTest(secondId), 0);
    const QString expected = InspectionMedia::testVideoPath(editor.inspection(), editor.inspection().tests[0]);
    QCOMPARE(filesIn(root + "/__1__"), QStringList{QFileInfo(expected).fileName()});
}

void TestInspectionEditFancy::failedRenameIsReported()
{
    InspectionEditFancy editor;
    const QString oldPath = makeSubject(root + "/A.qmz");
    touch(root + "/__1__/A.01022024101010.avi");
    touch(root + "/__1__/B.01022024101010.avi");  // in the way
    touch(root + "/__1__/A.01022024101011.aac");
    open(editor, oldPath);
    QVERIFY(QFile::rename(oldPath, root + "/B.qmz"));
    MessageBoxAnswerer answers({QMessageBox::Ok});
    editor.onChangedPersone2(oldPath, root + "/B.qmz", nullptr);
    QCOMPARE(answers.asked().size(), 1);
    QVERIFY2(answers.asked()[0].contains(root + "/__1__/A.01022024101010.avi"), qPrintable(answers.asked()[0]));
    QCOMPARE(filesIn(root + "/__1__"),
             (QStringList{"A.01022024101010.avi", "B.01022024101010.avi", "B.01022024101011.aac"}));
    QCOMPARE(editor.inspection().path, root + "/B.qmz");
}

void TestInspectionEditFancy::doubleClicksAskForRecordOrView()
{
    InspectionEditFancy editor;
    open(editor, makeSubject(root + "/Иванов.qmz"));
    QSignalSpy views(&editor, &InspectionEditFancy::notifyDefViewPoligramme);
    QSignalSpy records(&editor, &InspectionEditFancy::notifyDefRecordPoligramme);
    const QModelIndex recorded = testItem(editor, "Запись");
    const QModelIndex fresh = testItem(editor, "Пустой");
    editor.onDoubleClick(recorded);
    editor.onDoubleClick(fresh);
    QCOMPARE(views.size(), 1);
    QCOMPARE(views[0][0].toInt(), recorded.data(Qt::UserRole + 1).toInt());
    QCOMPARE(records.size(), 1);
    QCOMPARE(records[0][0].toInt(), fresh.data(Qt::UserRole + 1).toInt());
}

void TestInspectionEditFancy::setTogglesAndSettings()
{
    {
        InspectionEditFancy editor;
        QSignalSpy sets(&editor, &InspectionEditFancy::notifyChangeRusUsaQuests);
        QAction *rus = actionOf(&editor, "Включить российскую систему вопросов");
        QAction *usa = actionOf(&editor, "Включить международную систему вопросов");
        QVERIFY(rus->isChecked() && !usa->isChecked());  // the defaults
        QToolBar *bar = editor.findChild<QToolBar *>();
        const QList<QAction *> items = bar->actions();
        const int nullAt = items.indexOf(actionOf(&editor, "Добавить НУЛЕВОЙ вопрос"));
        QAction *separator = items[nullAt + 4];
        QVERIFY(separator->isSeparator());
        QCOMPARE(items[nullAt + 5], actionOf(&editor, "Добавить вводный вопрос (P)"));

        // Each book shows the root of every set switched on.
        auto *questions = editor.findChild<SpravQuestionsDockWindow *>("SpravQuestionsDockWindow");
        auto *methodics = editor.findChild<SpravMethodicsDockWindow *>("SpravMethodicsDockWindow");
        const auto roots = [&] { return QVector<int>{questions->model()->rowCount(), methodics->model()->rowCount()}; };
        QCOMPARE(roots(), (QVector<int>{1, 1}));
        usa->trigger();
        QCOMPARE(sets.last(), (QVariantList{true, true}));
        QCOMPARE(roots(), (QVector<int>{2, 2}));
        QVERIFY(separator->isVisible() && items[nullAt + 5]->isVisible() && items[nullAt]->isVisible());
        rus->trigger();
        QCOMPARE(sets.last(), (QVariantList{false, true}));
        QVERIFY(!separator->isVisible() && !items[nullAt]->isVisible() && items[nullAt + 5]->isVisible());
        usa->trigger();
        QCOMPARE(sets.last(), (QVariantList{false, false}));
        QCOMPARE(roots(), (QVector<int>{0, 0}));
        for (QAction *action : bar->actions()) {
            if (action->text().startsWith("Добавить") && action->text() != "Добавить тест"
                && action->text() != "Добавить предъявление")
                QVERIFY(!action->isVisible());
        }
        usa->trigger();
    }
    GenericSettings settings;
    settings.load();
    QVERIFY(!settings.bShowQuestionsRUS);
    QVERIFY(settings.bShowQuestionsUSA);
    InspectionEditFancy again;
    QVERIFY(!actionOf(&again, "Включить российскую систему вопросов")->isChecked());
    QVERIFY(actionOf(&again, "Включить международную систему вопросов")->isChecked());
}

void TestInspectionEditFancy::docksArePlacedAndRestored()
{
    const QStringList names = {"PersoneDockWindow",        "PersoneLinkDockWindow",    "PersoneSearchDockWindow",
                               "SpravQuestionsDockWindow", "SpravMethodicsDockWindow", "PreTestCanversationDockWindow"};
    {
        InspectionEditFancy editor;
        editor.show();
        for (const QString &name : names) {
            auto *dock = editor.findChild<QDockWidget *>(name);
            QVERIFY2(dock, qPrintable(name));
            QCOMPARE(editor.dockWidgetArea(dock), Qt::RightDockWidgetArea);
        }
        auto *subjects = editor.findChild<QDockWidget *>("PersoneDockWindow");
        auto *preTest = editor.findChild<QDockWidget *>("PreTestCanversationDockWindow");
        for (const char *name : {"PersoneSearchDockWindow", "SpravQuestionsDockWindow", "SpravMethodicsDockWindow"})
            QVERIFY(editor.tabifiedDockWidgets(subjects).contains(editor.findChild<QDockWidget *>(name)));
        QVERIFY(editor.tabifiedDockWidgets(preTest).contains(editor.findChild<QDockWidget *>("PersoneLinkDockWindow")));
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QStringList shown;
        for (const QTabBar *bar : editor.findChildren<QTabBar *>()) {
            if (bar->count())
                shown << bar->tabText(bar->currentIndex());
        }
        shown.sort();
        QCOMPARE(shown, (QStringList{"Обследуемые", "Предтестовая беседа"}));
        preTest->hide();
        auto settings = SettingsStore::open();
        settings->setValue("InspectionEditFancy_v3/layout_data", editor.saveState(0));
    }
    InspectionEditFancy again;
    again.show();
    QVERIFY(!again.findChild<QDockWidget *>("PreTestCanversationDockWindow")->isVisible());
    QVERIFY(again.findChild<QDockWidget *>("PersoneDockWindow")->isVisible());
}

void TestInspectionEditFancy::exportReadsBack()
{
    InspectionEditFancy editor;
    open(editor, makeSubject(root + "/Иванов.qmz"));
    UrlCatcher catcher;
    actionOf(&editor, "Выгрузить в MS Excel")->trigger();
    QCOMPARE(catcher.urls.size(), 1);
    QProcess reader;
    reader.start(QStringLiteral(VUG_PYTHON), {QStringLiteral(VUG_XLSX_READER), catcher.urls[0].toLocalFile()});
    QVERIFY(reader.waitForFinished(30000));
    QCOMPARE(reader.exitCode(), 0);
    const QJsonObject cells = QJsonDocument::fromJson(reader.readAllStandardOutput()).object()["cells"].toObject();
    QStringList texts;
    for (const QJsonValue &cell : cells)
        texts << cell.toObject()["value"].toVariant().toString();
    QVERIFY2(texts.join('|').contains("Пустой"), qPrintable(texts.join('|')));
    QVERIFY(texts.join('|').contains("Ваше имя?"));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

VUG_TEST_MAIN(TestInspectionEditFancy, QApplication)
#include "tst_inspectioneditfancy.moc"
