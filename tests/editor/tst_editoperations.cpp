#include "app/services/SimpleTextDlg.h"
#include "data/FileChooser.h"
#include "data/GenericSettings.h"
#include "data/InspectionMedia.h"
#include "data/SettingsStore.h"
#include "data/SpravDB.h"
#include "editor/InspectionEditFancy.h"
#include "editor/InspectionTreeView.h"
#include "editor/MimeFormats.h"
#include "recording/media/RecorderFactory.h"
#include "subjects/PreTestCanversationDockWindow.h"
#include "tests/data/StoreFixtures.h"
#include "tests/support/FakeRecorder.h"
#include "tests/support/LockHolder.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/StoredKinds.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStandardPaths>

using namespace StoreFixtures;

Q_DECLARE_METATYPE(Inspection *)
Q_DECLARE_METATYPE(QMessageBox::StandardButton)

namespace {

using Plan = QVector<QPair<int, int>>;  // (Theme, Group) of each plan entry

Plan planOf(const Inspection::_Test &test)
{
    Plan plan;
    for (const Inspection::_Order &entry : test.orders)
        plan.append({entry.Theme, entry.Group});
    return plan;
}

// The test as a fresh reader finds it in the file.
Inspection::_Test stored(const QString &path, const QUuid &id)
{
    Inspection fresh;
    fresh.load(path);
    const int index = fresh.indexOfTest(id);
    return index < 0 ? Inspection::_Test() : fresh.tests[index];
}

QStringList texts(const QVector<Inspection::_Theme> &list)
{
    QStringList result;
    for (const Inspection::_Theme &each : list)
        result << each.Theme;
    return result;
}

QVector<int> numbers(const QVector<Inspection::_Theme> &list)
{
    QVector<int> result;
    for (const Inspection::_Theme &each : list)
        result << each.Number;
    return result;
}

// Runs action once the next modal dialog is up; gives up after a few seconds.
void whenDialogShows(std::function<void(QDialog *)> action)
{
    auto *timer = new QTimer;
    auto *tries = new int(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, action] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog && ++*tries < 500)
            return;
        timer->stop();
        timer->deleteLater();
        delete tries;
        if (dialog)
            action(dialog);
    });
    timer->start(10);
}

QString writeImage(const QString &path, const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    image.save(path, "PNG");
    return path;
}

}  // namespace

class TestEditOperations : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void presentationsAndQuestionsKeepThePlan();
    void questionKindsAreNumbered();
    void rebuildFollowsThePresentation();
    void pasteAndCopy();
    void undoAndRedo();
    void confirmationsDecide();
    void deleteRecordedData();
    void deletionsFindTheirTestAfterTheQuestion_data();
    void deletionsFindTheirTestAfterTheQuestion();
    void questionsThatDeleteDefaultToNo_data();
    void questionsThatDeleteDefaultToNo();
    void refusedRenameIsToldAndShownAsStored_data();
    void refusedRenameIsToldAndShownAsStored();
    void deletedTestsVideoGoesToTheTrash_data();
    void deletedTestsVideoGoesToTheTrash();
    void testListChangesAreAnnounced();
    void picturesAndFlags();
    void commentsAndTalk();

private:
    void open(const QString &path);
    Inspection::_Test &test(int index = 0) { return const_cast<Inspection &>(editor->inspection()).tests[index]; }
    QModelIndex testItem(int row) { return editor->treeView()->model()->index(row, 0); }
    QModelIndex cell(int testRow, int row, int column)
    {
        return editor->treeView()->model()->index(row, column, testItem(testRow));
    }
    void select(const QModelIndex &index) { editor->treeView()->setCurrentIndex(index); }
    QString newSubject(const QString &name, const QVector<Inspection::_Test> &tests);

    InspectionEditFancy *editor = nullptr;
    QString root;
    QString path;
    QList<QString> announcedPaths;
};

void TestEditOperations::init()
{
    qRegisterMetaType<Inspection *>();
    QFile::remove(SettingsStore::filePath());
    GenericSettings settings;
    settings.load();
    root = settings.sRootFolder;
    QDir(root).removeRecursively();
    QDir().mkpath(root);
    SpravDB::sPathFileSprav = root + "/svorkel.sqmz";
    QApplication::clipboard()->clear();
    editor = new InspectionEditFancy;
    announcedPaths.clear();
    connect(editor, &InspectionEditFancy::notifyChangePersone, this,
            [this](const QString &announced, Inspection *) { announcedPaths << announced; });
}

