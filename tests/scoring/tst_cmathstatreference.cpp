#include "StatTables.h"
#include "tests/support/TestHome.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <cmath>

// The discriminant fit of seeded feature tables against stat_reference.py
// beside this file, an independent numpy rendering of the same fit, which also
// checks the correlations with numpy.corrcoef.

namespace {

using Row = CMathStat::Row;
constexpr int m = DiscriminantResult::featureCount;

QByteArray toJson(const StatTable &table, const DiscriminantResult &fitted)
{
    QJsonArray rows, kinds, groups, weights;
    for (const Row &row : table.rows) {
        QJsonArray values;
        for (double value : row)
            values.append(value);
        rows.append(values);
    }
    for (const StatEntry &entry : table.entries) {
        kinds.append(entry.kind);
        groups.append(entry.globalGroup);
    }
    for (double weight : fitted.weights)
        weights.append(weight);
    const QJsonObject object{{"rows", rows}, {"kinds", kinds}, {"groups", groups}, {"mask", table.mask},
                             {"weights", weights}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QJsonObject runReference(const StatTable &table, const DiscriminantResult &fitted)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("table.json"));
    if (!file.open(QIODevice::WriteOnly) || file.write(toJson(table, fitted)) < 0)
        return {};
    file.close();
    QProcess reference;
    reference.start(VUG_PYTHON, {VUG_STAT_REFERENCE, file.fileName()});
    if (!reference.waitForFinished(120000) || reference.exitCode() != 0) {
        qWarning() << reference.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(reference.readAllStandardOutput()).object();
}

bool same(double actual, double expected)
{
    return std::abs(actual - expected) <= 1e-9 * std::max({1.0, std::abs(actual), std::abs(expected)});
}

QString mismatch(const QString &what, double actual, double expected)
{
    return QString("%1: %2, expected %3").arg(what).arg(actual, 0, 'g', 17).arg(expected, 0, 'g', 17);
}

#define COMPARE_VALUE(what, actual, expected)                                              \
    do {                                                                                   \
        const double a_ = (actual), e_ = (expected);                                       \
        QVERIFY2(same(a_, e_), qPrintable(mismatch(what, a_, e_)));                        \
    } while (false)

}  // namespace

Q_DECLARE_METATYPE(CMathStat::Row)

class TestCMathStatReference : public QObject
{
    Q_OBJECT
private slots:
    void matchesReference_data();
    void matchesReference();
};

void TestCMathStatReference::matchesReference_data()
{
    QTest::addColumn<uint>("seed");
    QTest::addColumn<int>("presentations");
    QTest::addColumn<QVector<int>>("kinds");
    QTest::addColumn<Row>("planted");
    QTest::addColumn<int>("mask");
    QTest::addColumn<bool>("sparse");

    const Row planted = plantedShift();
    Row lower;
    std::transform(planted.cbegin(), planted.cend(), lower.begin(), [](double v) { return -std::abs(v); });

    QTest::newRow("planted, test questions") << 21u << 30 << QVector<int>{0, 1, 2, 1, 0, 0} << planted << -1 << false;
    QTest::newRow("masked features, international kinds")
        << 22u << 25 << QVector<int>{0, 1, 103, 1, 101, 2, 107} << planted << ~((1 << 3) | (1 << 7) | (1 << 12))
        << false;
    QTest::newRow("control lower: R < 0") << 23u << 20 << QVector<int>{0, 1, 0, 1, 2} << lower << -1 << false;
    QTest::newRow("uneven presentations") << 24u << 40 << QVector<int>{0, 1, 0, 2, 1, 0} << planted << -1 << true;
    QTest::newRow("1100 presentations") << 25u << 1100 << QVector<int>{0, 1, 0} << planted << -1 << false;
}

void TestCMathStatReference::matchesReference()
{
    QFETCH(uint, seed);
    QFETCH(int, presentations);
    QFETCH(QVector<int>, kinds);
    QFETCH(Row, planted);
    QFETCH(int, mask);
    QFETCH(bool, sparse);

    StatTable table = syntheticTable(seed, presentations, kinds, planted, sparse);
    table.mask = mask;
    DiscriminantResult fitted;
    QVERIFY(fitted.discriminate(table.rows, table.entries, DiscriminantResult::Mask(quint32(mask))));
    CMathStat stat = statOf(table);
    QVERIFY(stat.calcDiscriminant(false, false));

    const QJsonObject expected = runReference(table, fitted);
    QVERIFY2(!expected.isEmpty(), "the reference script did not run");
    QVERIFY(expected.value("fitted").toBool());

    COMPARE_VALUE("R", stat.correlations.value(0), expected.value("rTotal").toDouble());
    COMPARE_VALUE("T", stat.tValues.value(0), expected.value("tTotal").toDouble());
    COMPARE_VALUE("Q", stat.quality, expected.value("quality").toDouble());
    QCOMPARE(stat.controlCount, expected.value("controlCount").toInt());
    QCOMPARE(stat.excludedCount, expected.value("excludedCount").toInt());
    QCOMPARE(stat.count, table.rows.size());
    QCOMPARE(stat.featureMask, mask & 0x3FFF);
    // Independent of the fit's own arithmetic: numpy's correlation of the composite with the class.
    COMPARE_VALUE("corrcoef of the composite", fitted.rTotal, expected.value("corrcoefTotal").toDouble());

    const QJsonArray order = expected.value("order").toArray();
    for (int j = 0; j < m; ++j) {
        const QString feature = QString(" of feature %1").arg(j);
        COMPARE_VALUE("r" + feature, stat.correlations.value(j + 1), expected.value("featureR")[j].toDouble());
        COMPARE_VALUE("t" + feature, stat.tValues.value(j + 1), expected.value("featureT")[j].toDouble());
        COMPARE_VALUE("weight" + feature, fitted.weights[size_t(j)], expected.value("weights")[j].toDouble());
        QCOMPARE(fitted.order[size_t(j)], order[j].toInt());
        const QJsonValue corrcoef = expected.value("corrcoefR")[j];
        if (corrcoef.isNull())
            QCOMPARE(stat.correlations.value(j + 1), 0.0);
        else
            COMPARE_VALUE("corrcoef" + feature, stat.correlations.value(j + 1), corrcoef.toDouble());
        QVERIFY(mask & (1 << j) || fitted.weights[size_t(j)] == 0.0);
    }

    const QJsonArray scores = expected.value("scores").toArray();
    QCOMPARE(stat.scores.size(), scores.size());
    for (int i = 0; i < scores.size(); ++i)
        COMPARE_VALUE(QString("score %1").arg(i), stat.scores[i], scores[i].toDouble());
    // The planted difference shows: control entries score above the others.
    double control = 0.0, others = 0.0;
    for (int i = 0; i < stat.entries.size(); ++i)
        (stat.entries[i].kind == StatEntry::Control ? control : others) += stat.scores[i];
    QVERIFY(control / stat.controlCount > others / (stat.count - stat.controlCount));
}

QTEST_GUILESS_MAIN(TestCMathStatReference)
#include "tst_cmathstatreference.moc"
