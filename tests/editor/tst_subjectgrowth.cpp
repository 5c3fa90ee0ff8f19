#include "data/GenericSettings.h"
#include "data/SpravDB.h"
#include "data/SubjectBounds.h"
#include "editor/InspectionEditFancy.h"
#include "editor/InspectionTreeView.h"
#include "editor/MimeFormats.h"
#include "subjects/SubjectClipboard.h"
#include "tests/subjects/SubjectFixtures.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace {

// A subject file of that many tests, the first with that many questions, null
// questions and presentations; made once for all rows that use it.
QString subjectOf(int tests, int questions, int nullQuestions, int presentations)
{
    const QString path = QString("%1/%2 %3 %4 %5.qmz").arg(QDir::homePath()).arg(tests).arg(questions)
                             .arg(nullQuestions).arg(presentations);
    if (QFileInfo::exists(path))
        return path;
    Inspection subject(path);
    subject.tests.resize(tests);
    subject.tests[0].themis.fill(Inspection::_Theme("в", QuestionKind::Neutral), questions);
    subject.tests[0].themisNULL.fill(Inspection::_Theme("н", QuestionKind::Null), nullQuestions);
    for (int g = 0; g < presentations; ++g)
        subject.tests[0].addPresentation();
    subject.saveNewTestStructs(subject.tests);
    return path;
}

// What the row's bound limits.
int measure(const QString &bound, const QVector<Inspection::_Test> &tests)
{
    const Inspection::_Test &first = tests[0];
    return bound == "tests" ? tests.size() : bound == "questions" ? first.themis.size()
                                         : bound == "null"      ? first.themisNULL.size()
                                                                : first.orders.size();
}

void dropOn(QWidget *viewport, const QPoint &point, const QMimeData *mime)
{
    QDragEnterEvent enter(point, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QDragMoveEvent move(point, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(point, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    for (QEvent *event : std::initializer_list<QEvent *>{&enter, &move, &drop})
        QApplication::sendEvent(viewport, event);
}

}  // namespace

// Every path that adds tests, questions or presentations to a subject stops
// where its load stops reading: at the bound the change is made, one past it
// nothing is written or changed and the examiner is told.
class TestSubjectGrowth : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void addingStopsAtTheBound_data();
    void addingStopsAtTheBound();
    void recordsCountOverEveryTest();

private:
    void add(const QString &path);

    std::unique_ptr<InspectionEditFancy> editor;
    // A subject dock of its own: the editor's would announce its choices.
    std::unique_ptr<PersoneDockWindow> subjects;
    QString root;
};

void TestSubjectGrowth::initTestCase()
{
    GenericSettings settings;
    settings.load();
    root = QFileInfo(settings.sRootFolder).absoluteFilePath();
    QVERIFY(QDir().mkpath(root));
    SpravDB::sPathFileSprav = QDir::homePath() + "/svorkel.sqmz";
    editor = std::make_unique<InspectionEditFancy>();
    editor->resize(1200, 800);
    editor->show();
    QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
    subjects = std::make_unique<PersoneDockWindow>();
    subjects->initModel();
}

void TestSubjectGrowth::addingStopsAtTheBound_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("bound");
    QTest::addColumn<bool>("past");
    const QStringList paths{"subject dock paste:tests", "add test:tests",        "paste test:tests",
                            "drop test:tests",          "add question:questions", "drop question:questions",
                            "add null question:null",   "add presentation:plan"};
    for (const QString &each : paths) {
        for (const bool past : {false, true})
            QTest::newRow(qPrintable(each.section(':', 0, 0) + (past ? ", one past" : ", at the bound")))
                << each.section(':', 0, 0) << each.section(':', 1) << past;
    }
}

