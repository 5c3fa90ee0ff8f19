// The metric statistics routines on cases with known answers; the comparison
// with numpy on random data is metric_reference.py.
#include "MetricFixtures.h"
#include "scoring/metric/CMathMetrics.h"
#include "scoring/metric/StudentTable.h"
#include "tests/support/TestHome.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QtTest>

using namespace MetricFixtures;

namespace {

QByteArray storedValues(const Inspection::_Test &test)
{
    QJsonObject object;
    test.metricValuationToJson(object);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

bool near(const QVector<double> &actual, const QVector<double> &expected)
{
    if (actual.size() != expected.size())
        return false;
    for (int i = 0; i < actual.size(); ++i) {
        if (qAbs(actual[i] - expected[i]) > 1e-12)
            return false;
    }
    return true;
}

}  // namespace

class TstCMathMetrics : public QObject
{
    Q_OBJECT

private slots:
    void varianceOfKnownRows();
    void varianceOfEqualValuesIsZero();
    void studentProbabilityOfTheExamples();
    void studentProbabilityAroundEveryCriticalValue();
    void studentProbabilityOfUntabulatedDf();
    void meanOfSignSelectsStrictly();
    void normalizeRowsGivesZScores();
    void addVectorsTakesTheAddendsShape();
    void weightedSumUsesEnabledWeights();
    void collectSumsZValuesOverPresentations();
    void collectReadsValuesAbove32767();
    void collectLeavesOutputsWithoutPresentations();
    void scoresOfEqualSumsAreZero();
    void scoresAndLimitsOfATest();

private:
    CMathMetrics math;
};

void TstCMathMetrics::varianceOfKnownRows()
{
    QCOMPARE(math.variance({1, -1}), 1.0);
    QCOMPARE(math.variance({3, 5, 4}), 2.0 / 3.0);
    QCOMPARE(math.variance({7.5}), 0.0);
    QVERIFY(qIsNaN(math.variance({})));
}

void TstCMathMetrics::varianceOfEqualValuesIsZero()
{
    // Sums of squares leave a residue here, negative for five 2.3.
    QCOMPARE(math.variance(QVector<double>(5, 2.3)), 0.0);
    QCOMPARE(math.variance(QVector<double>(3, 0.7)), 0.0);
    QCOMPARE(math.variance(QVector<double>(6, -1e8 / 3)), 0.0);
    // A real spread, however small against the values, stays.
    QVERIFY(math.variance({1e6, 1e6 + 1e-3}) > 0.0);
}

void TstCMathMetrics::studentProbabilityOfTheExamples()
{
    QCOMPARE(math.studentProbability(10, 2.0), 0.95);
    QCOMPARE(math.studentProbability(10, 2.23), 0.95);
    QCOMPARE(math.studentProbability(10, -3.0), 0.1);
    QCOMPARE(math.studentProbability(10, 0.0), 0.1);
    QCOMPARE(math.studentProbability(-1, 1.96), 0.95);
    QCOMPARE(math.studentProbability(28, 1.2), 0.8);
    QCOMPARE(math.studentProbability(2, 1.35), 0.7);  // 1.386 for df 2 at 0.7
    // The strongest result reads as the strongest, not as 0.
    QCOMPARE(math.studentProbability(10, 5.0), 0.999);
    QCOMPARE(math.studentProbability(1, 1e9), 0.999);
    QCOMPARE(math.studentProbability(10, qQNaN()), 0.0);
    QCOMPARE(math.studentProbability(0, 1.0), 0.0);
    QCOMPARE(math.studentProbability(-2, 1.0), 0.0);
}

void TstCMathMetrics::studentProbabilityAroundEveryCriticalValue()
{
    for (int i = 0; i < studentTableSize; ++i) {
        const StudentRow &row = studentTable[i];
        const bool last = (i + 1) % studentLevelsPerDf == 0;
        QCOMPARE(math.studentProbability(row.df, row.t), row.level);
        QCOMPARE(math.studentProbability(row.df, row.t * (1 - 1e-9)), row.level);
        QCOMPARE(math.studentProbability(row.df, row.t * (1 + 1e-9)), last ? 0.999 : studentTable[i + 1].level);
    }
}

void TstCMathMetrics::studentProbabilityOfUntabulatedDf()
{
    QCOMPARE(math.studentProbability(35, 1.0), 0.7);   // row 30: 0.854 < 1.0 <= 1.055
    QCOMPARE(math.studentProbability(39, 2.05), 0.98);  // row 30: 2.04 < 2.05
    QCOMPARE(math.studentProbability(41, 2.03), 0.98);  // row 40: 2.02 < 2.03
    QCOMPARE(math.studentProbability(59, 1.05), 0.7);   // row 40, exactly its value
    QCOMPARE(math.studentProbability(119, 2.0), 0.95);  // row 60
    QCOMPARE(math.studentProbability(200, 1.97), 0.95); // row 120: 1.658 < 1.97 <= 1.98
    QCOMPARE(math.studentProbability(200, 1.99), 0.98);
    QCOMPARE(math.studentProbability(200, 9.0), 0.999);
}

void TstCMathMetrics::meanOfSignSelectsStrictly()
{
    const QVector<double> values = {-2, -4, 0, 3};
    QCOMPARE(math.meanOfSign(values, -1), -3.0);
    QCOMPARE(math.meanOfSign(values, 1), 3.0);
    QCOMPARE(math.meanOfSign(values, 0), 0.0);
    QCOMPARE(math.meanOfSign({0, 0}, 1), 0.0);
    QCOMPARE(math.meanOfSign({}, -1), 0.0);
}

void TstCMathMetrics::normalizeRowsGivesZScores()
{
    MetricMatrix result = {{9, 9}, {9}, {9}, {9}, {9}};
    math.normalizeRows({{1, 2, 3}, {5, 5, 5}, {}, {40000, 50000, 60000}}, result);
    QCOMPARE(result.size(), 4);
    const double z = std::sqrt(1.5);
    QVERIFY(near(result[0], {-z, 0.0, z}));
    QCOMPARE(result[1], QVector<double>({0.0, 0.0, 0.0}));
    QCOMPARE(result[2], QVector<double>());
    QVERIFY(near(result[3], {-z, 0.0, z}));  // not turned round by 16-bit wrapping
}

void TstCMathMetrics::addVectorsTakesTheAddendsShape()
{
    MetricMatrix acc;
    math.addVectors(acc, {{1, 2}, {3}});
    QCOMPARE(acc, MetricMatrix({{1, 2}, {3}}));

    acc = {{10, 20, 30}, {40}, {50, 60}};
    math.addVectors(acc, {{1, 2}, {3, 4}});
    QCOMPARE(acc, MetricMatrix({{11, 22}, {43, 4}}));
}

void TstCMathMetrics::weightedSumUsesEnabledWeights()
{
    const QVector<Inspection::_MetricParam> params = {param(2.0), param(-1.5), param(10.0, false)};
    QVector<double> score;
    math.weightedSum({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, params, score);
    QCOMPARE(score, QVector<double>({2 - 6.0, 4 - 7.5, 6 - 9.0}));

    QVector<double> kept = {100.0};
    math.weightedSum({{1, 2}}, {param(1.0)}, kept);
    QCOMPARE(kept, QVector<double>({101.0, 2.0}));

    QVector<double> none;
    math.weightedSum({{1, 2, 3, 4}}, {param(3.0, false)}, none);
    QCOMPARE(none, QVector<double>(4, 0.0));
}

void TstCMathMetrics::collectSumsZValuesOverPresentations()
{
    Inspection inspection;
    inspection.metricParams = {param(1.0), param(2.0)};
    const QUuid a = inspection.metricParams[0].uid;
    const QUuid b = inspection.metricParams[1].uid;
    Inspection::_Test test = presentedTest(3, 2);
    putValue(test, 1, 0, a, 1);
    putValue(test, 1, 1, a, 2);
    putValue(test, 1, 2, a, 3);
    putValue(test, 2, 0, a, 30);  // question 1 of presentation 2 missing: counts 0
    putValue(test, 2, 2, a, 30);
    putValue(test, 1, 1, b, 4);   // b only once: {0, 4, 0}, then constant zeros
    const QByteArray before = storedValues(test);

    MetricMatrix values;
    MetricZMap z;
    math.collectQuestValues(inspection, test, values, z);

    const double r = std::sqrt(1.5);
    const double h = 1 / std::sqrt(0.5);  // {30, 0, 30}: ±1/sqrt(2), ∓sqrt(2)
    QCOMPARE(values.size(), 2);
    QVERIFY(near(values[0], {-r + h / 2, 0.0 - h, r + h / 2}));
    QVERIFY(near(values[1], {-h / 2, h, -h / 2}));
    QCOMPARE(z.keys(), QList<int>({0, 1}));
    QVERIFY(near({z[0][1][b], z[1][1][a]}, {h, -h}));
    QCOMPARE(z[1][0][b], 0.0);
    // Reading left the test's stored values as they were.
    QCOMPARE(storedValues(test), before);
}

void TstCMathMetrics::collectReadsValuesAbove32767()
{
    Inspection inspection;
    inspection.metricParams = {param(1.0)};
    const QUuid a = inspection.metricParams[0].uid;
    Inspection::_Test test = presentedTest(3, 1);
    putValue(test, 1, 0, a, 30000);
    putValue(test, 1, 1, a, 40000);
    putValue(test, 1, 2, a, 50000);
    MetricMatrix values;
    MetricZMap z;
    math.collectQuestValues(inspection, test, values, z);
    QVERIFY(values[0][0] < values[0][1] && values[0][1] < values[0][2]);
}

void TstCMathMetrics::collectLeavesOutputsWithoutPresentations()
{
    Inspection inspection;
    inspection.metricParams = {param(1.0)};
    MetricMatrix values = {{7.0}};
    MetricZMap z;
    z[4][4][QUuid()] = 4.0;
    const MetricMatrix valuesBefore = values;
    const MetricZMap zBefore = z;
    math.collectQuestValues(inspection, presentedTest(3, 0), values, z);
    math.collectQuestValues(inspection, presentedTest(0, 0), values, z);
    QCOMPARE(values, valuesBefore);
    QCOMPARE(z, zBefore);
}

void TstCMathMetrics::scoresOfEqualSumsAreZero()
{
    Inspection inspection;
    inspection.metricParams = {param(1.0)};
    Inspection::_Test test = presentedTest(5, 1);
    for (int q = 0; q < 5; ++q)
        putValue(test, 1, q, inspection.metricParams[0].uid, 23);
    const CMathMetrics::QuestionScores scores = math.scoreQuestions(inspection, test);
    QCOMPARE(scores.sums, QVector<double>(5, 0.0));
    QCOMPARE(scores.t, QVector<double>(5, 0.0));
    QCOMPARE(scores.probability, QVector<double>(5, 0.0));
}

void TstCMathMetrics::scoresAndLimitsOfATest()
{
    Inspection inspection;
    inspection.metricParams = {param(2.0)};
    const QUuid a = inspection.metricParams[0].uid;
    Inspection::_Test test = presentedTest(4, 1);
    const QVector<int> raw = {1, 3, 5, 7};  // z: ±1.342, ±0.447
    for (int q = 0; q < raw.size(); ++q)
        putValue(test, 1, q, a, raw[q]);
    const CMathMetrics::QuestionScores scores = math.scoreQuestions(inspection, test);
    QCOMPARE(scores.sums.size(), 4);
    const double sigma = std::sqrt(math.variance(scores.sums));
    QCOMPARE(sigma, 2.0);
    for (int q = 0; q < 4; ++q) {
        QCOMPARE(scores.t[q], scores.sums[q] / 2.0);
        QCOMPARE(scores.probability[q], math.studentProbability(4, scores.t[q]));
    }
    QCOMPARE(scores.probability[3], 0.8);  // t 1.342 for df 4: 1.19 < t <= 1.533

    const CMathMetrics::ClassLimits limits = math.classLimits(inspection, test);
    QCOMPARE(limits.sums, scores.sums);
    QCOMPARE(limits.low, (scores.sums[0] + scores.sums[1]) / 2);
    QCOMPARE(limits.high, (scores.sums[2] + scores.sums[3]) / 2);

    Inspection unmeasured;
    const CMathMetrics::ClassLimits none = math.classLimits(unmeasured, test);
    QVERIFY(none.sums.isEmpty());
    QCOMPARE(none.low, 0.0);
    QCOMPARE(none.high, 0.0);
    QVERIFY(math.scoreQuestions(unmeasured, test).sums.isEmpty());
}

VUG_TEST_MAIN(TstCMathMetrics, QCoreApplication)
#include "tst_cmathmetrics.moc"
