#include "BallFixtures.h"
#include "StoreFixtures.h"
#include "tests/support/TestHome.h"

#include <QJsonArray>
#include <QTemporaryDir>

using namespace BallFixtures;
using namespace StoreFixtures;

namespace {

const QString kMetricParamsId = QStringLiteral("{0D379B2C-35B3-4F1C-9E3D-DB9BC88C010E}");

Inspection::_MetricValuation measure(int group, int quest, const QUuid &param, int value)
{
    Inspection::_MetricValuation entry;
    entry.iGroup = group;
    entry.iQuest = quest;
    entry.uidParam = param;
    entry.ptStart_x = 1.25 * value;
    entry.ptStart_y = -2.5;
    entry.ptEnd_x = 3.75 * value;
    entry.ptEnd_y = 4.5;
    entry.nValue = value;
    return entry;
}

void putMeasure(MetricValuationMap &values, const Inspection::_MetricValuation &entry)
{
    values[entry.iGroup][entry.iQuest][entry.uidParam] = entry;
}

Inspection::_MetricParam param(const QString &name, int channel, int kind)
{
    Inspection::_MetricParam p;
    p.Name = name;
    p.uid = QUuid::createUuid();
    p.nKodChannel = qint16(channel);
    p.bEnable = kind % 2;
    p.eMet = kind;
    p.dK = 0.5 * kind;
    p.sDescription = name + QStringLiteral(" описание");
    p.bAuto = !p.bEnable;
    return p;
}

void compareBall(const Inspection::_BallValuation &a, const Inspection::_BallValuation &b)
{
    QCOMPARE(a.iGroup, b.iGroup);
    QCOMPARE(a.iQuest, b.iQuest);
    QCOMPARE(a.GSRPar, b.GSRPar);
    QCOMPARE(a.FPGPar, b.FPGPar);
    QCOMPARE(a.nRG, b.nRG);
    QCOMPARE(a.bEnable, b.bEnable);
}

void compareMeasure(const Inspection::_MetricValuation &a, const Inspection::_MetricValuation &b)
{
    QCOMPARE(a.iGroup, b.iGroup);
    QCOMPARE(a.iQuest, b.iQuest);
    QCOMPARE(a.uidParam, b.uidParam);
    QCOMPARE(a.ptStart_x, b.ptStart_x);
    QCOMPARE(a.ptStart_y, b.ptStart_y);
    QCOMPARE(a.ptEnd_x, b.ptEnd_x);
    QCOMPARE(a.ptEnd_y, b.ptEnd_y);
    QCOMPARE(a.nValue, b.nValue);
}

void compareParam(const Inspection::_MetricParam &a, const Inspection::_MetricParam &b)
{
    QCOMPARE(a.Name, b.Name);
    QCOMPARE(a.uid, b.uid);
    QCOMPARE(a.nKodChannel, b.nKodChannel);
    QCOMPARE(a.bEnable, b.bEnable);
    QCOMPARE(a.eMet, b.eMet);
    QCOMPARE(a.dK, b.dK);
    QCOMPARE(a.sDescription, b.sDescription);
    QCOMPARE(a.bAuto, b.bAuto);
}

QJsonObject onlyDocument(const QString &path, int kind, const QString &testId)
{
    const QVector<InspectionStore::Row> rows = rowsOf(path, kind);
    QJsonObject document;
    if (rows.size() == 1 && rows[0].testId == testId)
        BinaryJson::decode(rows[0].data, document);
    return document;
}

}  // namespace

class TestScoringRecords : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void metricParamJsonRoundTrip();
    void metricParamReadsMissingKeys();
    void ballValuationRoundTripsThroughTheFile();
    void ballValuationOfNewTestSavesEmptyArrays();
    void ballValuationMergesIntoHeldScores();
    void metricValuationRoundTripsAndMerges();
    void metricParamsRoundTripUnderTheirFixedRow();
    void metricParamsLoadStartsEmpty();
    void metricCatalogueSurvivesFailedSave();
    void savesNeverCreateASubjectFile();

private:
    QString pathOf(const QString &name) const { return m_dir->filePath(name); }
    QScopedPointer<QTemporaryDir> m_dir;
};

void TestScoringRecords::init()
{
    m_dir.reset(new QTemporaryDir);
}

void TestScoringRecords::metricParamJsonRoundTrip()
{
    const Inspection::_MetricParam p = param(QStringLiteral("Амплитуда КГР"), -1, 3);
    QJsonObject object;
    p.toJson(object);
    QCOMPARE(object.size(), 8);
    QCOMPARE(object.value(QStringLiteral("uid")).toString(), p.uid.toString());
    QCOMPARE(object.value(QStringLiteral("nKodChannel")).toInt(), -1);
    Inspection::_MetricParam back;
    back.fromJson(object);
    compareParam(back, p);
}

