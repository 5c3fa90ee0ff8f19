#include "data/Inspection.h"
#include "tests/support/TestHome.h"

// The test record: channels by code, the fallback record, samples, presentations.
class TestInspectionTest : public QObject
{
    Q_OBJECT
private slots:
    void freshTestHasCodesInOrder();
    void unknownCodesGiveUsableFallback();
    void samplesByCode();
    void samplesLoadedByAnyChannel();
    void presentationCount();
    void idsAndCopies();
    void clearRecordingKeepsStructure();
    void channelAtPositionNeedsRecordedChannel();
    void analysisIntervalJson();
};

void TestInspectionTest::freshTestHasCodesInOrder()
{
    Inspection::_Test test(QStringLiteral("Тест"));
    QCOMPARE(test.name, QStringLiteral("Тест"));
    for (int code = 0; code < 13; ++code) {
        QCOMPARE(test.channel(code).Kod, code);
        QCOMPARE(test.channel(code).KodDrv, 0);
        QCOMPARE(test.findChannel(code), &test.channel(code));
    }
    QCOMPARE(test.valuationBall_ChannelK[0], 1.0f);
    QCOMPARE(test.valuationBall_ChannelK[2], 1.0f);
    QVERIFY(!test.DateTimeRecorded.isValid());
    QVERIFY(test.idsensor.isNull());
}

void TestInspectionTest::unknownCodesGiveUsableFallback()
{
    Inspection::_Test test;
    for (int code : {-1, 13, 1000}) {
        Inspection::_Channel &fallback = test.channel(code);
        QCOMPARE(fallback.KodDrv, -1);
        QCOMPARE(fallback.Kod, 0);
        QVERIFY(fallback.Enable && !*fallback.Enable);
        // Every display setting can be read: none is null.
        QVERIFY(fallback.PenWidth && fallback.Color && fallback.TubeColor && fallback.Amp2);
        QVERIFY(fallback.ChannelPos && fallback.EnableFilter && fallback.EnableFilter2 && fallback.Inverse);
        // A write through the fallback does not reach the next caller.
        *fallback.Enable = true;
        *fallback.PenWidth = 99;
        QVERIFY(!*test.channel(code).Enable);
        QVERIFY(*test.channel(code).PenWidth != 99);
    }
    QVERIFY(!test.findChannel(13));
}

void TestInspectionTest::samplesByCode()
{
    Inspection::_Test test;
    QVERIFY(!test.samples(13));
    QVERIFY(!test.samples(-1));
    for (int code = 0; code < 13; ++code)
        test.samples(code)->fill(qint16(code), code + 1);
    // Access goes by code, not by declared position (PG is declared third).
    QCOMPARE(test.dataPG.size(), 5);
    QCOMPARE(test.dataRG_LO.value(0), qint16(2));
    QCOMPARE(test.dataRG_HI.value(0), qint16(3));
    QCOMPARE(test.dataRG_DIFF.size(), 13);
}

void TestInspectionTest::samplesLoadedByAnyChannel()
{
    QVERIFY(!Inspection::_Test().samplesLoaded());
    // Any one channel alone counts, also while КГР is empty.
    for (int code = 0; code < 13; ++code) {
        Inspection::_Test test;
        test.samples(code)->append(0);
        QVERIFY2(test.samplesLoaded(), qPrintable(QString::number(code)));
    }
    Inspection::_Test cleared;
    cleared.dataRG_DIFF.fill(3, 10);
    cleared.clearRecording();
    QVERIFY(!cleared.samplesLoaded());
}

void TestInspectionTest::presentationCount()
{
    Inspection::_Test test;
    test.labels.resize(9);
    QCOMPARE(test.presentationCount(), 0);
    for (int i = 0; i < 4; ++i)
        test.addTestTheme(QString::number(i));
    QCOMPARE(test.presentationCount(), 2);
}

void TestInspectionTest::idsAndCopies()
{
    Inspection::_Test a, b;
    QVERIFY(a.id != b.id);
    QVERIFY(!a.id.isNull());
    a.labelsModified = true;
    a.extraModeChanged = true;
    const Inspection::_Test copy = a;
    QCOMPARE(copy.id, a.id);
    QVERIFY(copy.labelsModified && copy.extraModeChanged);
}

void TestInspectionTest::clearRecordingKeepsStructure()
{
    Inspection::_Test test;
    test.addTheme(QStringLiteral("Вопрос"), QuestionKind::Test, 1, -1);
    test.valuationBall_101[1][0].GSRPar = 1;
    test.appendLabel({1, 0, 10, 20, 30, 40});
    test.appendLabel({1, 10000, 10, 20, 30, 40});
    test.labelsForRestore = test.labels;
    test.dataGSR.fill(1, 100);
    test.TimeMM.fill(5, 100);
    test.clearRecording();
    QVERIFY(test.labels.isEmpty() && test.labelsNULL.isEmpty() && test.labelsForRestore.isEmpty());
    QVERIFY(test.dataGSR.isEmpty() && test.TimeMM.isEmpty());
    QCOMPARE(test.themis.size(), 1);
    QCOMPARE(test.orders.size(), 3);
    QCOMPARE(test.valuationBall_101[1][0].GSRPar, 1);
}

void TestInspectionTest::channelAtPositionNeedsRecordedChannel()
{
    Inspection::_Test test;
    qint32 positions[13];
    for (int code = 0; code < 13; ++code) {
        positions[code] = 12 - code;
        test.channel(code).ChannelPos = &positions[code];
    }
    QVERIFY(!test.channelAtPosition(12));  // code 0 stands there but is not recorded
    test.channel(0).KodDrv = 1;
    QCOMPARE(test.channelAtPosition(12), &test.channel(0));
    QVERIFY(!test.channelAtPosition(13));
}

void TestInspectionTest::analysisIntervalJson()
{
    Inspection::_AnalysisInterval interval;
    interval.fromJson(QJsonObject{{QStringLiteral("nIABegin"), QStringLiteral("text")}});
    QCOMPARE(interval.nIALength, 0.0);
    QCOMPARE(interval.nIABegin, 0.0);
    interval.nIALength = 10;
    interval.nIAEnd = 2.5;
    QJsonObject object;
    interval.toJson(object);
    QCOMPARE(object.keys(), (QStringList{"nIABegin", "nIAEnd", "nIALength"}));
    Inspection::_AnalysisInterval back;
    back.fromJson(object);
    QCOMPARE(back.nIALength, 10.0);
    QCOMPARE(back.nIAEnd, 2.5);
    QCOMPARE(back.lengthTicks(), 200);
}

VUG_TEST_MAIN(TestInspectionTest, QCoreApplication)
#include "tst_inspectiontest.moc"
