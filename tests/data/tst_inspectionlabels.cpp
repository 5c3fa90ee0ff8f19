#include "data/Inspection.h"
#include "tests/support/TestHome.h"

namespace {

Inspection::_Label mark(int group, int theme, int qStart, int qEnd)
{
    return {qint16(group), qint16(theme), qStart, qEnd, qEnd, qEnd + 10};
}

// A test of three ordinary questions in two groups with the plan the editor makes.
Inspection::_Test threeQuestionTest(double intervalSeconds)
{
    Inspection::_Test test;
    for (int q = 0; q < 3; ++q)
        test.addTheme(QString::number(q), 2, 1, -1);
    test.orders.append({0, -1, 2});
    for (int q = 0; q < 3; ++q)
        test.orders.append({0, qint16(q), 2});
    test.ia.nIALength = intervalSeconds;
    return test;
}

}  // namespace

class TestInspectionLabels : public QObject
{
    Q_OBJECT
private slots:
    void marksJoinTheirList();
    void latestMarkPrefersLaterEnd();
    void latestMarkOnEqualEnds();
    void emptyListsHaveNoLatestMark();
    void markInForceAtTick();
    void labelInForceCopies();
    void findAndFollow();
    void presentationPace();
    void nextOrderIndexSameGroup();
    void nextOrderIndexByTime();
    void marksAppendedOutOfOrder();
};

void TestInspectionLabels::marksJoinTheirList()
{
    Inspection::_Test test;
    test.appendLabel(mark(1, 10003, 0, 10));
    QCOMPARE(test.labelCount(), 0);
    QCOMPARE(test.labelNullCount(), 1);
    test.appendLabel(mark(1, 9999, 0, 10));
    QCOMPARE(test.labelCount(), 1);
}

void TestInspectionLabels::latestMarkPrefersLaterEnd()
{
    Inspection::_Test test;
    test.appendLabel(mark(1, 0, 300, 400));      // A
    test.appendLabel(mark(1, 10000, 200, 380));  // B
    QCOMPARE(test.labelBefore(-1), &test.labels.last());
    test.removeLastLabel();
    QCOMPARE(test.labelCount(), 0);
    QCOMPARE(test.labelNullCount(), 1);
    QCOMPARE(test.labelBefore(-1), &test.labelsNULL.last());
    test.removeLastLabel();
    QCOMPARE(test.labelNullCount(), 0);
}

void TestInspectionLabels::latestMarkOnEqualEnds()
{
    // Both lists end at the same tick: the later start wins, else the ordinary mark,
    // so the last mark can always be removed.
    Inspection::_Test test;
    test.appendLabel(mark(1, 10000, 100, 400));
    test.appendLabel(mark(1, 0, 200, 400));
    QCOMPARE(test.labelBefore(-1), &test.labels.last());
    test.labels.last().TickQStart = 50;
    QCOMPARE(test.labelBefore(-1), &test.labelsNULL.last());
    test.labels.last().TickQStart = 100;
    QCOMPARE(test.labelBefore(-1), &test.labels.last());
    for (int i = 0; i < 2; ++i)
        test.removeLastLabel();
    QCOMPARE(test.labelCount() + test.labelNullCount(), 0);
}

void TestInspectionLabels::emptyListsHaveNoLatestMark()
{
    Inspection::_Test test;
    QVERIFY(!test.labelBefore(-1));
    test.removeLastLabel();
    QVERIFY(test.canFinishRecording(0));
    QCOMPARE(test.labelInForce(-1).TickQEnd, 0);
}

void TestInspectionLabels::markInForceAtTick()
{
    Inspection::_Test test;
    test.appendLabel(mark(1, 10000, 10, 50));
    test.appendLabel(mark(1, 0, 60, 90));
    test.appendLabel(mark(1, 1, 100, 150));
    QVERIFY(!test.labelBefore(10));  // nothing started before tick 10
    QCOMPARE(test.labelBefore(11), &test.labelsNULL[0]);
    QCOMPARE(test.labelBefore(61), &test.labels[0]);
    QCOMPARE(test.labelBefore(1000), &test.labels[1]);
    // Equal question ends at a tick: the null mark.
    test.labelsNULL[0].TickQEnd = 90;
    QCOMPARE(test.labelBefore(70), &test.labelsNULL[0]);
}

void TestInspectionLabels::labelInForceCopies()
{
    Inspection::_Test test;
    QCOMPARE(test.labelInForce(100).Theme, qint16(0));
    test.appendLabel(mark(1, 10000, 10, 50));
    QCOMPARE(test.labelInForce(100).Theme, qint16(10000));
    test.appendLabel(mark(1, 2, 60, 90));
    QCOMPARE(test.labelInForce(100).Theme, qint16(2));
    QCOMPARE(test.labelInForce(-1).Theme, qint16(2));
    // An ordinary mark ending at 0 does not beat the zeroed stand-in.
    Inspection::_Test zero;
    zero.appendLabel(mark(1, 3, 0, 0));
    QCOMPARE(zero.labelInForce(5).Theme, qint16(0));
    QCOMPARE(zero.labelBefore(5)->Theme, qint16(3));
}

