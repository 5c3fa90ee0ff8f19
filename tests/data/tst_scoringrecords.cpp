#include "data/InspectionMetricParam.h"
#include "tests/support/TestHome.h"

class TestScoringRecords : public QObject
{
    Q_OBJECT
private slots:
    void metricParamJsonRoundTrip();
    void metricParamReadsMissingKeys();
};

void TestScoringRecords::metricParamJsonRoundTrip()
{
    InspectionMetricParam param;
    param.Name = QStringLiteral("Амплитуда КГР");
    param.uid = QUuid(QStringLiteral("{0b4e9a61-2f55-4c1a-8d3e-7a9c1e2f3b44}"));
    param.nKodChannel = -1;
    param.bEnable = true;
    param.eMet = 3;
    param.dK = 2.5;
    param.sDescription = QStringLiteral("по оси XY");
    param.bAuto = true;
    QJsonObject object;
    param.toJson(object);
    QCOMPARE(object.size(), 8);
    QCOMPARE(object.value(QStringLiteral("uid")).toString(), param.uid.toString());
    QCOMPARE(object.value(QStringLiteral("nKodChannel")).toInt(), -1);

    InspectionMetricParam back;
    back.fromJson(object);
    QCOMPARE(back.Name, param.Name);
    QCOMPARE(back.uid, param.uid);
    QCOMPARE(back.nKodChannel, qint16(-1));
    QCOMPARE(back.bEnable, true);
    QCOMPARE(back.eMet, 3);
    QCOMPARE(back.dK, 2.5);
    QCOMPARE(back.sDescription, param.sDescription);
    QCOMPARE(back.bAuto, true);
}

void TestScoringRecords::metricParamReadsMissingKeys()
{
    InspectionMetricParam param;
    param.Name = QStringLiteral("old");
    param.uid = QUuid::createUuid();
    param.bEnable = true;
    QJsonObject object{{QStringLiteral("uid"), QStringLiteral("not a guid")},
                       {QStringLiteral("nKodChannel"), 65536 + 7}};
    param.fromJson(object);
    QVERIFY(param.Name.isEmpty());
    QVERIFY(param.uid.isNull());
    QCOMPARE(param.nKodChannel, qint16(7));
    QCOMPARE(param.bEnable, false);
    QCOMPARE(param.eMet, 0);
    QCOMPARE(param.dK, 0.0);
    QCOMPARE(param.bAuto, false);
}

VUG_TEST_MAIN(TestScoringRecords, QCoreApplication)
#include "tst_scoringrecords.moc"