void TestEditOperations::cleanup()
{
    delete editor;
    editor = nullptr;
    FileChooser::setChooser(nullptr);
}

void TestEditOperations::open(const QString &file)
{
    path = file;
    editor->onChangedPersone2(file, file, nullptr);
}

QString TestEditOperations::newSubject(const QString &name, const QVector<Inspection::_Test> &tests)
{
    const QString file = root + "/" + name + ".qmz";
    Inspection inspection(file);
    inspection.tests = tests;
    saveTests(inspection);
    return file;
}

void TestEditOperations::presentationsAndQuestionsKeepThePlan()
{
    open(newSubject("План", {Inspection::_Test("Пустой")}));
    const QUuid id = test().id;
    select(testItem(0));
    editor->action_AddQuestN();
    QCOMPARE(planOf(test()), (Plan{{-1, -1}, {-1, 1}, {0, 1}}));
    QCOMPARE(editor->treeView()->currentIndex(), cell(0, 0, 0));
    editor->action_AddQuest0();
    QCOMPARE(editor->treeView()->currentIndex(), cell(0, 1, 0));
    editor->action_AddGroup();
    QCOMPARE(planOf(stored(path, id)), (Plan{{-1, -1}, {-1, 1}, {10000, 1}, {0, 1}, {-1, 2}, {10000, 2}, {0, 2}}));
    QCOMPARE(texts(stored(path, id).themis), QStringList{"Нейтральный вопрос"});
    QCOMPARE(texts(stored(path, id).themisNULL), QStringList{"Нулевой вопрос"});

    // Deleting presentation I: II becomes I.
    MessageBoxAnswerer yes({QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Yes});
    select(cell(0, 1, 0));
    editor->action_DeleteGroup();
    QCOMPARE(yes.asked().value(0), QString("Вы действительно хотите удалить группу 'I' ?"));
    QCOMPARE(planOf(stored(path, id)), (Plan{{-1, -1}, {-1, 1}, {10000, 1}, {0, 1}}));

    // Deleting the last regular question leaves the null one; the last question empties the plan.
    select(cell(0, 1, 0));
    editor->action_Delete();
    QCOMPARE(planOf(stored(path, id)), (Plan{{-1, -1}, {-1, 1}, {10000, 1}}));
    select(cell(0, 0, 0));
    editor->action_Delete();
    QVERIFY(stored(path, id).orders.isEmpty());
    QVERIFY(stored(path, id).themisNULL.isEmpty());

    // A presentation added to a test of null questions only gets no second head entry.
    select(testItem(0));
    editor->action_AddQuest0();
    editor->action_AddGroup();
    QCOMPARE(planOf(stored(path, id)), (Plan{{-1, -1}, {-1, 1}, {10000, 1}, {-1, 2}, {10000, 2}}));
    QVERIFY(stored(path, id).planFault().isEmpty());

    // Deleting the only presentation deletes the questions.
    editor->action_AddQuestC();
    select(cell(0, 0, 1));
    editor->action_DeleteGroup();
    select(cell(0, 0, 0));
    editor->action_DeleteGroup();
    QVERIFY(stored(path, id).orders.isEmpty());
    QVERIFY(stored(path, id).themis.isEmpty());
    QCOMPARE(yes.remaining(), 0);
    QCOMPARE(yes.unexpected(), 0);
}