void TestScoringRecords::metricParamReadsMissingKeys()
{
    Inspection::_MetricParam p = param(QStringLiteral("old"), 4, 5);
    p.fromJson({{QStringLiteral("uid"), QStringLiteral("not a guid")}, {QStringLiteral("nKodChannel"), 65536 + 7}});
    QVERIFY(p.Name.isEmpty());
    QVERIFY(p.uid.isNull());
    QCOMPARE(p.nKodChannel, qint16(7));
    QCOMPARE(p.bEnable, false);
    QCOMPARE(p.eMet, 0);
    QCOMPARE(p.dK, 0.0);
    QVERIFY(p.sDescription.isEmpty());
    QCOMPARE(p.bAuto, false);
}

void TestScoringRecords::ballValuationRoundTripsThroughTheFile()
{
    const QString path = pathOf("ball.qmz");
    Inspection inspection(path);
    inspection.tests.append(recordedTest("scored", 0));
    Inspection::_Test *test = inspection.test(0);
    putBall(test->valuationBall_3210123, ball(2, 1, -3, 2, 1, false));
    putBall(test->valuationBall_3210123, ball(1, 2, 3, -2, -1));
    putBall(test->valuationBall_3210123, ball(1, 0, 1, 0, 0));
    putBall(test->valuationBall_101, ball(1, 1, -1, 1, 0));
    putBall(test->valuationBall_012, ball(3, 0, 2, 1, 0));
    test->valuationBall_ChannelK[0] = 0.5f;
    test->valuationBall_ChannelK[1] = 1.5f;
    test->valuationBall_ChannelK[2] = 2.25f;
    test->valuationBall_GroupsDisabled = {2, 7};
    QCOMPARE(inspection.saveTestStruct(test), StoreResult::Ok);
    QCOMPARE(inspection.saveBallValuation(test), StoreResult::Ok);
    putBall(test->valuationBall_101, ball(1, 1, 1, 1, 1));
    QCOMPARE(inspection.saveBallValuation(test), StoreResult::Ok);

    // One row, arrays flat and ordered by presentation, then question.
    const QJsonObject document = onlyDocument(path, InspectionDataType::BallValuation, test->id.toString());
    const QJsonArray scale = document.value(QStringLiteral("valuationBall_3210123")).toArray();
    QCOMPARE(scale.size(), 3);
    QCOMPARE(scale[0].toObject().value(QStringLiteral("iQuest")).toInt(), 0);
    QCOMPARE(scale[1].toObject().value(QStringLiteral("iQuest")).toInt(), 2);
    QCOMPARE(scale[2].toObject().value(QStringLiteral("iGroup")).toInt(), 2);
    QCOMPARE(scale[2].toObject().size(), 6);

    Inspection loaded;
    QCOMPARE(loaded.load(path), StoreResult::Ok);
    Inspection::_Test *back = loaded.test(0);
    QVERIFY(back);
    QVERIFY(back->valuationBall_3210123.isEmpty());  // scores come with the recorded data
    QCOMPARE(loaded.loadRecording(back), StoreResult::Ok);
    QCOMPARE(back->valuationBall_3210123.size(), 2);
    compareBall(back->valuationBall_3210123[2][1], test->valuationBall_3210123[2][1]);
    compareBall(back->valuationBall_3210123[1][2], test->valuationBall_3210123[1][2]);
    compareBall(back->valuationBall_101[1][1], ball(1, 1, 1, 1, 1));
    compareBall(back->valuationBall_012[3][0], test->valuationBall_012[3][0]);
    QCOMPARE(back->valuationBall_ChannelK[0], 0.5f);
    QCOMPARE(back->valuationBall_ChannelK[1], 1.5f);
    QCOMPARE(back->valuationBall_ChannelK[2], 2.25f);
    QCOMPARE(back->valuationBall_GroupsDisabled, test->valuationBall_GroupsDisabled);
}

void TestScoringRecords::ballValuationOfNewTestSavesEmptyArrays()
{
    const QString path = pathOf("empty.qmz");
    Inspection inspection(path);
    Inspection::_Test test("blank");
    QCOMPARE(inspection.saveTestStruct(&test), StoreResult::Ok);
    QCOMPARE(inspection.saveBallValuation(&test), StoreResult::Ok);
    const QJsonObject document = onlyDocument(path, InspectionDataType::BallValuation, test.id.toString());
    QCOMPARE(document.size(), 5);
    for (const char *key : {"valuationBall_3210123", "valuationBall_101", "valuationBall_012",
                            "valuationBall_GroupsDisabled"}) {
        QVERIFY(document.value(QLatin1String(key)).isArray());
        QVERIFY(document.value(QLatin1String(key)).toArray().isEmpty());
    }
    QCOMPARE(document.value(QStringLiteral("valuationBall_ChannelK")).toArray(), QJsonArray({1.0, 1.0, 1.0}));
}