void TestInspectionLabels::findAndFollow()
{
    Inspection::_Test test;
    test.appendLabel(mark(1, 0, 0, 10));
    test.appendLabel(mark(2, 10000, 15, 18));
    test.appendLabel(mark(2, 1, 20, 30));
    test.appendLabel(mark(2, 2, 40, 50));
    QCOMPARE(test.findLabel(2, -1), &test.labels[1]);  // never the null mark of group 2
    QCOMPARE(test.findLabel(2, 10000), &test.labelsNULL[0]);
    QVERIFY(!test.findLabel(3, -1));
    QCOMPARE(test.labelAfter(1, 0), &test.labels[1]);
    QVERIFY(!test.labelAfter(2, 2));
    QVERIFY(!test.labelAfter(5, 5));
}

void TestInspectionLabels::presentationPace()
{
    Inspection::_Test test = threeQuestionTest(5.9);
    test.appendLabel(mark(1, 0, 100, 200));
    test.appendLabel(mark(1, 1, 300, 400));
    QVERIFY(!test.isPresentationDone(5000));  // a presentation is under way
    QVERIFY(!test.canFinishRecording(5000));
    test.appendLabel(mark(1, 2, 900, 1000));
    QVERIFY(!test.isPresentationDone(1099));
    QVERIFY(test.isPresentationDone(1100));
    QVERIFY(test.canFinishRecording(1100));
    QVERIFY(test.isPresentationDone(50));  // no mark in force yet
    test.appendLabel(mark(2, 0, 1200, 1300));
    QVERIFY(!test.isPresentationDone(100000));

    Inspection::_Test noQuestions;
    noQuestions.appendLabel(mark(1, 0, 0, 10));
    QVERIFY(!noQuestions.isPresentationDone(1000));
}

void TestInspectionLabels::nextOrderIndexSameGroup()
{
    Inspection::_Test test = threeQuestionTest(1);
    // Plan: head, header 1, q0, q1, q2, header 2, q0, q1, q2
    QCOMPARE(test.nextOrderIndex(1, 0, true), 2);  // nothing marked: the first entry
    test.appendLabel(mark(1, 0, 0, 10));
    QCOMPARE(test.nextOrderIndex(1, 0, true), 3);
    test.appendLabel(mark(1, 1, 20, 30));
    test.appendLabel(mark(1, 2, 40, 50));
    QCOMPARE(test.nextOrderIndex(1, 2, true), 6);  // group done: first unmarked of the plan
    for (int q = 0; q < 3; ++q)
        test.appendLabel(mark(2, q, 60 + 20 * q, 70 + 20 * q));
    QCOMPARE(test.nextOrderIndex(2, 2, true), -1);
}

void TestInspectionLabels::nextOrderIndexByTime()
{
    Inspection::_Test test = threeQuestionTest(1);
    test.appendLabel(mark(1, 0, 0, 10));
    test.appendLabel(mark(1, 2, 20, 30));
    QCOMPARE(test.nextOrderIndex(1, 0, false), 4);  // the entry marked after (1, 0)
    QCOMPARE(test.nextOrderIndex(1, 2, false), 2);  // nothing later: the plan's first entry
    QCOMPARE(test.nextOrderIndex(7, 7, false), 2);
    Inspection::_Test empty;
    QCOMPARE(empty.nextOrderIndex(1, 0, false), -1);
}

void TestInspectionLabels::marksAppendedOutOfOrder()
{
    // A damaged or hand-edited recording: the later mark stands first in its list.
    Inspection::_Test test;
    test.appendLabel(mark(1, 0, 500, 600));
    test.appendLabel(mark(1, 1, 100, 200));
    test.appendLabel(mark(1, 10000, 300, 350));
    // At tick 400 the last started in list order is the second ordinary mark,
    // which ended at 200; the null mark ended later and is in force.
    QCOMPARE(test.labelBefore(400), &test.labelsNULL[0]);
    QCOMPARE(test.labelBefore(1000), &test.labelsNULL[0]);
    // The latest mark is still removable, and removing empties both lists in turn.
    for (int i = 0; i < 3; ++i) {
        QVERIFY(test.labelBefore(-1));
        test.removeLastLabel();
    }
    QCOMPARE(test.labelCount() + test.labelNullCount(), 0);
}

VUG_TEST_MAIN(TestInspectionLabels, QCoreApplication)
#include "tst_inspectionlabels.moc"