void TestEditOperations::questionKindsAreNumbered()
{
    Inspection::_Test made("Виды");
    made.addTheme("R1", QuestionKind::IntR, -1, -1);
    made.addTheme("N", QuestionKind::Neutral, -1, -1);
    made.addTheme("P1", QuestionKind::IntP, -1, -1);
    made.addTheme("R2", QuestionKind::IntR, -1, -1);
    open(newSubject("Виды", {made}));
    const QUuid id = test().id;

    // N (question 1, row 2 after the null question) becomes R after the existing R.
    select(cell(0, 2, 0));
    QCOMPARE(editor->treeView()->currentIndex().data(Qt::UserRole + 1).toInt(), 1);
    editor->action_ChangeQuest_UsaR();
    Inspection::_Test saved = stored(path, id);
    QCOMPARE(saved.themis[1].Type, qint16(2));
    QCOMPARE(saved.themis[1].SubType, qint16(104));
    QCOMPARE(numbers(saved.themis), (QVector<int>{1, 3, 2}));

    // R2 changed to P stays a regular question, numbered after P1.
    select(cell(0, 3, 0));
    editor->action_ChangeQuest_UsaP();
    saved = stored(path, id);
    QCOMPARE(saved.themis.size(), 3);
    QCOMPARE(saved.themis[2].Type, qint16(10000));
    QCOMPARE(saved.themis[2].SubType, qint16(101));
    QCOMPARE(saved.themis[2].Number, qint16(2));
    QCOMPARE(numbers(saved.themis), (QVector<int>{1, 2, 2}));  // R1, R (was N), P

    // A new P joins the null questions after the P of both lists.
    select(testItem(0));
    editor->onAddQuest_USA_P();
    saved = stored(path, id);
    QCOMPARE(saved.themisNULL.size(), 2);
    QCOMPARE(saved.themisNULL[1].Theme, QString("Вводный вопрос"));
    QCOMPARE(saved.themisNULL[1].Number, qint16(3));

    // Deleting R1 leaves the other R numbered 1.
    MessageBoxAnswerer yes({QMessageBox::Yes});
    select(cell(0, 2, 0));
    QCOMPARE(editor->treeView()->currentIndex().data().toString(), QString("R1"));
    editor->action_Delete();
    saved = stored(path, id);
    QCOMPARE(texts(saved.themis), (QStringList{"N", "R2"}));
    QCOMPARE(saved.themis[0].Number, qint16(1));
    QVERIFY(saved.planFault().isEmpty());
}

void TestEditOperations::rebuildFollowsThePresentation()
{
    Inspection::_Test made("Порядок");
    for (const char *text : {"q0", "q1", "q2"})
        made.addTheme(text, QuestionKind::IntR, -1, -1);
    made.addTheme("null", QuestionKind::Null, -1, -1);
    made.orders = {{0, -1, -1}, {0, -1, 1}, {0, 10000, 1}, {0, 0, 1}, {0, 1, 1}, {0, 2, 1},
                   {0, -1, 2}, {0, 10000, 2}, {0, 2, 2}, {0, 0, 2}, {0, 1, 2}};
    open(newSubject("Порядок", {made}));
    const QUuid id = test().id;
    select(cell(0, 1, 1));
    editor->action_ReorderQuests();
    Inspection::_Test saved = stored(path, id);
    QCOMPARE(texts(saved.themis), (QStringList{"q2", "q0", "q1"}));
    QCOMPARE(numbers(saved.themis), (QVector<int>{1, 2, 3}));
    QCOMPARE(planOf(saved), (Plan{{-1, -1}, {-1, 1}, {10000, 1}, {1, 1}, {2, 1}, {0, 1},
                                  {-1, 2}, {10000, 2}, {0, 2}, {1, 2}, {2, 2}}));

    // A damaged plan: presentation II misses q1 (now at index 2). It keeps its question, after II's order.
    Inspection::_Test &live = test();
    live.orders = {{0, -1, -1}, {0, -1, 1}, {0, 10000, 1}, {0, 0, 1}, {0, 1, 1}, {0, 2, 1},
                   {0, -1, 2}, {0, 10000, 2}, {0, 1, 2}, {0, 0, 2}};
    select(cell(0, 0, 0));
    select(cell(0, 1, 1));
    editor->action_ReorderQuests();
    saved = stored(path, id);
    QCOMPARE(texts(saved.themis), (QStringList{"q0", "q2", "q1"}));
    QCOMPARE(planOf(saved), (Plan{{-1, -1}, {-1, 1}, {10000, 1}, {1, 1}, {0, 1}, {2, 1},
                                  {-1, 2}, {10000, 2}, {0, 2}, {1, 2}}));
}

