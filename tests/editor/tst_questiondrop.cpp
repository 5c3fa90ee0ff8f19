#include "data/Inspection.h"
#include "editor/QuestionDrop.h"
#include "tests/data/PlanFixtures.h"
#include "tests/support/TestHome.h"

#include <QCoreApplication>

using PlanFixtures::groupOrder;

namespace {

// Two null questions and four regular ones (0 П, 1 Н, 2 R1, 3 R2) in two presentations.
Inspection::_Test twoPresentations()
{
    Inspection::_Test test(QStringLiteral("Тест"));
    test.addTheme(QStringLiteral("q0"), QuestionKind::Test, 1, -1);
    test.addTheme(QStringLiteral("q1"), QuestionKind::Neutral, 1, -1);
    test.addTheme(QStringLiteral("r1"), QuestionKind::IntR, 1, -1);
    test.addTheme(QStringLiteral("r2"), QuestionKind::IntR, 1, -1);
    test.addTheme(QStringLiteral("n0"), QuestionKind::Null, 1, -1);
    test.addTheme(QStringLiteral("n1"), QuestionKind::Null, 1, -1);
    PlanFixtures::addGroups(test, 2);
    return test;
}

enum Source { Elsewhere, TreeSameColumn, TreeOtherColumn };

}  // namespace

class TestQuestionDrop : public QObject
{
    Q_OBJECT
private slots:
    void edges();
    void decisions_data();
    void decisions();
    void overwriteFromElsewhere();
    void overwriteFromTheTree();
    void moveStaysInItsPresentation();
    void moveStaysInItsBlock();
    void insertAtTheEdges();
    void questionWithoutKindTakesTheTargetsKind();
    void singleLine();
};

void TestQuestionDrop::edges()
{
    // Row from y 0 to 19: middle 9, the middle band 7..11.
    QCOMPARE(QuestionDrop::edgeAt(6, 0, 19), QuestionDrop::Above);
    QCOMPARE(QuestionDrop::edgeAt(7, 0, 19), QuestionDrop::Middle);
    QCOMPARE(QuestionDrop::edgeAt(11, 0, 19), QuestionDrop::Middle);
    QCOMPARE(QuestionDrop::edgeAt(12, 0, 19), QuestionDrop::Below);
}

void TestQuestionDrop::decisions_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("targetType");
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("y");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<bool>("move");
    QTest::addColumn<int>("edge");
    const int A = QuestionDrop::Above, M = QuestionDrop::Middle, B = QuestionDrop::Below;
    struct Row {
        int kind, targetType, source, y;
        bool accepted, move;
        int edge;
    };
    const Row rows[] = {
        // kinds against targets
        {-1, 2, Elsewhere, 9, false, false, M},
        {-1, 0, TreeSameColumn, 2, false, false, M},
        {-1, 10000, Elsewhere, 9, true, false, M},
        {-1, 10000, Elsewhere, 2, true, false, A},
        {0, 10000, Elsewhere, 9, false, false, M},
        {10000, 10000, TreeSameColumn, 2, false, false, M},
        {101, 10000, Elsewhere, 9, false, false, M},
        {10000, 2, Elsewhere, 2, true, false, A},
        {101, 1, Elsewhere, 17, true, false, B},
        // from elsewhere: copies, inserting at the edges
        {2, 2, Elsewhere, 2, true, false, A},
        {104, 1, Elsewhere, 9, true, false, M},
        {0, 2, Elsewhere, 17, true, false, B},
        // from the same test and column of the tree: moves at the edges
        {2, 0, TreeSameColumn, 2, true, true, A},
        {104, 2, TreeSameColumn, 9, true, false, M},
        {1, 1, TreeSameColumn, 17, true, true, B},
        // from another test or column: always the middle
        {2, 0, TreeOtherColumn, 2, true, false, M},
        {0, 2, TreeOtherColumn, 17, true, false, M},
        {-1, 10000, TreeOtherColumn, 2, true, false, M},
        {-1, 2, TreeOtherColumn, 9, false, false, M},
    };
    for (const Row &row : rows) {
        QTest::addRow("kind %d on %d, source %d, y %d", row.kind, row.targetType, row.source, row.y)
            << row.kind << row.targetType << row.source << row.y << row.accepted << row.move << row.edge;
    }
}

void TestQuestionDrop::decisions()
{
    QFETCH(int, kind);
    QFETCH(int, targetType);
    QFETCH(int, source);
    QFETCH(int, y);
    QFETCH(bool, accepted);
    QFETCH(bool, move);
    QFETCH(int, edge);
    const QuestionDrop::Decision decision
        = QuestionDrop::decide(kind, targetType, source != Elsewhere, source == TreeSameColumn, y, 0, 19);
    QCOMPARE(decision.accepted, accepted);
    if (!accepted)
        return;
    QCOMPARE(decision.move, move);
    QCOMPARE(int(decision.edge), edge);
}

