#include "data/SignalAnalysis.h"
#include "tests/support/TestHome.h"

#include <QtMath>

#include <climits>

// Expected positions and rates come from signalanalysis_reference.py beside this file.

namespace {

QVector<qint16> flat(int size, qint16 value = 0) { return QVector<qint16>(size, value); }

QVector<qint16> sine(int size, double period, double amplitude)
{
    QVector<qint16> x(size);
    for (int k = 0; k < size; ++k)
        x[k] = qint16(qRound(amplitude * qSin(2.0 * M_PI * k / period)));
    return x;
}

QVector<qint16> negated(QVector<qint16> x)
{
    for (qint16 &v : x)
        v = qint16(-v);
    return x;
}

// A vector of `size` samples whose spare capacity behind the end holds `tail`:
// a routine that reads past the end sees those values instead of nothing.
QVector<qint16> withTailBehind(const QVector<qint16> &samples, const QVector<qint16> &tail)
{
    QVector<qint16> x = samples + tail;
    x.resize(samples.size());
    return x;
}

// A signal with a peak at each position (height 500 above a zero baseline).
QVector<qint16> peaksAt(int size, const QVector<int> &positions)
{
    QVector<qint16> x = flat(size);
    for (int p : positions)
        x[p] = 500;
    return x;
}

using Positions = QVector<int>;

}  // namespace

class TestSignalAnalysis : public QObject
{
    Q_OBJECT
private slots:
    void sumAbsDifferencesOverWindow();
    void sumAbsDifferencesStaysInsideTheSamples();
    void sumAbsDifferencesDoesNotOverflow();
    void foundValleySkipsTheNextHalfWidth();
    void lowRunsGiveTheirPosition();
    void modeZeroGivesTheMiddleOfARun();
    void toleranceAndThresholdsAreStrict();
    void peaksAreTheMirrorOfValleys();
    void sineOfKnownPeriod();
    void constantAndStepHaveNoExtrema();
    void searchesStayInsideTheSamples();
    void meanIntervalGivesRatePerMinute();
    void meanIntervalDividesByDistancesSummed();
    void meanIntervalNearTheEndsOfARecording();
    void pointDistanceAndConversions();
};

void TestSignalAnalysis::sumAbsDifferencesOverWindow()
{
    const QVector<qint16> x{0, 5, 3};
    QCOMPARE(sumAbsDifferences(x, 1, 2), 7);
    QCOMPARE(sumAbsDifferences(x, 2, 1), 2);
    QCOMPARE(sumAbsDifferences(x, 1, 0), 0);
    QCOMPARE(sumAbsDifferences(x, 1, -4), 0);
    QCOMPARE(sumAbsDifferences(QVector<qint16>{-32768, 32767}, 1, 1), 65535);
    QCOMPARE(sumAbsDifferences(flat(50, 700), 1, 49), 0);
}

void TestSignalAnalysis::sumAbsDifferencesStaysInsideTheSamples()
{
    const QVector<qint16> x = withTailBehind({0, 5, 3}, flat(20, 30000));
    QCOMPARE(sumAbsDifferences(x, 1, 50), 7);
    QCOMPARE(sumAbsDifferences(x, 0, 3), 7);
    QCOMPARE(sumAbsDifferences(x, -10, 13), 7);
    QCOMPARE(sumAbsDifferences(x, 3, 5), 0);
    QCOMPARE(sumAbsDifferences(QVector<qint16>(), 1, 10), 0);
}

void TestSignalAnalysis::sumAbsDifferencesDoesNotOverflow()
{
    QVector<qint16> x(70000);
    for (int i = 0; i < x.size(); ++i)
        x[i] = i % 2 ? 32767 : -32767;
    QCOMPARE(sumAbsDifferences(x, 1, x.size() - 1), INT_MAX);
}

void TestSignalAnalysis::foundValleySkipsTheNextHalfWidth()
{
    // start 4, valleys at relative 7, 10 (inside the skip) and 12 (next tested).
    QVector<qint16> x = flat(40);
    for (int rel : {7, 10, 12})
        x[4 + rel] = -100;
    QCOMPARE(findLocalMaxima(x, 4, 30, 4, 3, 2), (Positions{7, 12}));
    QCOMPARE(findLocalMaxima(x, 4, 30, 4, 3, 0), (Positions{7, 12}));
}