void TestEditOperations::pasteAndCopy()
{
    Inspection::_Test made("Копия");
    for (const char *text : {"a", "b", "c", "d"})
        made.addTheme(text, QuestionKind::Neutral, -1, -1);
    open(newSubject("Копия", {made}));
    const QUuid id = test().id;

    QApplication::clipboard()->setText("one\r\ntwo\tx\nthree\n");
    select(cell(0, 2, 0));
    editor->action_Paste();
    QCOMPARE(texts(stored(path, id).themis), (QStringList{"a", "b", "one", "twox"}));

    // A question's text only; on a test item it pastes nothing.
    select(cell(0, 1, 0));
    editor->action_Copy();
    QCOMPARE(QApplication::clipboard()->text(), QString("b"));
    QVERIFY(!QApplication::clipboard()->mimeData()->hasFormat(MimeFormats::testClipboardFormat));
    select(testItem(0));
    editor->action_Paste();
    QCOMPARE(editor->inspection().tests.size(), 1);

    // A test: its format and its text; pasted as a new test of the file.
    editor->action_Copy();
    QCOMPARE(QApplication::clipboard()->text(), QString("Копия\na\nb\none\ntwox\n"));
    editor->action_Paste();
    QCOMPARE(editor->inspection().tests.size(), 2);
    Inspection fresh;
    fresh.load(path);
    QCOMPARE(fresh.tests.size(), 2);
    QVERIFY(fresh.tests[0].id != fresh.tests[1].id);
    QCOMPARE(texts(fresh.tests[1].themis), texts(fresh.tests[0].themis));
}

void TestEditOperations::undoAndRedo()
{
    Inspection::_Test made("Отмена");
    made.addTheme("a", QuestionKind::Neutral, -1, -1);
    open(newSubject("Отмена", {made}));
    const QUuid id = test().id;
    select(testItem(0));
    editor->onUndo();  // at the first state: nothing
    QCOMPARE(texts(stored(path, id).themis), QStringList{"a"});

    editor->action_AddQuestC();
    editor->action_AddQuestN();
    QCOMPARE(stored(path, id).themis.size(), 3);
    select(testItem(0));
    editor->onUndo();
    editor->onUndo();
    Inspection::_Test saved = stored(path, id);
    QCOMPARE(texts(saved.themis), QStringList{"a"});
    QCOMPARE(planOf(saved), (Plan{{-1, -1}, {-1, 1}, {0, 1}}));
    QCOMPARE(storedKinds(path, id.toString()), QString("1"));

    editor->onRedo();
    QCOMPARE(stored(path, id).themis.size(), 2);
    // A new edit drops the states above: no redo after it.
    select(testItem(0));
    editor->action_AddQuestP();
    QVERIFY(!editor->inspection().canRedo(&test()));
    editor->onRedo();
    QCOMPARE(texts(stored(path, id).themis), (QStringList{"a", "Контрольный вопрос", "Проверочный вопрос"}));
}

void TestEditOperations::confirmationsDecide()
{
    Inspection::_Test made("Удаление");
    made.addTheme("a", QuestionKind::Neutral, -1, -1);
    made.addTheme("b", QuestionKind::Neutral, -1, -1);
    made.addTheme("c", QuestionKind::Neutral, -1, 2);
    made.orders += {{0, -1, 2}, {0, 0, 2}, {0, 1, 2}, {0, 2, 2}};
    open(newSubject("Удаление", {made}));
    const QUuid id = test().id;

    MessageBoxAnswerer answers({QMessageBox::No, QMessageBox::No, QMessageBox::No, QMessageBox::Yes});
    select(cell(0, 0, 0));
    editor->action_Delete();
    editor->action_DeleteGroup();
    select(testItem(0));
    editor->action_Delete();
    QCOMPARE(answers.asked(), (QStringList{"Вы действительно хотите удалить вопрос 'a' ?",
                                           "Вы действительно хотите удалить группу 'I' ?",
                                           "Вы действительно хотите удалить тест 'Удаление' ?"}));
    QCOMPARE(stored(path, id).themis.size(), 3);
    QCOMPARE(stored(path, id).lastGroup(), 2);
    editor->action_Delete();
    QCOMPARE(answers.remaining(), 0);
    QCOMPARE(answers.unexpected(), 0);
    QCOMPARE(storedKinds(path, id.toString()), QString());
    QVERIFY(editor->inspection().tests.isEmpty());
    QCOMPARE(editor->treeView()->model()->rowCount(), 0);
}

