#include "scoring/metric/CEtica.h"
#include "scoring/metric/CEticaBreathing.h"
#include "scoring/metric/CEticaPulse.h"
#include "tests/support/TestHome.h"

#include <cmath>
#include <functional>

// Known answers and edge cases of the reaction features. The features of
// realistic recordings are checked against the reference script in
// tst_ceticareference.

namespace {

using Signal = std::function<double(int)>;

QVector<qint16> sampled(const Signal &signal, int count)
{
    QVector<qint16> samples;
    for (int k = 0; k < count; ++k)
        samples.append(qint16(std::lround(signal(k))));
    return samples;
}

double sine(int k, int period, double amplitude) { return amplitude * std::sin(2 * M_PI * k / period); }

// Question ends as marks give them; the last segment is the last one's.
CEticaInput marked(const QVector<int> &questionEnds, int lastSegment)
{
    CEticaInput input;
    input.firstQuestionEnd = questionEnds.first();
    for (int k = 1; k < questionEnds.size(); ++k)
        input.segmentLengths.append(questionEnds[k] - questionEnds[k - 1]);
    input.segmentLengths.append(lastSegment);
    return input;
}

// Pulse beats of 20 samples, breaths of 80, a rising skin-galvanic level.
CEticaInput beating(const QVector<int> &questionEnds, int lastSegment, int count)
{
    CEticaInput input = marked(questionEnds, lastSegment);
    input.samples = {sampled([](int k) { return sine(k, 20, 800.0); }, count),
                     sampled([](int k) { return sine(k, 80, 400.0); }, count),
                     sampled([](int k) { return 500.0 + k / 10.0; }, count)};
    return input;
}

const InspectionAnalysisInterval tenSeconds{10.0, 0.0, 10.0};

QVector<CEtica::Row> rowsOf(const CEticaInput &input, const InspectionAnalysisInterval &interval,
                            CEtica::Outcome expected = CEtica::Evaluated)
{
    QVector<CEtica::Row> rows;
    const CEtica::Outcome outcome = CEtica(input, interval).run(rows);
    if (outcome != expected)
        qWarning() << "outcome" << outcome << "expected" << expected;
    return outcome == expected ? rows : QVector<CEtica::Row>();
}

bool isZero(const CEtica::Row &row)
{
    return std::all_of(row.cbegin(), row.cend(), [](double value) { return value == 0.0; });
}

// Flat signal levels: zero, either sign, the top of the 16-bit range.
void addLevels()
{
    QTest::addColumn<int>("level");
    QTest::newRow("zero") << 0;
    QTest::newRow("positive") << 1234;
    QTest::newRow("negative") << -2047;
    QTest::newRow("16-bit") << 32767;
}

QVector<bool> zeroRows(const QVector<CEtica::Row> &rows)
{
    QVector<bool> zero;
    for (const CEtica::Row &row : rows)
        zero.append(isZero(row));
    return zero;
}

}  // namespace

Q_DECLARE_METATYPE(InspectionAnalysisInterval)

class TestCEtica : public QObject
{
    Q_OBJECT
private slots:
    void lengthsTruncateSecondsFirst();
    void pulseSineGivesItsPeriod();
    void constantSkinGalvanicLevel_data();
    void constantSkinGalvanicLevel();
    void flatBreathingAtAnyLevel_data();
    void flatBreathingAtAnyLevel();
    void ringReadAtItsLengthWraps();
    void earlyTurningPointIsIgnored_data();
    void earlyTurningPointIsIgnored();
    void firstBeatStartsFromZero();
    void labelNeedsMoreThanTheAnalysisLength();
    void lastLabelNeedsTheRecording_data();
    void lastLabelNeedsTheRecording();
    void rangeIsClampedToTheRecords_data();
    void rangeIsClampedToTheRecords();
    void emptyChannelGivesZeroRows();
    void negativeSegmentIsRefused_data();
    void negativeSegmentIsRefused();
};

void TestCEtica::lengthsTruncateSecondsFirst()
{
    const CEtica etica(CEticaInput(), {10.7, 2.5, 8.9});
    QCOMPARE(etica.analysisLength(), 200);
    QCOMPARE(etica.recordCapacity(), 20);
    QCOMPARE(etica.rangeBegin(), 4);
    QCOMPARE(etica.rangeEnd(), 16);
}

