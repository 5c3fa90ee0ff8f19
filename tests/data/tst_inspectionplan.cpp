#include "data/Inspection.h"
#include "tests/data/PlanFixtures.h"
#include "tests/support/TestHome.h"

#include <QRandomGenerator>

using PlanFixtures::addGroups;

namespace {

// The plan as (Theme, Group) pairs, for compact comparisons.
QVector<QPair<int, int>> planOf(const Inspection::_Test &test)
{
    QVector<QPair<int, int>> plan;
    for (const Inspection::_Order &entry : test.orders)
        plan.append({entry.Theme, entry.Group});
    return plan;
}

}  // namespace

class TestInspectionPlan : public QObject
{
    Q_OBJECT
private slots:
    void kindTable_data();
    void kindTable();
    void firstQuestionCreatesPlan();
    void ordinaryQuestionJoinsEveryGroup();
    void nullQuestionsStayFirst();
    void positionsAreKeptInsideTheirSegment();
    void headOnlyPlanIsLeftAlone();
    void mixedSequencesKeepPlanWhole();
    void internationalNumbers();
    void renumberingNeverLeavesDuplicates();
    void damagedIndexesGiveEmptyQuestion();
    void planCheckFindsEveryDamage_data();
    void planCheckFindsEveryDamage();
    void lookups();
};

void TestInspectionPlan::kindTable_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("subType");
    const int rows[][3] = {{0, 0, 0},       {1, 1, 1},       {2, 2, 2},         {101, 10000, 101},
                           {102, 0, 102},   {103, 1, 103},   {104, 2, 104},     {105, 1, 105},
                           {106, 1, 106},   {107, 1, 107},   {10000, 10000, 10000}, {5, 5, -1},
                           {-3, -3, -1},    {100, 100, -1},  {108, 108, -1}};
    for (const auto &row : rows)
        QTest::addRow("kind %d", row[0]) << row[0] << row[1] << row[2];
}

void TestInspectionPlan::kindTable()
{
    QFETCH(int, kind);
    QFETCH(int, type);
    QFETCH(int, subType);
    const Inspection::_Theme theme(QStringLiteral("?"), kind);
    QCOMPARE(int(theme.Type), type);
    QCOMPARE(int(theme.SubType), subType);
    QCOMPARE(int(theme.Answer), -1);
    QCOMPARE(int(theme.Number), 0);
    QCOMPARE(theme.State, 0);
}

void TestInspectionPlan::firstQuestionCreatesPlan()
{
    Inspection::_Test ordinary;
    ordinary.addTheme(QStringLiteral("a"), QuestionKind::Test, 1, -1);
    QCOMPARE(planOf(ordinary), (QVector<QPair<int, int>>{{-1, -1}, {-1, 1}, {0, 1}}));

    Inspection::_Test null;
    null.addTheme(QStringLiteral("n"), QuestionKind::Null, 1, -1);
    QCOMPARE(null.themisNULL.size(), 1);
    QVERIFY(null.themis.isEmpty());
    QCOMPARE(planOf(null), (QVector<QPair<int, int>>{{-1, -1}, {-1, 1}, {10000, 1}}));
}

void TestInspectionPlan::ordinaryQuestionJoinsEveryGroup()
{
    Inspection::_Test test;
    test.addTheme(QStringLiteral("q0"), 0, 1, -1);
    addGroups(test, 2);
    test.addTheme(QStringLiteral("q1"), 1, 1, -1);
    test.addTheme(QStringLiteral("q2"), 2, 1, -1);
    QCOMPARE(planOf(test), (QVector<QPair<int, int>>{
                               {-1, -1}, {-1, 1}, {0, 1}, {1, 1}, {2, 1}, {-1, 2}, {0, 2}, {1, 2}, {2, 2}}));

    test.addTheme(QStringLiteral("q3"), 2, 1, -1);
    QCOMPARE(test.orders[5].Theme, qint16(3));  // end of group 1
    QCOMPARE(test.orders.last().Theme, qint16(3));  // end of group 2

    test.addTheme(QStringLiteral("q4"), 2, 2, 0);
    QCOMPARE(test.orders[6].Theme, qint16(4));  // last in group 1
    QCOMPARE(test.orders[7].Theme, qint16(-1));
    QCOMPARE(test.orders[8].Theme, qint16(4));  // first in group 2
    QCOMPARE(test.planFault(), QString());
}