void TestEditOperations::deletionsFindTheirTestAfterTheQuestion_data()
{
    QTest::addColumn<QString>("deed");
    QTest::newRow("question") << "question";
    QTest::newRow("presentation") << "presentation";
    QTest::newRow("polygram") << "polygram";
    QTest::newRow("test") << "test";
}

// The subject's tests move in memory while the question is open, as a read
// anew moves them: the deletion acts on the test as it is now.
void TestEditOperations::deletionsFindTheirTestAfterTheQuestion()
{
    QFETCH(QString, deed);
    Inspection::_Test made("Удаление");
    made.addTheme("a", QuestionKind::Neutral, -1, -1);
    made.addTheme("b", QuestionKind::Neutral, -1, 2);
    made.orders += {{0, -1, 2}, {0, 0, 2}, {0, 1, 2}};
    open(newSubject("Удаление", {deed == "polygram" ? recordedTest("Записанный", 40) : made}));
    const QUuid id = test().id;
    MessageBoxAnswerer answers({QMessageBox::Yes});
    answers.whileAsking = [this] {
        auto &inspection = const_cast<Inspection &>(editor->inspection());
        QVector<Inspection::_Test> moved = inspection.tests;
        moved.detach();
        inspection.tests = moved;
    };
    select(deed == "question" || deed == "presentation" ? cell(0, 0, 0) : testItem(0));
    if (deed == "presentation")
        editor->action_DeleteGroup();
    else if (deed == "polygram")
        editor->action_DeletePoligramme();
    else
        editor->action_Delete();
    QCOMPARE(answers.asked().size(), 1);
    if (deed == "test") {
        QVERIFY(editor->inspection().tests.isEmpty());
        QCOMPARE(storedKinds(path, id.toString()), QString());
        return;
    }
    const Inspection::_Test shown = editor->inspection().tests.value(editor->inspection().indexOfTest(id));
    const Inspection::_Test kept = stored(path, id);
    if (deed == "polygram")
        QVERIFY(!shown.recorded && !kept.recorded);
    else if (deed == "question")
        QVERIFY(shown.themis.size() == 1 && kept.themis.size() == 1);
    else
        QVERIFY(shown.lastGroup() == 1 && kept.lastGroup() == 1);
}

void TestEditOperations::questionsThatDeleteDefaultToNo_data()
{
    QTest::addColumn<bool>("polygram");
    QTest::newRow("polygram") << true;
    QTest::newRow("test") << false;
}

// A Return given to the wrong window keeps what is stored.
void TestEditOperations::questionsThatDeleteDefaultToNo()
{
    QFETCH(bool, polygram);
    open(newSubject("Запись", {polygram ? recordedTest("Записанный", 40) : Inspection::_Test("Второй")}));
    MessageBoxAnswerer answers({QMessageBox::No});
    select(testItem(0));
    polygram ? editor->action_DeletePoligramme() : editor->action_Delete();
    QVERIFY(answers.asked().value(0).startsWith(polygram ? "Вы действительно хотите удалить полиграмму для теста"
                                                         : "Вы действительно хотите удалить тест"));
    QCOMPARE(answers.defaults(), QList<QMessageBox::StandardButton>{QMessageBox::No});
}

void TestEditOperations::refusedRenameIsToldAndShownAsStored_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QString>("told");
    QTest::addColumn<QString>("shown");  // and stored, while the file is there
    QTest::newRow("busy, dropped") << "busy" << QMessageBox::Discard << "занят другой программой" << "Пустой";
    QTest::newRow("busy, retried") << "busy" << QMessageBox::Retry << "занят другой программой" << "Новый";
    QTest::newRow("changed by another") << "changed" << QMessageBox::Ok << "Тест «Пустой» изменён другой программой"
                                        << "Чужой";
    QTest::newRow("deleted") << "deleted" << QMessageBox::Cancel << "не найден: он переименован, перемещён или удалён"
                             << "Новый";
    // The subjects view saw the file go before the refusal was told: nothing left to close.
    QTest::newRow("deleted, subject left") << "deleted, left" << QMessageBox::Ok << "Иванов.qmz\n(файл не найден"
                                           << QString();
}