void TestCEtica::pulseSineGivesItsPeriod()
{
    const QVector<CEtica::Row> rows = rowsOf(beating({400, 700}, 204, 1000), tenSeconds);
    QCOMPARE(rows.size(), 2);
    for (const CEtica::Row &row : rows) {
        QCOMPARE(row[4], 20.0);
        QVERIFY(std::abs(row[1]) < 1e-12);
        QVERIFY(std::abs(row[0]) < 1e-9);  // every beat alike
        QVERIFY(row[3] > 100.0);
    }
}

void TestCEtica::constantSkinGalvanicLevel_data() { addLevels(); }

void TestCEtica::constantSkinGalvanicLevel()
{
    QFETCH(int, level);
    CEticaInput input = beating({300}, 204, 600);
    input.samples[CEticaInput::SkinGalvanic] = QVector<qint16>(600, qint16(level));
    const QVector<CEtica::Row> rows = rowsOf(input, tenSeconds);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][13], double(level));
    QCOMPARE(rows[0][12], 0.0);
}

void TestCEtica::flatBreathingAtAnyLevel_data() { addLevels(); }

// The recorded windows include those read when the ring's write index stands
// at its end, so a slot read past the ring would show here.
void TestCEtica::flatBreathingAtAnyLevel()
{
    QFETCH(int, level);
    CEticaInput input = beating({400, 700}, 204, 1000);
    input.samples[CEticaInput::Breathing] = QVector<qint16>(1000, qint16(level));
    const QVector<CEtica::Row> rows = rowsOf(input, tenSeconds);
    QCOMPARE(rows.size(), 2);
    for (const CEtica::Row &row : rows) {
        QCOMPARE(row[9], 1.0);             // amplitude s
        QCOMPARE(row[10], 0.0);            // line-length index
        QCOMPARE(row[11], double(level));  // level
        QCOMPARE(row[6], 0.0);
        QCOMPARE(row[7], 0.0);
        QCOMPARE(row[8], 0.0);
    }
}

void TestCEtica::ringReadAtItsLengthWraps()
{
    CEticaBreathing breathing(20);
    for (int k = 0; k < 20; ++k)
        breathing.update(700.0);  // the twentieth sample fills the ring and evaluates it
    QCOMPARE(breathing.measures().level, 700.0);
    QCOMPARE(breathing.measures().period, 0.0);
    QCOMPARE(breathing.measures().amplitude, 1.0);
}

void TestCEtica::earlyTurningPointIsIgnored_data()
{
    QTest::addColumn<int>("shortPeriod");
    QTest::addColumn<QVector<int>>("cycleLengths");
    // Lengths 60, 60, 56 admit no cycle of 29 samples or less. A breath of
    // 20 samples turns the filtered curve 28 samples after the last start,
    // which is ignored: the cycle counts on to 84. One of 24 turns it after
    // 31 samples, which starts a cycle.
    QTest::newRow("ignored") << 20 << QVector<int>{56, 84, 60};
    QTest::newRow("accepted") << 24 << QVector<int>{31, 56, 60};
}

void TestCEtica::earlyTurningPointIsIgnored()
{
    QFETCH(int, shortPeriod);
    QFETCH(QVector<int>, cycleLengths);
    QVector<int> periods(6, 60);
    periods << shortPeriod << 60 << 60 << 60;

    CEticaBreathing breathing(2000);
    for (int period : periods)
        for (int k = 0; k < period; ++k)
            breathing.update(double(std::lround(-1000.0 * std::cos(2 * M_PI * k / period))));
    const std::array<int, 3> lengths = breathing.cycleLengths();
    QCOMPARE(QVector<int>(lengths.cbegin(), lengths.cend()), cycleLengths);
}

void TestCEtica::firstBeatStartsFromZero()
{
    CEticaPulse pulse;
    double absoluteSum = 0.0;
    int k = 0;
    for (; pulse.measures().period == 0.0 && k < 100; ++k) {
        const double x = std::lround(600.0 + sine(k + 7, 20, 300.0));
        absoluteSum += std::abs(x);
        pulse.update(x);
    }
    QVERIFY(k < 100);
    QCOMPARE(pulse.measures().period, double(k));
    QCOMPARE(pulse.measures().amplitude, absoluteSum / k);
    QCOMPARE(pulse.measures().level, double(std::lround(600.0 + sine(k - 1 + 7, 20, 300.0))));
}