void TestQuestionDrop::overwriteFromElsewhere()
{
    Inspection::_Test test = twoPresentations();
    // A neutral question becomes the third R: kind, sub-kind and number.
    QuestionDrop(test, 2, 3, 1).overwrite({104, QStringLiteral("new R")}, false);
    QCOMPARE(test.themis[1].Theme, QStringLiteral("new R"));
    QCOMPARE(int(test.themis[1].Type), 2);
    QCOMPARE(int(test.themis[1].SubType), 104);
    QCOMPARE(int(test.themis[1].Number), 3);

    // No kind: only the text changes.
    QuestionDrop(test, 1, 2, 0).overwrite({-1, QStringLiteral("text only")}, false);
    QCOMPARE(test.themis[0].Theme, QStringLiteral("text only"));
    QCOMPARE(int(test.themis[0].Type), 2);
    QCOMPARE(int(test.themis[0].SubType), 2);
    QCOMPARE(test.planFault(), QString());
}

void TestQuestionDrop::overwriteFromTheTree()
{
    Inspection::_Test test = twoPresentations();
    // R1 becomes a control question: the remaining R is numbered 1 again.
    QuestionDrop(test, 1, 4, 2).overwrite({1, QStringLiteral("control")}, true);
    QCOMPARE(int(test.themis[2].Type), 1);
    QCOMPARE(int(test.themis[2].SubType), 1);
    QCOMPARE(int(test.themis[3].Number), 1);

    // The same kind keeps the number.
    QuestionDrop(test, 1, 5, 3).overwrite({104, QStringLiteral("same")}, true);
    QCOMPARE(test.themis[3].Theme, QStringLiteral("same"));
    QCOMPARE(int(test.themis[3].Number), 1);
}

void TestQuestionDrop::moveStaysInItsPresentation()
{
    Inspection::_Test test = twoPresentations();
    const QVector<int> second = groupOrder(test, 2);
    // Row 5 dropped above row 2: it comes to row 2 and the others move down.
    QuestionDrop(test, 1, 2, 0).move(5, QuestionDrop::Above);
    QCOMPARE(groupOrder(test, 1), (QVector<int>{10000, 10001, 3, 0, 1, 2}));
    // Row 2 dropped above row 5 (below the source) lands at row 4.
    QuestionDrop(test, 1, 5, 2).move(2, QuestionDrop::Above);
    QCOMPARE(groupOrder(test, 1), (QVector<int>{10000, 10001, 0, 1, 3, 2}));
    // Row 4 dropped below row 2 (above the source) lands at row 3.
    QuestionDrop(test, 1, 2, 0).move(4, QuestionDrop::Below);
    QCOMPARE(groupOrder(test, 1), (QVector<int>{10000, 10001, 0, 3, 1, 2}));
    QCOMPARE(groupOrder(test, 2), second);
    QCOMPARE(test.planFault(), QString());
}

void TestQuestionDrop::moveStaysInItsBlock()
{
    Inspection::_Test test = twoPresentations();
    // A null question dropped below the last regular one stays the last null question.
    QuestionDrop(test, 1, 5, 3).move(0, QuestionDrop::Below);
    QCOMPARE(groupOrder(test, 1), (QVector<int>{10001, 10000, 0, 1, 2, 3}));
    // A regular question dropped above the first null one becomes the first regular one.
    QuestionDrop(test, 1, 0, 10001).move(4, QuestionDrop::Above);
    QCOMPARE(groupOrder(test, 1), (QVector<int>{10001, 10000, 2, 0, 1, 3}));
    QCOMPARE(test.planFault(), QString());
}

void TestQuestionDrop::insertAtTheEdges()
{
    Inspection::_Test test = twoPresentations();
    QuestionDrop(test, 2, 2, 0).insert({2, QStringLiteral("above")}, QuestionDrop::Above);
    QCOMPARE(test.themis.size(), 5);
    QCOMPARE(groupOrder(test, 2), (QVector<int>{10000, 10001, 4, 0, 1, 2, 3}));
    QCOMPARE(groupOrder(test, 1), (QVector<int>{10000, 10001, 0, 1, 2, 3, 4}));

    QuestionDrop(test, 2, 2, 4).insert({104, QStringLiteral("below")}, QuestionDrop::Below);
    QCOMPARE(groupOrder(test, 2), (QVector<int>{10000, 10001, 4, 5, 0, 1, 2, 3}));
    QCOMPARE(int(test.themis[5].SubType), 104);
    QCOMPARE(int(test.themis[5].Number), 3);
    QCOMPARE(test.planFault(), QString());
}

void TestQuestionDrop::questionWithoutKindTakesTheTargetsKind()
{
    Inspection::_Test test = twoPresentations();
    QuestionDrop(test, 1, 1, 10001).insert({-1, QStringLiteral("no kind")}, QuestionDrop::Above);
    QCOMPARE(test.themisNULL.size(), 3);
    QCOMPARE(int(test.themisNULL[2].Type), QuestionKind::Null);
    QCOMPARE(groupOrder(test, 1), (QVector<int>{10000, 10002, 10001, 0, 1, 2, 3}));
    QCOMPARE(groupOrder(test, 2), (QVector<int>{10000, 10001, 10002, 0, 1, 2, 3}));
    QCOMPARE(test.planFault(), QString());
}

void TestQuestionDrop::singleLine()
{
    QCOMPARE(QuestionDrop::singleLine(QStringLiteral("a\nb\tc\rd e")), QStringLiteral("abcd e"));
}

VUG_TEST_MAIN(TestQuestionDrop, QCoreApplication)
#include "tst_questiondrop.moc"
