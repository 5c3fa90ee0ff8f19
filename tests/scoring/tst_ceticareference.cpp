#include "scoring/metric/CEtica.h"
#include "tests/support/JsonArrays.h"
#include "tests/support/TestHome.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <cmath>
#include <random>

// The features of seeded synthetic recordings against etica_reference.py
// beside this file, an independent numpy rendering of the same recipe.

namespace {

struct Recording {
    CEticaInput input;
    InspectionAnalysisInterval interval;
};

QVector<qint16> toSamples(const std::vector<double> &values)
{
    QVector<qint16> samples;
    samples.reserve(int(values.size()));
    for (double value : values)
        samples.append(qint16(std::lround(std::clamp(value, -32768.0, 32767.0))));
    return samples;
}

// Pulse, breathing and skin-galvanic signals with noise, drifts, steps, and a
// reaction after each question end; scale stretches them to a 16-bit range.
Recording synthetic(unsigned seed, int sampleCount, const QVector<int> &questionEnds, double scale)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<double> pulse, breathing, skin;
    double pulsePhase = 0.0, breathingPhase = 0.0;
    for (int i = 0; i < sampleCount; ++i) {
        double sinceQuestion = 1e9;
        for (int end : questionEnds)
            if (end <= i)
                sinceQuestion = i - end;
        const double reaction = sinceQuestion < 160 ? std::sin(M_PI * sinceQuestion / 160.0) : 0.0;

        pulsePhase += 1.0 / (18.0 + 3.0 * std::sin(2 * M_PI * i / 700.0) - 2.0 * reaction);
        breathingPhase += 1.0 / (80.0 + 15.0 * std::sin(2 * M_PI * i / 1900.0) + 30.0 * reaction);
        const double step = i > sampleCount / 3 ? 1.0 : 0.0;

        pulse.push_back(scale * (300.0 * (1.0 - 0.4 * reaction) * std::sin(2 * M_PI * pulsePhase)
                                 + 0.02 * i + 150.0 * step + 12.0 * noise(random)));
        breathing.push_back(scale * (350.0 * (1.0 - 0.6 * reaction) * std::sin(2 * M_PI * breathingPhase)
                                     - 0.03 * i - 90.0 * step + 15.0 * noise(random)));
        skin.push_back(scale * (800.0 + 0.05 * i + 250.0 * reaction + 120.0 * step + 3.0 * noise(random)));
    }

    Recording recording;
    recording.input.samples = {toSamples(pulse), toSamples(breathing), toSamples(skin)};
    recording.input.firstQuestionEnd = questionEnds.value(0);
    for (int k = 1; k < questionEnds.size(); ++k)
        recording.input.segmentLengths.append(questionEnds[k] - questionEnds[k - 1]);
    return recording;
}

QByteArray toJson(const Recording &recording)
{
    QJsonArray segments;
    for (qint32 length : recording.input.segmentLengths)
        segments.append(length);
    const QJsonObject interval{{"nIALength", recording.interval.nIALength},
                               {"nIABegin", recording.interval.nIABegin},
                               {"nIAEnd", recording.interval.nIAEnd}};
    const QJsonObject object{{"interval", interval},
                             {"firstQuestionEnd", recording.input.firstQuestionEnd},
                             {"segmentLengths", segments},
                             {"pulse", toJsonArray(recording.input.samples[CEticaInput::Pulse])},
                             {"breathing", toJsonArray(recording.input.samples[CEticaInput::Breathing])},
                             {"skinGalvanic", toJsonArray(recording.input.samples[CEticaInput::SkinGalvanic])}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QJsonObject runReference(const Recording &recording)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("recording.json"));
    if (!file.open(QIODevice::WriteOnly) || file.write(toJson(recording)) < 0)
        return {};
    file.close();

    QProcess reference;
    reference.start(VUG_PYTHON, {VUG_ETICA_REFERENCE, file.fileName()});
    if (!reference.waitForFinished(120000) || reference.exitCode() != 0) {
        qWarning() << reference.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(reference.readAllStandardOutput()).object();
}

QString outcomeName(CEtica::Outcome outcome)
{
    switch (outcome) {
    case CEtica::Evaluated:
        return "evaluated";
    case CEtica::EmptyChannel:
        return "empty channel";
    case CEtica::NegativeSegment:
        return "negative segment";
    }
    return {};
}

bool sameFeature(double actual, double expected)
{
    return std::abs(actual - expected) <= 1e-9 * std::max({1.0, std::abs(actual), std::abs(expected)});
}

bool isZero(const CEtica::Row &row)
{
    return std::all_of(row.cbegin(), row.cend(), [](double value) { return value == 0.0; });
}

}  // namespace