void TestScoringRecords::ballValuationMergesIntoHeldScores()
{
    Inspection::_Test test("held");
    putBall(test.valuationBall_3210123, ball(1, 0, 1, 1, 1));
    putBall(test.valuationBall_3210123, ball(1, 1, 2, 2, 2));
    putBall(test.valuationBall_012, ball(4, 4, 2, 2, 2));
    test.valuationBall_ChannelK[1] = 3.0f;
    test.valuationBall_ChannelK[2] = 4.0f;
    test.valuationBall_GroupsDisabled = {5};

    QJsonObject replaced;
    ball(1, 1, -3, -3, -3).toJson(replaced);
    QJsonObject first;
    ball(2, 0, 1, 1, 1).toJson(first);
    QJsonObject later;
    ball(2, 0, 3, 3, 3).toJson(later);
    const QJsonObject withoutEnable{{QStringLiteral("iGroup"), 3}, {QStringLiteral("iQuest"), 1}};
    const QJsonObject document{
        {QStringLiteral("valuationBall_3210123"), QJsonArray{replaced, first, later, withoutEnable}},
        {QStringLiteral("valuationBall_101"), QJsonArray{QStringLiteral("not an object")}},
        {QStringLiteral("valuationBall_ChannelK"), QJsonArray{0.25}},
        {QStringLiteral("valuationBall_GroupsDisabled"), QJsonArray{1, 2}}};
    Inspection::loadBallValuation(&test, document);

    const BallValuationMap &scale = test.valuationBall_3210123;
    compareBall(scale[1][0], ball(1, 0, 1, 1, 1));        // not mentioned: kept
    compareBall(scale[1][1], ball(1, 1, -3, -3, -3));     // replaced
    compareBall(scale[2][0], ball(2, 0, 3, 3, 3));        // the later element wins
    compareBall(scale[3][1], ball(3, 1, 0, 0, 0, false)); // no "bEnable" reads false
    compareBall(test.valuationBall_101[0][0], ball(0, 0, 0, 0, 0, false));
    compareBall(test.valuationBall_012[4][4], ball(4, 4, 2, 2, 2));  // key missing: unchanged
    QCOMPARE(test.valuationBall_ChannelK[0], 0.25f);
    QCOMPARE(test.valuationBall_ChannelK[1], 3.0f);
    QCOMPARE(test.valuationBall_ChannelK[2], 4.0f);
    QCOMPARE(test.valuationBall_GroupsDisabled, QSet<qint32>({1, 2, 5}));

    Inspection::loadBallValuation(&test, {{QStringLiteral("valuationBall_ChannelK"), QJsonArray{6, 7, 8, 9, 10}}});
    QCOMPARE(test.valuationBall_ChannelK[0], 6.0f);
    QCOMPARE(test.valuationBall_ChannelK[2], 8.0f);
}