// Analysis length 200: a label needs at least 201 samples to its next one.
void TestCEtica::labelNeedsMoreThanTheAnalysisLength()
{
    const QVector<CEtica::Row> rows = rowsOf(beating({400, 550, 900, 1100, 1301}, 204, 1600), tenSeconds);
    QCOMPARE(zeroRows(rows), (QVector<bool>{true, false, true, false, false}));
}

void TestCEtica::lastLabelNeedsTheRecording_data()
{
    QTest::addColumn<int>("sampleCount");
    QTest::addColumn<bool>("evaluated");
    QTest::newRow("W + 4 beyond") << 700 + 204 << true;
    QTest::newRow("W + 1 beyond") << 700 + 201 << true;
    QTest::newRow("W beyond") << 700 + 200 << false;
    QTest::newRow("ends before the question end") << 650 << false;
}

void TestCEtica::lastLabelNeedsTheRecording()
{
    QFETCH(int, sampleCount);
    QFETCH(bool, evaluated);
    const QVector<CEtica::Row> rows = rowsOf(beating({400, 700}, 204, sampleCount), tenSeconds);
    QCOMPARE(zeroRows(rows), (QVector<bool>{false, !evaluated}));
}

void TestCEtica::rangeIsClampedToTheRecords_data()
{
    QTest::addColumn<InspectionAnalysisInterval>("interval");
    QTest::addColumn<bool>("evaluated");
    QTest::newRow("b = e") << InspectionAnalysisInterval{10.0, 6.0, 6.0} << false;
    QTest::newRow("b > e") << InspectionAnalysisInterval{10.0, 8.0, 3.0} << false;
    QTest::newRow("b at the capacity") << InspectionAnalysisInterval{10.0, 10.0, 20.0} << false;
    QTest::newRow("e past the capacity") << InspectionAnalysisInterval{10.0, 0.0, 30.0} << true;
    QTest::newRow("b before the question end") << InspectionAnalysisInterval{10.0, -4.0, 10.0} << true;
    QTest::newRow("no analysis length") << InspectionAnalysisInterval{0.5, 0.0, 10.0} << false;
}

// A range reaching past the records kept gives the features of the records
// there are, the same as the whole analysis length.
void TestCEtica::rangeIsClampedToTheRecords()
{
    QFETCH(InspectionAnalysisInterval, interval);
    QFETCH(bool, evaluated);
    const CEticaInput input = beating({400, 700}, 204, 1000);
    const QVector<CEtica::Row> rows = rowsOf(input, interval);
    QCOMPARE(rows.size(), 2);
    if (evaluated)
        QCOMPARE(rows, rowsOf(input, tenSeconds));
    else
        QCOMPARE(zeroRows(rows), (QVector<bool>{true, true}));
}

void TestCEtica::emptyChannelGivesZeroRows()
{
    for (int channel = 0; channel < CEticaInput::ChannelCount; ++channel) {
        CEticaInput input = beating({400, 700}, 204, 1000);
        input.samples[size_t(channel)].clear();
        const QVector<CEtica::Row> rows = rowsOf(input, tenSeconds, CEtica::EmptyChannel);
        QCOMPARE(zeroRows(rows), (QVector<bool>{true, true}));
    }
}

void TestCEtica::negativeSegmentIsRefused_data()
{
    QTest::addColumn<int>("firstQuestionEnd");
    QTest::addColumn<QVector<qint32>>("segmentLengths");
    QTest::newRow("marks out of order") << 400 << QVector<qint32>{300, -50, 204};
    QTest::newRow("negative first question end") << -10 << QVector<qint32>{300, 204};
}

void TestCEtica::negativeSegmentIsRefused()
{
    QFETCH(int, firstQuestionEnd);
    QFETCH(QVector<qint32>, segmentLengths);
    CEticaInput input = beating({400}, 204, 1200);
    input.firstQuestionEnd = firstQuestionEnd;
    input.segmentLengths = segmentLengths;
    const QVector<CEtica::Row> rows = rowsOf(input, tenSeconds, CEtica::NegativeSegment);
    QCOMPARE(rows.size(), segmentLengths.size());
    QVERIFY(std::all_of(rows.cbegin(), rows.cend(), isZero));
}

QTEST_GUILESS_MAIN(TestCEtica)
#include "tst_cetica.moc"