void TestSignalAnalysis::lowRunsGiveTheirPosition()
{
    // Three low samples at relative 7-9, a single one at 30, and a run that
    // reaches the end of the window (relative 37-39), which adds nothing.
    QVector<qint16> x = flat(60);
    for (int rel : {7, 8, 9, 30, 37, 38, 39})
        x[4 + rel] = -20000;
    QCOMPARE(findLocalMaxima(x, 4, 40, 4, 3, 0), (Positions{9, 31}));
    // Runs count in any mode; an unknown mode finds no valleys but still the runs.
    x[4 + 20] = -100;
    QCOMPARE(findLocalMaxima(x, 4, 40, 4, 3, 2), (Positions{9, 20, 31}));
    QCOMPARE(findLocalMaxima(x, 4, 40, 4, 3, 1), (Positions{9, 31}));
}

void TestSignalAnalysis::modeZeroGivesTheMiddleOfARun()
{
    QVector<qint16> three = flat(40);
    three[4 + 20] = three[4 + 21] = three[4 + 22] = -100;
    QCOMPARE(findLocalMaxima(three, 4, 30, 4, 3, 0), (Positions{21}));
    QCOMPARE(findLocalMaxima(three, 4, 30, 4, 3, 2), (Positions{20}));

    QVector<qint16> two = flat(40);
    two[4 + 20] = two[4 + 21] = -100;
    QCOMPARE(findLocalMaxima(two, 4, 30, 4, 3, 0), (Positions{21}));

    QVector<qint16> one = flat(40);
    one[4 + 20] = -100;
    QCOMPARE(findLocalMaxima(one, 4, 30, 4, 3, 0), (Positions{20}));
}

void TestSignalAnalysis::toleranceAndThresholdsAreStrict()
{
    QVector<qint16> x = flat(40);
    x[10] = -3;  // exactly the tolerance deep: no valley
    x[20] = -4;
    QCOMPARE(findLocalMaxima(x, 4, 30, 4, 3, 2), (Positions{16}));

    QVector<qint16> low = flat(40, -12046);  // the threshold itself is no low sample
    low[10] = -12047;
    QCOMPARE(findLocalMaxima(low, 4, 30, 4, 0, 2), (Positions{7}));
    QVector<qint16> high = flat(40, 12046);
    high[10] = 12047;
    QCOMPARE(findLocalMinima(high, 4, 30, 4, 0, 2), (Positions{7}));
}

void TestSignalAnalysis::peaksAreTheMirrorOfValleys()
{
    QVector<qint16> x = flat(60);
    for (int rel : {7, 8, 9})
        x[4 + rel] = -20000;
    x[4 + 20] = x[4 + 21] = x[4 + 22] = -100;
    const QVector<qint16> mirrored = negated(x);
    for (int mode : {0, 2}) {
        QCOMPARE(findLocalMinima(mirrored, 4, 40, 4, 3, mode), findLocalMaxima(x, 4, 40, 4, 3, mode));
        QVERIFY(findLocalMinima(x, 4, 40, 4, 3, mode).isEmpty());
    }
    QCOMPARE(findLocalMinima(mirrored, 4, 40, 4, 3, 0), (Positions{9, 21}));
}

void TestSignalAnalysis::sineOfKnownPeriod()
{
    const QVector<qint16> x = sine(200, 20, 2000);
    QCOMPARE(findLocalMinima(x, 4, 180, 4, 3, 0), (Positions{1, 21, 41, 61, 81, 101, 121, 141, 161}));
    QCOMPARE(findLocalMaxima(x, 4, 180, 4, 3, 0), (Positions{11, 31, 51, 71, 91, 111, 131, 151, 171}));
    QCOMPARE(findLocalMinima(x, 4, 180, 4, 3, 2), (Positions{0, 20, 40, 60, 80, 100, 120, 140, 160}));
    QCOMPARE(findLocalMaxima(x, 2, 190, 2, 1, 2), (Positions{13, 33, 53, 73, 93, 113, 133, 153, 173}));
}

void TestSignalAnalysis::constantAndStepHaveNoExtrema()
{
    QVector<qint16> step = flat(100, -300);
    for (int i = 50; i < step.size(); ++i)
        step[i] = 2500;
    for (const QVector<qint16> &x : {flat(100, 777), step}) {
        QVERIFY(findLocalMaxima(x, 10, 80, 10, 2, 0).isEmpty());
        QVERIFY(findLocalMinima(x, 10, 80, 10, 2, 0).isEmpty());
        QCOMPARE(meanExtremaInterval(x, 4, 80, -1), 0);
    }
    QCOMPARE(sumAbsDifferences(step, 1, 99), 2800);
}