// A test renamed in the tree while another program holds, changes or removes
// the file: the refusal is told once, the tree shows what the file holds, or
// the edit kept in memory when the file is gone; no file is made anew.
void TestEditOperations::refusedRenameIsToldAndShownAsStored()
{
    QFETCH(QString, fault);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QString, told);
    QFETCH(QString, shown);
    open(newSubject("Иванов", {recordedTest("Запись", 40), Inspection::_Test("Пустой")}));
    editor->show();
    QVERIFY(QTest::qWaitForWindowExposed(editor));
    const int row = test(0).name == "Пустой" ? 0 : 1;
    const QUuid id = test(row).id;
    // Dropped while the lock still holds, the file cannot be read anew.
    QScopedPointer<LockHolder> lock(fault == "busy" ? new LockHolder(path, "BEGIN EXCLUSIVE") : nullptr);
    MessageBoxAnswerer answers({answer});
    if (answer == QMessageBox::Retry)
        answers.whileAsking = [&lock] { lock.reset(); };
    Inspection other;
    if (fault == "changed") {
        QCOMPARE(other.load(path), StoreResult::Ok);
        other.test(other.indexOfTest(id))->name = "Чужой";
        QCOMPARE(other.saveTestStruct(other.test(other.indexOfTest(id))), StoreResult::Ok);
    }
    const bool deleted = fault.startsWith("deleted");
    QVERIFY(!deleted || QFile::remove(path));

    select(testItem(row));
    editor->treeView()->edit(testItem(row));
    auto *line = editor->treeView()->findChild<QLineEdit *>();
    QVERIFY(line);
    line->setText("Новый");
    QTest::keyClick(line, Qt::Key_Return);
    const bool left = fault == "deleted, left";
    if (left)
        editor->onChangedPersone2(QString(), QString(), nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(answers.asked().size(), 1, 20000);
    QVERIFY2(answers.asked()[0].contains(told), qPrintable(answers.asked()[0]));
    if (!left) {
        QTRY_COMPARE_WITH_TIMEOUT(test(editor->inspection().indexOfTest(id)).name, shown, 20000);
        QCOMPARE(editor->inspection().tests.size(), 2);
    }
    lock.reset();
    QCOMPARE(answers.unexpected(), 0);
    QCOMPARE(QFileInfo::exists(path), !deleted);
    QCOMPARE(stored(path, id).name, deleted ? QString() : shown);
}

void TestEditOperations::deleteRecordedData()
{
    open(newSubject("Запись", {recordedTest("Записанный", 40), Inspection::_Test("Второй")}));
    const int row = editor->inspection().tests[0].recorded ? 0 : 1;
    const Inspection::_Test &recorded = test(row);
    const QUuid id = recorded.id;
    const QString video = InspectionMedia::testVideoPath(editor->inspection(), recorded);
    writeFile(video, "avi");
    QCOMPARE(storedKinds(path, id.toString()).split(',').size() > 1, true);

    MessageBoxAnswerer answers({QMessageBox::No, QMessageBox::Yes});
    select(testItem(row));
    const QString name = testItem(row).data().toString();
    editor->action_DeletePoligramme();
    QVERIFY(QFile::exists(video));
    QVERIFY(test(row).recorded);
    announcedPaths.clear();
    editor->action_DeletePoligramme();
    QCOMPARE(answers.asked().value(1), QString("Вы действительно хотите удалить полиграмму для теста '%1' ?").arg(name));
    QVERIFY(!QFile::exists(video));
    QCOMPARE(storedKinds(path, id.toString()), QString("1"));
    QCOMPARE(announcedPaths.join("|"), path);
    // Reloaded and re-sorted: every row shows its own test.
    const int index = editor->inspection().indexOfTest(id);
    QVERIFY(!editor->inspection().tests[index].recorded);
    for (int i = 0; i < editor->inspection().tests.size(); ++i) {
        const Inspection::_Test &each = editor->inspection().tests[testItem(i).data(Qt::UserRole + 1).toInt()];
        QCOMPARE(editor->treeView()->model()->rowCount(testItem(i)),
                 each.themis.size() + each.themisNULL.size());
    }
}