void TestInspectionPlan::nullQuestionsStayFirst()
{
    Inspection::_Test test;
    test.addTheme(QStringLiteral("q0"), 0, 1, -1);
    test.addTheme(QStringLiteral("q1"), 1, 1, -1);
    test.addTheme(QStringLiteral("n0"), QuestionKind::Null, 1, -1);
    test.addTheme(QStringLiteral("n1"), QuestionKind::IntP, 1, -1);
    QCOMPARE(planOf(test), (QVector<QPair<int, int>>{
                               {-1, -1}, {-1, 1}, {10000, 1}, {10001, 1}, {0, 1}, {1, 1}}));
}

void TestInspectionPlan::positionsAreKeptInsideTheirSegment()
{
    Inspection::_Test test;
    test.addTheme(QStringLiteral("n0"), QuestionKind::Null, 1, -1);
    test.addTheme(QStringLiteral("q0"), 0, 1, -1);
    // An ordinary question asked for position 0 still comes after the null entries.
    test.addTheme(QStringLiteral("q1"), 0, 1, 0);
    QCOMPARE(planOf(test), (QVector<QPair<int, int>>{{-1, -1}, {-1, 1}, {10000, 1}, {1, 1}, {0, 1}}));
    // A null question asked for the last position still comes before the ordinary ones.
    test.addTheme(QStringLiteral("n1"), QuestionKind::Null, 1, 99);
    QCOMPARE(planOf(test), (QVector<QPair<int, int>>{
                               {-1, -1}, {-1, 1}, {10000, 1}, {10001, 1}, {1, 1}, {0, 1}}));
    // A position beyond the group's end appends to the group.
    test.addTheme(QStringLiteral("q2"), 0, 1, 50);
    QCOMPARE(test.orders.last().Theme, qint16(2));
    QCOMPARE(test.planFault(), QString());
}

void TestInspectionPlan::headOnlyPlanIsLeftAlone()
{
    Inspection::_Test test;
    test.orders.append({0, -1, -1});
    test.addTheme(QStringLiteral("q"), 2, 1, -1);
    QCOMPARE(test.themis.size(), 1);
    QCOMPARE(test.orders.size(), 1);
}

void TestInspectionPlan::mixedSequencesKeepPlanWhole()
{
    const int kinds[] = {0, 1, 2, 101, 102, 103, 104, 105, 106, 107, 10000};
    QRandomGenerator random(20261208);
    for (int round = 0; round < 200; ++round) {
        Inspection::_Test test;
        const int groups = 1 + random.bounded(4);
        test.addTheme(QStringLiteral("first"), kinds[random.bounded(11)], 1, -1);
        addGroups(test, groups);
        QCOMPARE(test.planFault(), QString());
        const int additions = 1 + random.bounded(12);
        for (int n = 0; n < additions; ++n) {
            const int kind = kinds[random.bounded(11)];
            const int group = 1 + random.bounded(groups + 1);
            const int position = random.bounded(-1, 8);
            test.addTheme(QString::number(n), kind, group, position);
            const QString fault = test.planFault();
            if (!fault.isEmpty())
                QFAIL(qPrintable(QStringLiteral("round %1, addition %2: %3").arg(round).arg(n).arg(fault)));
        }
    }
}

void TestInspectionPlan::internationalNumbers()
{
    Inspection::_Test test;
    test.addTheme(QStringLiteral("r1"), 104, 1, -1);
    test.addTheme(QStringLiteral("r2"), 104, 1, -1);
    test.addTheme(QStringLiteral("c1"), 103, 1, -1);
    QCOMPARE(int(test.themis[0].Number), 1);
    QCOMPARE(int(test.themis[1].Number), 2);
    QCOMPARE(int(test.themis[2].Number), 1);
    // Kind 101 joins the null list and counts that list.
    test.addTheme(QStringLiteral("p1"), 101, 1, -1);
    test.addTheme(QStringLiteral("p2"), 101, 1, -1);
    QCOMPARE(int(test.themisNULL[0].Number), 1);
    QCOMPARE(int(test.themisNULL[1].Number), 2);

    test.themis.removeFirst();
    test.renumberThemes(104);
    QCOMPARE(int(test.themis[0].Number), 1);
    test.themisNULL.removeFirst();
    test.renumberAllThemes();
    QCOMPARE(int(test.themisNULL[0].Number), 1);
}