void TestSignalAnalysis::searchesStayInsideTheSamples()
{
    // Valleys within the half width of either end cannot be judged; one lies
    // right behind the end, where a search that overran the vector would see it.
    QVector<qint16> samples = flat(40);
    samples[2] = -100;
    samples[38] = -100;
    samples[20] = -100;
    QVector<qint16> tail = flat(20);
    tail[6] = -100;
    const QVector<qint16> x = withTailBehind(samples, tail);
    for (int mode : {0, 2}) {
        QCOMPARE(findLocalMaxima(x, 0, 40, 4, 3, mode), (Positions{20}));
        QCOMPARE(findLocalMaxima(x, 0, 60, 4, 3, mode), (Positions{20}));
        QCOMPARE(findLocalMaxima(x, -10, 60, 4, 3, mode), (Positions{30}));
        QCOMPARE(findLocalMinima(negated(x), 0, 60, 4, 3, mode), (Positions{20}));
    }
    QVERIFY(findLocalMaxima(x, 50, 10, 4, 3, 0).isEmpty());
    QVERIFY(findLocalMaxima(QVector<qint16>(), 0, 10, 4, 3, 0).isEmpty());
    // A negative half width must not stall the search.
    QVERIFY(findLocalMaxima(x, 0, 40, -3, 3, 0).isEmpty());
}

void TestSignalAnalysis::meanIntervalGivesRatePerMinute()
{
    const QVector<qint16> x = sine(200, 20, 2000);
    QVector<int> valleys, peaks;
    QCOMPARE(meanExtremaInterval(x, 4, 180, -1, &valleys, &peaks), 60);
    QCOMPARE(peaks, (Positions{1, 21, 41, 61, 81, 101, 121, 141, 161, 181}));
    QCOMPARE(valleys, (Positions{11, 31, 51, 71, 91, 111, 131, 151, 171}));
    QCOMPARE(meanExtremaInterval(x, 4, 180, 3), 60);
    QCOMPARE(meanExtremaInterval(sine(400, 27, 3000), 4, 380, -1), 44);

    // Peaks at 0, 20, 40 relative to start: 20 ticks, 1000 ms, 60 per minute.
    QCOMPARE(meanExtremaInterval(peaksAt(60, {4, 24, 44}), 4, 50, -1), 60);
    QCOMPARE(meanExtremaInterval(peaksAt(60, {24}), 4, 50, -1), 0);
    QCOMPARE(meanExtremaInterval(peaksAt(60, {4, 24, 44}), 4, 50, 0), 0);
}

void TestSignalAnalysis::meanIntervalDividesByDistancesSummed()
{
    // Fewer distances than asked for: the mean is over the two that exist.
    QCOMPARE(meanExtremaInterval(peaksAt(60, {4, 24, 44}), 4, 50, 5), 60);
    // Distances 21 and 20: 20.5 ticks, 1025 ms, 58.5 per minute.
    QCOMPARE(meanExtremaInterval(peaksAt(60, {4, 25, 45}), 4, 50, -1), 58);
    // Only the first distance of 10 ticks (500 ms) when n is 1.
    QCOMPARE(meanExtremaInterval(peaksAt(80, {4, 14, 44}), 4, 70, 1), 120);
}

void TestSignalAnalysis::meanIntervalNearTheEndsOfARecording()
{
    // Peaks close to both ends of the array; the window runs past both ends.
    const QVector<qint16> x = peaksAt(50, {1, 10, 30, 48});
    QVector<int> peaks;
    QCOMPARE(meanExtremaInterval(x, -5, 100, -1, nullptr, &peaks), 60);
    QCOMPARE(peaks, (Positions{15, 35}));
    QCOMPARE(meanExtremaInterval(x, 40, 20, -1), 0);
}

void TestSignalAnalysis::pointDistanceAndConversions()
{
    QCOMPARE(pointDistance({0, 0}, {3, 4}), 5);
    QCOMPARE(pointDistance({0, 0}, {-3, -4}), 5);
    QCOMPARE(pointDistance({0, 0}, {1, 1}), 1);
    QCOMPARE(pointDistance({2, 0}, {2, 57}), 5);
    QCOMPARE(pointDistance({2, 0}, {2, 9}), 0);
    QCOMPARE(pointDistance({2.5, 0}, {2.5000001, 57}), 57);

    QCOMPARE(toPerMinute(0), 0);
    QCOMPARE(toPerMinute(1999), 119);
    QCOMPARE(toPerMinute(-1000), -60);
    QCOMPARE(toPerMinute(-1999), -119);
    QCOMPARE(toPerMinute(32767), 1966);
    QCOMPARE(intToDouble(-7), -7.0);
}

VUG_TEST_MAIN(TestSignalAnalysis, QCoreApplication)
#include "tst_signalanalysis.moc"
