#include "data/ChannelBindings.h"
#include "data/ChannelUI.h"
#include "tests/data/SettingsFile.h"
#include "tests/support/TestHome.h"

#include <climits>

namespace {

const QUuid kVorkel16(QStringLiteral("{05209770-FCC0-4EBD-99C3-0A64CAFB2B1E}"));

// A test whose channels were all recorded, bound to the display table.
Inspection::_Test recordedTest()
{
    Inspection::_Test test;
    test.idsensor = kVorkel16;
    for (int code = 0; code < ChannelCode::Count; ++code)
        test.channel(code).KodDrv = code + 1;
    bindChannelSettings(test, false);
    return test;
}

void showAllChannels()
{
    for (ChannelUI &entry : channelsUI())
        entry.bEnable = true;
}

}  // namespace

class TestChannelBindings : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        removeSettingsFiles();
        initChannelsUI();
    }
    void bindingWithoutCalibrationKeepsTheRecording();
    void bindingWithCalibrationTakesTheDevicesCalibration();
    void twoTestsShareOneDisplayEntry();
    void recordWithUnknownCodeIsLeftAlone();
    void storingSavesTheTestsCalibrationForItsDevice();
    void nextChannelStepsAndWraps();
    void nextChannelSkipsHiddenAndUnrecorded();
    void nextChannelStaysInsideThePositions_data();
    void nextChannelStaysInsideThePositions();
};

void TestChannelBindings::bindingWithoutCalibrationKeepsTheRecording()
{
    Inspection::_Test test;
    test.idsensor = kVorkel16;
    Inspection::_Channel &gsr = test.channel(ChannelCode::GSR);
    gsr.KodDrv = 4;
    gsr.Offset = 2.5;
    gsr.Amplify = 17.25;
    gsr.ADT = 2;
    gsr.ShiftADT = 33;
    gsr.ADTChanged = true;
    bindChannelSettings(test, false);
    QCOMPARE(gsr.KodDrv, 4);
    QCOMPARE(gsr.Offset, 2.5);
    QCOMPARE(gsr.Amplify, 17.25);
    QCOMPARE(gsr.ADT, 2);
    QCOMPARE(gsr.ShiftADT, 33);
    QVERIFY(gsr.ADTChanged);
    for (int code = 0; code < ChannelCode::Count; ++code) {
        const Inspection::_Channel &record = test.channel(code);
        ChannelUI &entry = channelsUI()[code];
        QCOMPARE(record.Enable, &entry.bEnable);
        QCOMPARE(record.PenWidth, &entry.nPenWidth);
        QCOMPARE(record.Color, &entry.rgbColor);
        QCOMPARE(record.TubeColor, &entry.rgbTubeColor);
        QCOMPARE(record.Amp2, &entry.bAmp2);
        QCOMPARE(record.ChannelPos, &entry.nChannelPos);
        QCOMPARE(record.EnableFilter, &entry.bEnableFilter);
        QCOMPARE(record.EnableFilter2, &entry.bEnableFilter2);
        QCOMPARE(record.Inverse, &entry.bInverse);
    }
}

void TestChannelBindings::bindingWithCalibrationTakesTheDevicesCalibration()
{
    writeSettingsFile(kVorkel16.toString(), "[Channels-2]\nnOffset=2.5\nnAmplify=0.75\nnADT=6\nnShiftADT=-3\n");
    Inspection::_Test test = recordedTest();
    for (int code = 0; code < ChannelCode::Count; ++code) {
        test.channel(code).ADTChanged = true;
        test.channel(code).ShiftADTChanged = true;
    }
    bindChannelSettings(test, true);
    for (int code = 0; code < ChannelCode::Count; ++code) {
        const Inspection::_Channel &record = test.channel(code);
        QCOMPARE(record.KodDrv, -1);
        QVERIFY(!record.ADTChanged && !record.ShiftADTChanged);
    }
    const Inspection::_Channel &lower = test.channel(ChannelCode::RG_LO);
    QCOMPARE(lower.Offset, 2.5);
    QCOMPARE(lower.Amplify, 0.75);
    QCOMPARE(lower.ADT, 6);
    QCOMPARE(lower.ShiftADT, -3);
    QCOMPARE(test.channel(ChannelCode::GSR).Offset, 300.0);
}

void TestChannelBindings::twoTestsShareOneDisplayEntry()
{
    Inspection::_Test first = recordedTest();
    Inspection::_Test second = recordedTest();
    bindChannelSettings(second, true);
    QCOMPARE(first.channel(ChannelCode::PG).Color, second.channel(ChannelCode::PG).Color);
    *first.channel(ChannelCode::PG).Color = QColor(1, 2, 3);
    *first.channel(ChannelCode::PG).Enable = false;
    QCOMPARE(*second.channel(ChannelCode::PG).Color, QColor(1, 2, 3));
    QVERIFY(!*second.channel(ChannelCode::PG).Enable);
    QVERIFY(!channelsUI()[ChannelCode::PG].bEnable);
}