void TestInspectionPlan::renumberingNeverLeavesDuplicates()
{
    Inspection::_Test test;
    for (int number : {3, 3, 1, 7, 3}) {
        Inspection::_Theme theme(QStringLiteral("x"), 105);
        theme.Number = qint16(number);
        test.themis.append(theme);
    }
    test.themis.append(Inspection::_Theme(QStringLiteral("other"), 2));
    test.renumberThemes(105);
    QVector<int> numbers;
    for (int i = 0; i < 5; ++i)
        numbers.append(test.themis[i].Number);
    // Ordered by the old number; equal numbers keep their list order.
    QCOMPARE(numbers, (QVector<int>{2, 3, 1, 5, 4}));
    QCOMPARE(int(test.themis[5].Number), 0);
}

void TestInspectionPlan::damagedIndexesGiveEmptyQuestion()
{
    Inspection::_Test test;
    test.addTheme(QStringLiteral("q"), 2, 1, -1);
    test.addTheme(QStringLiteral("n"), QuestionKind::Null, 1, -1);
    QCOMPARE(test.theme(0).Theme, QStringLiteral("q"));
    QCOMPARE(test.theme(10000).Theme, QStringLiteral("n"));
    for (int index : {-1, 1, 9999, 10001, 32767}) {
        Inspection::_Theme &empty = test.theme(index);
        QCOMPARE(int(empty.Type), -1);
        QVERIFY(empty.Theme.isEmpty());
        empty.Type = 2;  // a caller's write does not survive to the next look-up
        empty.Theme = QStringLiteral("changed");
    }
    QCOMPARE(int(test.theme(5).Type), -1);
    QVERIFY(test.theme(5).Theme.isEmpty());
}

void TestInspectionPlan::lookups()
{
    Inspection::_Test test;
    QCOMPARE(test.lastGroup(), 0);
    test.addTheme(QStringLiteral("neutral"), 0, 1, -1);
    test.addTheme(QStringLiteral("test"), 2, 1, -1);
    test.addTheme(QStringLiteral("test2"), 2, 1, -1);
    test.themis[1].PhotoImage4 = "png";
    test.addTheme(QStringLiteral("null"), QuestionKind::Null, 1, -1);
    test.themisNULL[0].ShowQuestToSecondMonitor = true;
    QCOMPARE(test.lastGroup(), 1);
    QCOMPARE(test.indexOfThemeType(2), 1);
    QCOMPARE(test.indexOfThemeType(1), -1);
    QCOMPARE(test.countThemesOfType(2), 2);
    QCOMPARE(test.countThemesOfType(10000), 0);  // null questions are not counted
    QCOMPARE(test.countThemesOfSubType(0), 1);
    QCOMPARE(test.countPictureThemes(), 2);

    // Plan: head, header, 10000, 0, 1, 2
    QCOMPARE(test.indexOfOrder(1, 0), 2);
    QCOMPARE(test.orderTheme(1, 1)->Theme, qint16(0));
    QVERIFY(!test.orderTheme(1, 4));
    QCOMPARE(test.indexOfOrder(2, 0), -1);
    QVERIFY(test.findOrder(1, 2));
    QVERIFY(!test.findOrder(2, 2));

    Inspection::_Order *second = test.swapOrderThemes(1, 0, 2);
    QVERIFY(second);
    QCOMPARE(second->Theme, qint16(0));
    QCOMPARE(test.orders[3].Theme, qint16(2));
    QVERIFY(!test.swapOrderThemes(1, 0, 7));
    QCOMPARE(test.orders[3].Theme, qint16(2));  // unchanged when one side is missing

    test.addNeutralTheme(QStringLiteral("a"));
    test.addControlTheme(QStringLiteral("b"));
    test.addNullTheme(QStringLiteral("c"));
    QCOMPARE(int(test.themis.last().Type), 1);
    QCOMPARE(int(test.themisNULL.last().Type), -1);
    QCOMPARE(test.orders.size(), 6);  // shortcuts leave the plan alone
}