class TestCEticaReference : public QObject
{
    Q_OBJECT
private slots:
    void matchesReference_data();
    void matchesReference();
};

void TestCEticaReference::matchesReference_data()
{
    QTest::addColumn<uint>("seed");
    QTest::addColumn<QVector<int>>("questionEnds");  // the last entry ends the last segment
    QTest::addColumn<int>("sampleCount");
    QTest::addColumn<double>("length");
    QTest::addColumn<double>("begin");
    QTest::addColumn<double>("end");
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("shorterPulse");
    QTest::addColumn<int>("evaluatedLabels");

    // Gaps of 150 and of exactly 200 samples give no features at 10 s; 201 does.
    QTest::newRow("10 s") << 11u << QVector<int>{300, 750, 900, 1500, 1700, 1901, 2500, 3100, 3700, 4300, 4504}
                          << 4560 << 10.7 << 2.5 << 8.9 << 1.0 << 0 << 8;
    QTest::newRow("15 s, 16-bit range")
        << 12u << QVector<int>{420, 900, 1380, 1900, 2400, 2880, 3400, 3900, 4400, 4900, 5204} << 5300 << 15.0
        << 0.0 << 15.0 << 9.0 << 0 << 10;
    QTest::newRow("600 s, more than a thousand records")
        << 13u << QVector<int>{400, 900, 12950, 24954} << 24990 << 600.0 << 5.0 << 600.0 << 1.0 << 0 << 2;
    QTest::newRow("10 s, range past the analysis length")
        << 14u << QVector<int>{260, 700, 1150, 1600, 2040, 2244} << 2300 << 10.0 << 3.0 << 14.0 << 1.0 << 0 << 5;
    QTest::newRow("15 s, recording ends early, channels of unequal length")
        << 15u << QVector<int>{330, 800, 1290, 1760, 2064} << 2040 << 15.0 << 1.0 << 14.0 << 1.0 << 7 << 3;
}

void TestCEticaReference::matchesReference()
{
    QFETCH(uint, seed);
    QFETCH(QVector<int>, questionEnds);
    QFETCH(int, sampleCount);
    QFETCH(double, length);
    QFETCH(double, begin);
    QFETCH(double, end);
    QFETCH(double, scale);
    QFETCH(int, shorterPulse);
    QFETCH(int, evaluatedLabels);

    Recording recording = synthetic(seed, sampleCount, questionEnds, scale);
    recording.interval = {length, begin, end};
    recording.input.samples[CEticaInput::Pulse].resize(sampleCount - shorterPulse);

    QVector<CEtica::Row> rows;
    const CEtica::Outcome outcome = CEtica(recording.input, recording.interval).run(rows);
    const QJsonObject expected = runReference(recording);
    QVERIFY2(!expected.isEmpty(), "the reference script did not run");

    QCOMPARE(outcomeName(outcome), expected.value("outcome").toString());
    const QJsonArray expectedRows = expected.value("rows").toArray();
    QCOMPARE(rows.size(), expectedRows.size());
    for (int label = 0; label < rows.size(); ++label) {
        const QJsonArray expectedRow = expectedRows[label].toArray();
        QCOMPARE(expectedRow.size(), CEtica::featureCount);
        for (int feature = 0; feature < CEtica::featureCount; ++feature) {
            const double actual = rows[label][size_t(feature)];
            const double wanted = expectedRow[feature].toDouble();
            QVERIFY2(sameFeature(actual, wanted), qPrintable(QString("label %1, feature %2: %3, expected %4")
                                                                 .arg(label)
                                                                 .arg(feature)
                                                                 .arg(actual, 0, 'g', 17)
                                                                 .arg(wanted, 0, 'g', 17)));
        }
    }
    QCOMPARE(int(std::count_if(rows.cbegin(), rows.cend(), [](const CEtica::Row &row) { return !isZero(row); })),
             evaluatedLabels);
}

QTEST_GUILESS_MAIN(TestCEticaReference)
#include "tst_ceticareference.moc"