void TestEditOperations::deletedTestsVideoGoesToTheTrash_data()
{
    QTest::addColumn<bool>("trashAtHand");
    QTest::addColumn<bool>("changedMeanwhile");
    QTest::newRow("into the Trash") << true << false;
    // The test goes; its video stays where it was and is named.
    QTest::newRow("no Trash to be had") << false << false;
    // Refused as changed: the test and its video stay.
    QTest::newRow("another program changed the test") << true << true;
}

void TestEditOperations::deletedTestsVideoGoesToTheTrash()
{
    QFETCH(bool, trashAtHand);
    QFETCH(bool, changedMeanwhile);
    open(newSubject("Корзина", {Inspection::_Test("С видео")}));
    const QString video = InspectionMedia::testVideoPath(editor->inspection(), test());
    const QString id = test().id.toString();
    writeFile(video, "avi");
    const QString trash = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash";
    QDir(trash).removeRecursively();
    QFile::remove(trash);
    if (!trashAtHand)
        writeFile(trash, "not a folder");
    if (changedMeanwhile) {
        Inspection other;
        QCOMPARE(other.load(path), StoreResult::Ok);
        other.tests[0].name = "Переименован";
        QCOMPARE(other.saveTestStruct(&other.tests[0]), StoreResult::Ok);
    }

    MessageBoxAnswerer answers({QMessageBox::Yes, QMessageBox::Ok});
    select(testItem(0));
    editor->action_Delete();
    const bool deleted = !changedMeanwhile;
    QCOMPARE(answers.asked().size(), trashAtHand && deleted ? 1 : 2);
    if (changedMeanwhile)
        QVERIFY(answers.asked()[1].contains("изменён другой программой"));
    else if (!trashAtHand)
        QVERIFY(answers.asked()[1].contains(video));
    QCOMPARE(editor->inspection().tests.size(), deleted ? 0 : 1);
    QCOMPARE(storedKinds(path, id), deleted ? QString() : QString("1"));
    QCOMPARE(QFile::exists(video), !(trashAtHand && deleted));
    QCOMPARE(QFile::exists(trash + "/files/" + QFileInfo(video).fileName()), trashAtHand && deleted);
    QFile::remove(trash);
}

void TestEditOperations::testListChangesAreAnnounced()
{
    open(newSubject("Объявления", {Inspection::_Test("Один")}));
    // The speech recording of the subject runs on through its announcements.
    auto *preTest = editor->findChild<PreTestCanversationDockWindow *>();
    RecorderFactory::install([](int) { return std::unique_ptr<VideoRecorder>(new FakeRecorder); });
    preTest->onStartRecord();
    preTest->startRecordSpeech();
    QVERIFY(preTest->isRecordingSpeech());
    announcedPaths.clear();
    select(testItem(0));
    editor->action_AddQuestN();  // no change of the list: no announcement
    QVERIFY(announcedPaths.isEmpty());
    editor->action_AddTest();
    QCOMPARE(editor->inspection().tests.last().name, QString("Новый тест"));
    QCOMPARE(editor->treeView()->currentIndex(), testItem(1));
    QCOMPARE(announcedPaths.size(), 1);
    select(testItem(0));
    editor->action_Copy();
    select(QModelIndex());
    editor->action_Paste();
    QCOMPARE(announcedPaths.size(), 2);

    // A test dropped into the tree's empty space.
    QMimeData *drag = MimeFormats::treeTestDrag(test(0));
    InspectionTreeView *tree = editor->treeView();
    editor->resize(800, 600);
    editor->show();
    QVERIFY(QTest::qWaitForWindowExposed(editor));
    const QPoint below(20, tree->viewport()->height() - 5);
    QDragEnterEvent enter(below, Qt::CopyAction, drag, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &enter);
    QDropEvent drop(below, Qt::CopyAction, drag, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &drop);
    delete drag;
    QCOMPARE(editor->inspection().tests.size(), 4);
    QCOMPARE(announcedPaths.size(), 3);

    MessageBoxAnswerer yes({QMessageBox::Yes});
    select(testItem(3));
    editor->action_Delete();
    QCOMPARE(editor->inspection().tests.size(), 3);
    QCOMPARE(announcedPaths.size(), 4);
    QVERIFY(announcedPaths.count(path) == 4);
    QVERIFY(preTest->isRecordingSpeech());
    editor->onChangedPersone2(QString(), QString(), nullptr);  // another choice stops it
    QVERIFY(!preTest->isRecordingSpeech());
    RecorderFactory::install({});
}