// Two null and two regular questions in two presentations; each row damages it once.
void TestInspectionPlan::planCheckFindsEveryDamage_data()
{
    using Plan = QVector<QPair<int, int>>;
    QTest::addColumn<Plan>("plan");
    QTest::addColumn<bool>("sound");
    const Plan good = {{-1, -1}, {-1, 1}, {10000, 1}, {10001, 1}, {1, 1}, {0, 1},
                       {-1, 2}, {10001, 2}, {10000, 2}, {0, 2}, {1, 2}};
    QTest::newRow("sound") << good << true;
    QTest::newRow("empty") << Plan() << true;
    QTest::newRow("head only") << Plan{{-1, -1}} << true;
    QTest::newRow("empty presentations") << Plan{{-1, -1}, {-1, 1}, {-1, 2}} << false;
    Plan most = {{-1, -1}};
    for (int g = 1; g <= 99; ++g)
        most += Plan{{-1, g}, {10000, g}, {10001, g}, {0, g}, {1, g}};
    QTest::newRow("99 presentations") << most << true;
    Plan tooMany = most + Plan{{-1, 100}, {10000, 100}, {10001, 100}, {0, 100}, {1, 100}};
    QTest::newRow("100 presentations") << tooMany << false;
    Plan noHead = good;
    noHead.removeFirst();
    QTest::newRow("no head") << noHead << false;
    Plan missing = good;
    missing[5].first = 2;
    QTest::newRow("missing question") << missing << false;
    Plan missingNull = good;
    missingNull[3].first = 10002;
    QTest::newRow("missing null question") << missingNull << false;
    Plan twice = good;
    twice[5].first = 1;
    QTest::newRow("question twice") << twice << false;
    Plan short1 = good;
    short1.remove(5);
    QTest::newRow("question left out") << short1 << false;
    Plan shortLast = good;
    shortLast.removeLast();
    QTest::newRow("last presentation short") << shortLast << false;
    Plan nullLate = good;
    std::swap(nullLate[8], nullLate[9]);
    QTest::newRow("null after regular") << nullLate << false;
    Plan gap = good;
    for (int i = 6; i < gap.size(); ++i)
        gap[i].second = 3;
    QTest::newRow("numbering gap") << gap << false;
    Plan huge = good;
    for (int i = 6; i < huge.size(); ++i)
        huge[i].second = 30000;
    QTest::newRow("enormous number") << huge << false;
    Plan zero = good;
    for (int i = 1; i < 6; ++i)
        zero[i].second = 0;
    QTest::newRow("presentation 0") << zero << false;
    Plan stray = good;
    stray[9].second = 1;
    QTest::newRow("entry of another presentation") << stray << false;
    Plan secondHead = good;
    secondHead.insert(6, {-1, -1});
    QTest::newRow("second head") << secondHead << false;
}

void TestInspectionPlan::planCheckFindsEveryDamage()
{
    using Plan = QVector<QPair<int, int>>;
    QFETCH(Plan, plan);
    QFETCH(bool, sound);
    Inspection::_Test test;
    test.themisNULL = {Inspection::_Theme(QStringLiteral("n0"), 10000), Inspection::_Theme(QStringLiteral("n1"), 10000)};
    test.themis = {Inspection::_Theme(QStringLiteral("q0"), 0), Inspection::_Theme(QStringLiteral("q1"), 2)};
    for (const auto &entry : plan)
        test.orders.append({0, qint16(entry.first), qint16(entry.second)});
    QCOMPARE(test.planFault().isEmpty(), sound);
}

VUG_TEST_MAIN(TestInspectionPlan, QCoreApplication)
#include "tst_inspectionplan.moc"
