#include "polygram/ReviewScrollRules.h"
#include "tests/support/TestHome.h"

#include <QCoreApplication>

namespace {

Inspection::_Label mark(int group, int theme, int start, int end)
{
    Inspection::_Label label;
    label.Group = qint16(group);
    label.Theme = qint16(theme);
    label.TickQStart = start;
    label.TickQEnd = end;
    return label;
}

// Groups 1 to 4, each of three questions 100 ticks apart, groups 1000 ticks apart.
Inspection::_Test fourGroups()
{
    Inspection::_Test test;
    for (int group = 1; group <= 4; ++group)
        for (int q = 0; q < 3; ++q) {
            const int start = 1000 * group + 100 * q;
            test.appendLabel(mark(group, q, start, start + 40));
        }
    return test;
}

}  // namespace

class TestReviewScrollRules : public QObject
{
    Q_OBJECT
private slots:
    void scrollValuesAndRange();
    void pageStepMovesTheShownSpan_data();
    void pageStepMovesTheShownSpan();
    void fitSweepIndexByViewWidths_data();
    void fitSweepIndexByViewWidths();
    void groupSpanAddsTheAnalysisInterval();
    void currentGroupNeedsAMarkStrictlyInside();
    void stepAlignsFirstThenMoves();
    void stepStopsWhereNoGroupIs();
    void zoomEndTickCentresTheCursor();
};

void TestReviewScrollRules::scrollValuesAndRange()
{
    QCOMPARE(ReviewScrollRules::tickAt(600, 1500), 900);
    QCOMPARE(ReviewScrollRules::scrollValueOf(1000, 1750), 571);
    // 72000 ticks at sweep 4000 fill 18000 pixels; the view shows 800 - 20.
    QCOMPARE(ReviewScrollRules::horizontalMaximum(72000, 800, 20, 4000), 17220);
    QCOMPARE(ReviewScrollRules::horizontalMaximum(100, 800, 20, 1000), 0);
    // The left-edge tick stays, to a whole tick, through a change of sweep.
    QCOMPARE(ReviewScrollRules::keepLeftTick(601, 1000, 1750), 343);
    QCOMPARE(ReviewScrollRules::tickAt(343, 1750), 600);
}

void TestReviewScrollRules::pageStepMovesTheShownSpan_data()
{
    QTest::addColumn<int>("sweep");
    QTest::newRow("1000") << 1000;
    QTest::newRow("2500") << 2500;
    QTest::newRow("4000") << 4000;
}

void TestReviewScrollRules::pageStepMovesTheShownSpan()
{
    QFETCH(int, sweep);
    const int step = ReviewScrollRules::horizontalPageStep(1920, 20);
    const int from = 3000;
    const int moved = ReviewScrollRules::tickAt(from + step, sweep) - ReviewScrollRules::tickAt(from, sweep);
    const int shown = ReviewScrollRules::tickAt(from + 1900, sweep) - ReviewScrollRules::tickAt(from, sweep);
    QCOMPARE(moved, shown);
}

void TestReviewScrollRules::fitSweepIndexByViewWidths_data()
{
    QTest::addColumn<int>("span");
    QTest::addColumn<int>("index");
    QTest::newRow("under one width") << 799 << 0;
    QTest::newRow("one width") << 800 << 1;
    QTest::newRow("1.3 widths") << 1040 << 2;
    QTest::newRow("just under 3.75") << 2999 << 11;
    QTest::newRow("3.75 widths") << 3000 << 12;
    QTest::newRow("five widths") << 4000 << 12;
}

void TestReviewScrollRules::fitSweepIndexByViewWidths()
{
    QFETCH(int, span);
    QFETCH(int, index);
    QCOMPARE(ReviewScrollRules::fitSweepIndex(span, 800), index);
}

void TestReviewScrollRules::groupSpanAddsTheAnalysisInterval()
{
    Inspection::_Test test = fourGroups();
    test.ia.nIALength = 10.7;  // whole seconds count
    // Group 2 ends at 2240; its first question at 2040.
    QCOMPARE(ReviewScrollRules::groupSpan(test, test.labels[3]), 2240 + 200 - 2040);
}

void TestReviewScrollRules::currentGroupNeedsAMarkStrictlyInside()
{
    Inspection::_Test test = fourGroups();
    // Sweep 1000, 500 pixels: ticks 2000 to 2500. Group 2's first question at
    // the left edge does not count, its second one decides.
    Inspection::_Label *first = ReviewScrollRules::currentGroupStart(test, 2000, 500, 1000);
    QVERIFY(first);
    QCOMPARE(first, &test.labels[3]);
    // Two groups in view: the first mark in list order inside decides.
    QCOMPARE(ReviewScrollRules::currentGroupStart(test, 2150, 1000, 1000), &test.labels[3]);
    // Nothing inside, and a test without marks.
    QVERIFY(!ReviewScrollRules::currentGroupStart(test, 2300, 600, 1000));
    Inspection::_Test empty;
    QVERIFY(!ReviewScrollRules::currentGroupStart(empty, 0, 800, 1000));
    QVERIFY(!ReviewScrollRules::stepTarget(empty, 0, 800, 1000, 1));
}

void TestReviewScrollRules::stepAlignsFirstThenMoves()
{
    Inspection::_Test test = fourGroups();
    // 20 ticks after group 3's start, a later question of it inside: next is group 4.
    QCOMPARE(ReviewScrollRules::stepTarget(test, 3020, 500, 1000, 1), &test.labels[9]);
    QCOMPARE(ReviewScrollRules::stepTarget(test, 3020, 500, 1000, -1), &test.labels[3]);
    // 40 ticks after it: back to group 3's start, either way.
    QCOMPARE(ReviewScrollRules::stepTarget(test, 3040, 500, 1000, 1), &test.labels[6]);
    QCOMPARE(ReviewScrollRules::stepTarget(test, 3040, 500, 1000, -1), &test.labels[6]);
    // Ticks, not pixels: at sweep 2000 the left edge 1510 is tick 3020.
    QCOMPARE(ReviewScrollRules::stepTarget(test, 1510, 250, 2000, 1), &test.labels[9]);
}

void TestReviewScrollRules::stepStopsWhereNoGroupIs()
{
    Inspection::_Test test = fourGroups();
    QVERIFY(!ReviewScrollRules::stepTarget(test, 1000 - 29, 500, 1000, -1));
    QVERIFY(!ReviewScrollRules::stepTarget(test, 4000 + 29, 500, 1000, 1));
}

void TestReviewScrollRules::zoomEndTickCentresTheCursor()
{
    // Cursor at x 300 of a view scrolled to 400 at sweep 2000: tick 1400 in the middle.
    QCOMPARE(ReviewScrollRules::zoomEndTick(400, 300, 100, 800, 72000, 2000), 1500);
    // 800 pixels at sweep 1500 show 1200 ticks; a 1000-tick test moves the end left by 200.
    QCOMPARE(ReviewScrollRules::zoomEndTick(0, 300, 100, 800, 1000, 1500), 450 + 100 - 200);
}

VUG_TEST_MAIN(TestReviewScrollRules, QCoreApplication)
#include "tst_reviewscrollrules.moc"