void TestSubjectGrowth::addingStopsAtTheBound()
{
    QFETCH(QString, path);
    QFETCH(QString, bound);
    QFETCH(bool, past);
    const int most = InspectionStore::kMaxQuestions;
    const int limit = bound == "tests"  ? InspectionStore::kMaxTests
                      : bound == "plan" ? InspectionStore::kMaxPlanEntries
                                        : most;
    // One test, question or presentation more lands on the bound or one past
    // it; a presentation of q questions adds q + 1 to the plan's entries.
    const QString made = bound == "tests"       ? subjectOf(path.contains("dock") ? 5 : limit - 1 + past, 0, 0, 0)
                         : bound == "questions" ? subjectOf(1, most - 1 + past, 0, 1)
                         : bound == "null"      ? subjectOf(1, 0, most - 1 + past, 1)
                         : past                 ? subjectOf(1, 4095, 0, 15)   // 1 + 16 * 4096 entries
                                                : subjectOf(1, 4368, 0, 14);  // 1 + 15 * 4369
    if (path.contains("dock"))
        QApplication::clipboard()->setMimeData(SubjectClipboard::mimeOf(subjectOf(limit - 5 + past, 0, 0, 0)));
    const QString file = root + "/Обследуемый.qmz";
    QFile::remove(file);
    QVERIFY(QFile::copy(made, file));
    editor->onChangedPersone2(file, file, nullptr);
    if (path.contains("dock"))
        subjects->treeView()->setCurrentIndex(SubjectFixtures::treeIndex(*subjects, file));
    const QByteArray before = StoreFixtures::fileBytes(file);
    const int held = measure(bound, editor->inspection().tests);

    MessageBoxAnswerer answers;
    if (past)
        answers.enqueue(QMessageBox::Ok);
    add(path);
    QCOMPARE(answers.unexpected(), 0);
    if (past) {
        QCOMPARE(answers.asked().size(), 1);
        QVERIFY2(answers.asked()[0].contains(QString("не более %1 ").arg(limit)), qPrintable(answers.asked()[0]));
        QCOMPARE(StoreFixtures::fileBytes(file), before);
        QCOMPARE(measure(bound, editor->inspection().tests), held);
    } else {
        Inspection reread;
        QCOMPARE(reread.load(file), StoreResult::Ok);
        QCOMPARE(measure(bound, reread.tests), limit);
    }
}

void TestSubjectGrowth::add(const QString &path)
{
    InspectionTreeView *tree = editor->treeView();
    const QModelIndex test = tree->model()->index(0, 0);
    tree->setCurrentIndex(test);
    // Only the first test shows, so that there is room below it to drop a test.
    for (int row = 1; row < tree->model()->rowCount(); ++row)
        tree->setRowHidden(row, QModelIndex(), true);
    tree->expand(test);
    const QRect firstQuestion = tree->visualRect(tree->model()->index(0, 0, test));
    const std::unique_ptr<QMimeData> question(MimeFormats::questionsDockDrag(QuestionKind::Neutral, "б", 1));
    const std::unique_ptr<QMimeData> dropped(MimeFormats::treeTestDrag(Inspection::_Test("Брошенный")));
    if (path == "subject dock paste")
        subjects->onActionInspectionPaste();
    else if (path == "add test")
        editor->action_AddTest();
    else if (path == "paste test") {
        QApplication::clipboard()->setMimeData(MimeFormats::editorTestCopy(Inspection::_Test("Вставка")));
        editor->action_Paste();
    } else if (path == "drop test")
        dropOn(tree->viewport(), tree->visualRect(test).bottomLeft() + QPoint(5, 40), dropped.get());
    else if (path == "drop question")  // above the first question: a new one
        dropOn(tree->viewport(), firstQuestion.topLeft() + QPoint(5, 1), question.get());
    else if (path == "add question")
        editor->action_AddQuestN();
    else if (path == "add null question")
        editor->action_AddQuest0();
    else
        editor->action_AddGroup();
}

// The questions and plan entries of all tests together are bounded as well.
void TestSubjectGrowth::recordsCountOverEveryTest()
{
    QVector<Inspection::_Test> held(InspectionStore::kMaxRecords / InspectionStore::kMaxPlanEntries);
    for (Inspection::_Test &test : held)
        test.orders.resize(InspectionStore::kMaxPlanEntries);
    Inspection::_Test more;
    QCOMPARE(SubjectBounds::excessOf(held, {more}), SubjectBounds::Excess::None);
    more.themisNULL.resize(1);
    QCOMPARE(SubjectBounds::excessOf(held, {more}), SubjectBounds::Excess::Records);
}

VUG_TEST_MAIN(TestSubjectGrowth, QApplication)
#include "tst_subjectgrowth.moc"