void TestEditOperations::picturesAndFlags()
{
    Inspection::_Test made("Картинки");
    made.addTheme("a", QuestionKind::Neutral, -1, -1);
    open(newSubject("Картинки", {made}));
    const QUuid id = test().id;
    const QString picture = writeImage(root + "/picture.PNG", QSize(1280, 640));
    FileChooser::Request asked;
    FileChooser::setChooser([&](const FileChooser::Request &request) {
        asked = request;
        return picture;
    });
    select(cell(0, 0, 0));
    editor->action_AttachPhoto();
    QCOMPARE(asked.caption, QString("Выбор фотографии"));
    QVERIFY(asked.filter.contains("*.PNG") && asked.filter.contains("*.jpeg") && asked.filter.contains("*.tif "));
    const QByteArray stored4 = stored(path, id).themis[0].PhotoImage4;
    QVERIFY(stored4.startsWith("\xFF\xD8"));
    QCOMPARE(QImage::fromData(stored4, "JPG").size(), QSize(1280, 640));

    QSize shown;
    whenDialogShows([&](QDialog *dialog) {
        shown = dialog->findChild<QLabel *>()->pixmap(Qt::ReturnByValue).size();
        QCOMPARE(dialog->windowTitle(), QString("Воркел"));
        dialog->reject();
    });
    editor->action_ViewPhoto();
    QCOMPARE(shown, QSize(640, 320));

    // A file that is no picture is refused with a message; nothing is stored.
    writeFile(root + "/broken.jpg", "not a picture");
    FileChooser::setChooser([&](const FileChooser::Request &) { return root + "/broken.jpg"; });
    MessageBoxAnswerer ok({QMessageBox::Ok});
    editor->action_AttachPhoto();
    QCOMPARE(ok.asked().size(), 1);
    QCOMPARE(stored(path, id).themis[0].PhotoImage4, stored4);

    editor->action_DeletePhoto();
    QVERIFY(stored(path, id).themis[0].PhotoImage4.isEmpty());

    select(cell(0, 0, 0));
    editor->action_ShowQuestToSecontMonitor();
    QVERIFY(stored(path, id).themis[0].ShowQuestToSecondMonitor);
    select(testItem(0));
    editor->action_ShowAllQuestionsSecondMonitor();
    QVERIFY(stored(path, id).ShowAllQuestSecondMonitor);
    editor->action_ShowAllQuestionsSecondMonitor();
    QVERIFY(!stored(path, id).ShowAllQuestSecondMonitor);
}

void TestEditOperations::commentsAndTalk()
{
    Inspection::_Test made("Беседа");
    made.addTheme("a", QuestionKind::Neutral, -1, -1);
    made.addTheme("b", QuestionKind::Neutral, -1, -1);
    made.Comments = "старый";
    open(newSubject("Беседа", {made}));
    const QUuid id = test().id;

    select(testItem(0));
    QString shownText;
    whenDialogShows([&](QDialog *dialog) {
        auto *text = static_cast<SimpleTextDlg *>(dialog)->textEdit();
        shownText = text->toPlainText();
        text->setPlainText("новый\nкомментарий");
        dialog->accept();
    });
    editor->onTestComments();
    QCOMPARE(shownText, QString("старый"));
    QCOMPARE(stored(path, id).Comments, QString("новый\nкомментарий"));
    whenDialogShows([](QDialog *dialog) { dialog->reject(); });
    editor->onTestComments();
    QCOMPARE(stored(path, id).Comments, QString("новый\nкомментарий"));

    select(cell(0, 0, 0));
    editor->action_TestTalkYes();
    QCOMPARE(editor->treeView()->currentIndex(), cell(0, 1, 0));
    editor->action_TestTalkNo();
    QCOMPARE(editor->treeView()->currentIndex(), cell(0, 1, 0));
    const Inspection::_Test saved = stored(path, id);
    QCOMPARE(saved.themis[0].Answer, qint16(1));
    QCOMPARE(saved.themis[1].Answer, qint16(0));
}

VUG_TEST_MAIN(TestEditOperations, QApplication)
#include "tst_editoperations.moc"
