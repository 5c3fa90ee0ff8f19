#include "data/FilterState.h"
#include "tests/support/TestHome.h"

// Expected outputs come from signalanalysis_reference.py beside this file.

namespace {

using Filter = double (*)(FilterState &, double);

// The outputs of a filter for 5 zero samples followed by samples of 1000.
QVector<double> stepResponse(Filter filter, int steps)
{
    FilterState state;
    initFilterState(state);
    QVector<double> out;
    for (int k = 0; k < steps; ++k)
        out.append(filter(state, k < 5 ? 0.0 : 1000.0));
    return out;
}

bool isResetState(const FilterState &state)
{
    return state.s0 == 0.0 && state.s1 == 0.0 && state.s2 == 0.0 && state.s3 == 0.0 && state.s4 == 0.0
        && state.buffer == QVector<qint32>(30, 0);
}

}  // namespace

class TestFilterState : public QObject
{
    Q_OBJECT
private slots:
    void stepResponse_data();
    void stepResponse();
    void constantSettlesAtTheGain();
    void firstStepAfterResetIsInputOverGain();
    void filtersKeepSeparateHistories();
    void resetAndInitClearEverything();
};

void TestFilterState::stepResponse_data()
{
    QTest::addColumn<bool>("filterA");
    QTest::addColumn<int>("step");
    QTest::addColumn<double>("expected");
    const QVector<QPair<int, double>> a{{0, 0.0}, {4, 0.0}, {5, 28.63377248}, {6, 129.4189248},
                                        {7, 292.9461715}, {10, 801.8546998}, {15, 1065.079997},
                                        {25, 955.19198}, {49, 965.6862641}};
    const QVector<QPair<int, double>> b{{0, 0.0}, {4, 0.0}, {5, 6.990434768}, {6, 33.20401989},
                                        {7, 80.62920976}, {10, 294.3582025}, {15, 675.1665088},
                                        {25, 1026.879565}, {49, 1003.498201}};
    for (const auto &p : a)
        QTest::addRow("A %d", p.first) << true << p.first << p.second;
    for (const auto &p : b)
        QTest::addRow("B %d", p.first) << false << p.first << p.second;
}

void TestFilterState::stepResponse()
{
    QFETCH(bool, filterA);
    QFETCH(int, step);
    QFETCH(double, expected);
    const QVector<double> out = ::stepResponse(filterA ? lowPassFilterA : lowPassFilterB, 50);
    QVERIFY2(qAbs(out[step] - expected) < 1e-6, qPrintable(QString::number(out[step], 'g', 12)));
}

void TestFilterState::constantSettlesAtTheGain()
{
    FilterState state;
    initFilterState(state);
    double a = 0.0, b = 0.0;
    for (int k = 0; k < 2000; ++k) {
        a = lowPassFilterA(state, 1000.0);
        b = lowPassFilterB(state, 1000.0);
    }
    QVERIFY(qAbs(a - 965.7258845) < 1e-6);
    QVERIFY(qAbs(b - 1003.961706) < 1e-6);
}

void TestFilterState::firstStepAfterResetIsInputOverGain()
{
    FilterState state;
    lowPassFilterA(state, 5000.0);
    lowPassFilterB(state, -800.0);
    resetFilterState(state);
    QCOMPARE(lowPassFilterA(state, 1000.0), 1000.0 / 34.923795);
    resetFilterState(state);
    QCOMPARE(lowPassFilterB(state, 1000.0), 1000.0 / 143.0526187857);
}

void TestFilterState::filtersKeepSeparateHistories()
{
    FilterState shared, onlyA, onlyB;
    initFilterState(shared);
    initFilterState(onlyA);
    initFilterState(onlyB);
    for (int k = 0; k < 100; ++k) {
        const double x = (k * 37) % 200 - 100;
        QCOMPARE(lowPassFilterA(shared, x), lowPassFilterA(onlyA, x));
        QCOMPARE(lowPassFilterB(shared, 2 * x), lowPassFilterB(onlyB, 2 * x));
    }
    // A's oldest history is the value three steps back.
    FilterState state;
    const double y1 = (lowPassFilterA(state, 10.0), state.s2);
    lowPassFilterA(state, 20.0);
    lowPassFilterA(state, 30.0);
    QCOMPARE(state.s4, y1);
}

void TestFilterState::resetAndInitClearEverything()
{
    FilterState state;
    QVERIFY(isResetState(state));
    for (int k = 0; k < 10; ++k) {
        lowPassFilterA(state, 100.0);
        lowPassFilterB(state, 100.0);
    }
    state.buffer.fill(7);
    state.buffer.resize(3);
    resetFilterState(state);
    QVERIFY(isResetState(state));

    state.s1 = 4.0;
    state.buffer.clear();
    initFilterState(state);
    QVERIFY(isResetState(state));
}

VUG_TEST_MAIN(TestFilterState, QCoreApplication)
#include "tst_filterstate.moc"