void TestScoringRecords::metricValuationRoundTripsAndMerges()
{
    const QString path = pathOf("metric.qmz");
    const QUuid low(QStringLiteral("{00000001-0000-4000-8000-000000000000}"));
    const QUuid high(QStringLiteral("{f0000001-0000-4000-8000-000000000000}"));
    Inspection inspection(path);
    inspection.tests.append(recordedTest("measured", 0));
    Inspection::_Test *test = inspection.test(0);
    putMeasure(test->valuationMetric, measure(2, 0, low, 20));
    putMeasure(test->valuationMetric, measure(1, 3, high, 13));
    putMeasure(test->valuationMetric, measure(1, 3, low, 31));
    putMeasure(test->valuationMetric, measure(1, 0, QUuid::createUuid(), 10));  // parameter no longer listed
    QCOMPARE(inspection.saveTestStruct(test), StoreResult::Ok);
    QCOMPARE(inspection.saveMetricValuation(test), StoreResult::Ok);
    QCOMPARE(inspection.saveMetricValuation(test), StoreResult::Ok);

    const QJsonArray values = onlyDocument(path, InspectionDataType::MetricValuation, test->id.toString())
                                  .value(QStringLiteral("valuationMetric"))
                                  .toArray();
    QCOMPARE(values.size(), 4);
    const QStringList order = {"10", "31", "13", "20"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(QString::number(values[i].toObject().value(QStringLiteral("nValue")).toInt()), order[i]);

    // The loaded test already holds a value that the file replaces and one it keeps.
    Inspection loaded;
    QCOMPARE(loaded.load(path), StoreResult::Ok);
    Inspection::_Test *back = loaded.test(0);
    QVERIFY(back);
    putMeasure(back->valuationMetric, measure(1, 3, low, 99));
    putMeasure(back->valuationMetric, measure(5, 5, low, 55));
    QCOMPARE(loaded.loadRecording(back), StoreResult::Ok);
    compareMeasure(back->valuationMetric[1][3][low], measure(1, 3, low, 31));
    compareMeasure(back->valuationMetric[1][3][high], measure(1, 3, high, 13));
    compareMeasure(back->valuationMetric[2][0][low], measure(2, 0, low, 20));
    compareMeasure(back->valuationMetric[5][5][low], measure(5, 5, low, 55));
    QCOMPARE(back->valuationMetric[1][0].size(), 1);

    QJsonObject first;
    measure(7, 1, high, 1).toJson(first);
    QJsonObject later;
    measure(7, 1, high, 2).toJson(later);
    Inspection::loadMetricValuation(back, {{QStringLiteral("valuationMetric"), QJsonArray{first, later}}});
    QCOMPARE(back->valuationMetric[7][1][high].nValue, 2);
}

void TestScoringRecords::metricParamsRoundTripUnderTheirFixedRow()
{
    const QString path = pathOf("params.qmz");
    makeSubjectFile(path);
    Inspection inspection(path);
    inspection.metricParams = {param(QStringLiteral("Я"), -1, 1), param(QStringLiteral("А"), 12, 4),
                               param(QStringLiteral("М"), 0, 5)};
    QCOMPARE(inspection.saveMetricParams(), StoreResult::Ok);
    inspection.metricParams.removeLast();
    QCOMPARE(inspection.saveMetricParams(), StoreResult::Ok);
    const QJsonObject document = onlyDocument(path, InspectionDataType::Singleton, kMetricParamsId);
    QCOMPARE(document.value(QStringLiteral("valuationMetricParams")).toArray().size(), 2);

    Inspection loaded(path);
    QCOMPARE(loaded.loadMetricParams(), StoreResult::Ok);
    QCOMPARE(loaded.metricParams.size(), 2);
    compareParam(loaded.metricParams[0], inspection.metricParams[0]);
    compareParam(loaded.metricParams[1], inspection.metricParams[1]);

    inspection.metricParams.clear();
    QCOMPARE(inspection.saveMetricParams(), StoreResult::Ok);
    QCOMPARE(onlyDocument(path, InspectionDataType::Singleton, kMetricParamsId),
             QJsonObject({{QStringLiteral("valuationMetricParams"), QJsonArray()}}));
}

void TestScoringRecords::metricParamsLoadStartsEmpty()
{
    const QString path = pathOf("noparams.qmz");
    makeSubjectFile(path);
    Inspection inspection(path);
    inspection.metricParams = {param(QStringLiteral("stale"), 1, 1)};
    QCOMPARE(inspection.loadMetricParams(), StoreResult::Ok);
    QVERIFY(inspection.metricParams.isEmpty());

    inspection.metricParams = {param(QStringLiteral("stale"), 1, 1)};
    inspection.path = pathOf("missing.qmz");
    QCOMPARE(inspection.loadMetricParams(), StoreResult::NotOpen);
    QVERIFY(inspection.metricParams.isEmpty());
}

void TestScoringRecords::metricCatalogueSurvivesFailedSave()
{
    const QString path = pathOf("catalogue.qmz");
    makeSubjectFile(path);
    Inspection inspection(path);
    inspection.metricParams = {param(QStringLiteral("old"), 2, 2)};
    QCOMPARE(inspection.saveMetricParams(), StoreResult::Ok);
    failWritesAfter(path, InspectionDataType::Singleton, 1);

    inspection.metricParams = {param(QStringLiteral("new"), 3, 3), param(QStringLiteral("newer"), 4, 4)};
    QCOMPARE(inspection.saveMetricParams(), StoreResult::NotWritten);
    Inspection loaded(path);
    QCOMPARE(loaded.loadMetricParams(), StoreResult::Ok);
    QCOMPARE(loaded.metricParams.size(), 1);
    QCOMPARE(loaded.metricParams[0].Name, QStringLiteral("old"));
}

void TestScoringRecords::savesNeverCreateASubjectFile()
{
    const QString path = pathOf("absent.qmz");
    Inspection inspection(path);
    Inspection::_Test test("t");
    putBall(test.valuationBall_101, ball(1, 1, 1, 1, 1));
    QCOMPARE(inspection.saveBallValuation(&test), StoreResult::NotOpen);
    QCOMPARE(inspection.saveMetricValuation(&test), StoreResult::NotOpen);
    QCOMPARE(inspection.saveMetricParams(), StoreResult::NotOpen);
    QVERIFY(!QFile::exists(path));
}

VUG_TEST_MAIN(TestScoringRecords, QCoreApplication)
#include "tst_scoringrecords.moc"