void TestChannelBindings::recordWithUnknownCodeIsLeftAlone()
{
    Inspection::_Test test;
    test.idsensor = kVorkel16;
    Inspection::_Channel &odd = test.channel(ChannelCode::AD);
    odd.Kod = -5;
    odd.Offset = 9.5;
    bindChannelSettings(test, true);
    QCOMPARE(odd.Kod, -5);
    QCOMPARE(odd.Offset, 9.5);
    QVERIFY(!odd.Enable);
    QCOMPARE(odd.KodDrv, 0);

    storeChannelSettings(test);
    DefChannel definitions;
    definitions.loadCalibration(kVorkel16);
    QCOMPARE(definitions.findByCode(ChannelCode::AD)->Offset, 100.0);
}

void TestChannelBindings::storingSavesTheTestsCalibrationForItsDevice()
{
    Inspection::_Test test = recordedTest();
    for (int code = 0; code < ChannelCode::Count; ++code) {
        Inspection::_Channel &record = test.channel(code);
        record.Offset = 0.5 + code;
        record.Amplify = 2.25 * code;
        record.ADT = code % 8;
        record.ShiftADT = 10 * code - 60;
    }
    storeChannelSettings(test);

    DefChannel definitions;
    definitions.loadCalibration(kVorkel16);
    for (int code = 0; code < ChannelCode::Count; ++code) {
        const Inspection::_Channel *definition = definitions.findByCode(code);
        QCOMPARE(definition->Offset, 0.5 + code);
        QCOMPARE(definition->Amplify, 2.25 * code);
        QCOMPARE(definition->ADT, code % 8);
        QCOMPARE(definition->ShiftADT, 10 * code - 60);
    }
    // The display settings are not part of a device's calibration.
    QVERIFY(!readSettingsFile(kVorkel16.toString()).contains("bEnable"));
}

void TestChannelBindings::nextChannelStepsAndWraps()
{
    showAllChannels();
    const Inspection::_Test test = recordedTest();
    // Display order: 3, 2, 0, 4, 9, 1, 5, 10, 6, 7, 8, 11, 12.
    QCOMPARE(nextEnabledChannel(test, -1, 1), 3);
    QCOMPARE(nextEnabledChannel(test, 3, 1), 2);
    QCOMPARE(nextEnabledChannel(test, 12, 1), 3);
    QCOMPARE(nextEnabledChannel(test, 2, -1), 3);
    QCOMPARE(nextEnabledChannel(test, 3, -1), 12);
    QCOMPARE(nextEnabledChannel(test, 0, 0), 0);
    QCOMPARE(nextEnabledChannel(test, 3, 2), 0);
}

void TestChannelBindings::nextChannelSkipsHiddenAndUnrecorded()
{
    const Inspection::_Test unbound;
    QCOMPARE(nextEnabledChannel(unbound, -1, 1), -1);

    Inspection::_Test test = recordedTest();
    bindChannelSettings(test, true);
    QCOMPARE(nextEnabledChannel(test, -1, 1), -1);

    test = recordedTest();
    for (ChannelUI &entry : channelsUI())
        entry.bEnable = false;
    channelsUI()[ChannelCode::TRM].bEnable = true;
    channelsUI()[ChannelCode::AD].bEnable = true;
    test.channel(ChannelCode::AD).KodDrv = -1;
    QCOMPARE(nextEnabledChannel(test, -1, 1), ChannelCode::TRM);
    QCOMPARE(nextEnabledChannel(test, ChannelCode::TRM, 1), ChannelCode::TRM);
    QCOMPARE(nextEnabledChannel(test, ChannelCode::TRM, -1), ChannelCode::TRM);
    QCOMPARE(nextEnabledChannel(test, ChannelCode::GSR, 0), ChannelCode::TRM);
    test.channel(ChannelCode::TRM).KodDrv = 0;  // never set still counts as in use
    QCOMPARE(nextEnabledChannel(test, -1, 1), ChannelCode::TRM);
}

void TestChannelBindings::nextChannelStaysInsideThePositions_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("expected");
    QTest::newRow("step 0, unknown code") << 42 << 0 << 12;
    QTest::newRow("step 0, code -1") << -1 << 0 << 12;
    QTest::newRow("step 0, last position") << 12 << 0 << 12;
    QTest::newRow("step 13 wraps to the last") << 3 << 13 << 12;
    QTest::newRow("step past both passes") << 3 << 14 << -1;
    QTest::newRow("step 12 from -1") << -1 << 12 << 11;
    QTest::newRow("step back beyond the start") << 12 << -14 << -1;
    QTest::newRow("largest step") << 12 << INT_MAX << -1;
    QTest::newRow("smallest step") << 12 << INT_MIN << -1;
}

void TestChannelBindings::nextChannelStaysInsideThePositions()
{
    QFETCH(int, code);
    QFETCH(int, step);
    QFETCH(int, expected);
    showAllChannels();
    const Inspection::_Test test = recordedTest();
    QCOMPARE(nextEnabledChannel(test, code, step), expected);
}

VUG_TEST_MAIN(TestChannelBindings, QCoreApplication)
#include "tst_channelbindings.moc"
