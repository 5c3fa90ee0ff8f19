#include "data/ChannelUI.h"
#include "data/DefChannel.h"
#include "tests/data/SettingsFile.h"
#include "tests/support/TestHome.h"

namespace {

const QUuid kVorkel16(QStringLiteral("{05209770-FCC0-4EBD-99C3-0A64CAFB2B1E}"));
const QUuid kMirel16(QStringLiteral("{A34F63FF-AC7A-46E1-BD4E-49FABAA572DA}"));
const QUuid kWithoutDefaults(QStringLiteral("{BF1FBA5B-F5C1-4042-807C-772B14617321}"));
const QUuid kOther(QStringLiteral("{11111111-2222-3333-4444-555555555555}"));

QVector<int> codesInOrder(const DefChannel::Records &records)
{
    QVector<int> codes;
    for (const Inspection::_Channel &record : records)
        codes.append(record.Kod);
    return codes;
}

const QVector<int> kDefaultOrder = {3, 2, 0, 4, 9, 1, 5, 10, 6, 7, 8, 11, 12};

void compareCalibration(const Inspection::_Channel *record, int adt, double amplify, double offset, int shift)
{
    QVERIFY(record);
    QCOMPARE(record->ADT, adt);
    QCOMPARE(record->Amplify, amplify);
    QCOMPARE(record->Offset, offset);
    QCOMPARE(record->ShiftADT, shift);
}

}  // namespace

class TestDefChannel : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        removeSettingsFiles();
        initChannelsUI();
    }
    void namesInBothForms();
    void recordsStandInDisplayOrderAndShareTheTable();
    void brokenPositionsStillGiveThirteenSlots();
    void unsavedDeviceGetsItsFamilyDefaults();
    void invertedChannelTakesTheNegatedShift();
    void deviceTypeWithoutDefaultsKeepsItsRecords();
    void calibrationRoundTripKeepsFractions();
    void olderAndDamagedCalibrationFiles();
    void twoDeviceTypesAreKeptApart();
};

void TestDefChannel::namesInBothForms()
{
    QCOMPARE(DefChannel::channelName(8, false), QStringLiteral("Тахограмма"));
    QCOMPARE(DefChannel::channelName(8, true), QStringLiteral("Тахограмма"));
    QCOMPARE(DefChannel::channelName(0, false), QStringLiteral("КГР"));
    QCOMPARE(DefChannel::channelName(0, true), QStringLiteral("КГР (Кожно-гальваническая реакция)"));
    QCOMPARE(DefChannel::channelName(9, true), QStringLiteral("Дополнителный канал"));
    QCOMPARE(DefChannel::channelName(12, false), QStringLiteral("ДифДХ"));
    for (int code : {-1, 13}) {
        QVERIFY(DefChannel::channelName(code, false).isEmpty());
        QVERIFY(DefChannel::channelName(code, true).isEmpty());
    }
}

void TestDefChannel::recordsStandInDisplayOrderAndShareTheTable()
{
    DefChannel first;
    QCOMPARE(codesInOrder(first.channels()), kDefaultOrder);
    for (const Inspection::_Channel &record : first.channels()) {
        QCOMPARE(record.KodDrv, -1);
        QCOMPARE(record.Enable, &channelsUI()[record.Kod].bEnable);
        QCOMPARE(record.Inverse, &channelsUI()[record.Kod].bInverse);
        QCOMPARE(record.Offset, 0.0);
    }
    QCOMPARE(first.findByCode(12), first.findByPosition(12));
    QCOMPARE(first.findByCode(3), &first.channels()[0]);
    QVERIFY(!first.findByCode(13));
    QVERIFY(!first.findByPosition(-1));

    DefChannel second;
    *first.findByCode(ChannelCode::TGM)->Enable = true;
    QVERIFY(*second.findByCode(ChannelCode::TGM)->Enable);
    QVERIFY(channelsUI()[ChannelCode::TGM].bEnable);
}

void TestDefChannel::brokenPositionsStillGiveThirteenSlots()
{
    channelsUI()[ChannelCode::GSR].nChannelPos = 0;  // shares slot 0 with ВДХ
    channelsUI()[ChannelCode::TGM].nChannelPos = 40;
    DefChannel definitions;
    QCOMPARE(codesInOrder(definitions.channels()), kDefaultOrder);
    QCOMPARE(codesInOrder(definitions.sortedByPosition()), kDefaultOrder);
}

void TestDefChannel::unsavedDeviceGetsItsFamilyDefaults()
{
    DefChannel vorkel;
    vorkel.loadCalibration(kVorkel16);
    compareCalibration(vorkel.findByCode(0), 5, 30.0, 300.0, -150);
    compareCalibration(vorkel.findByCode(8), 13, 146.0, 185.0, -2100);
    compareCalibration(vorkel.findByCode(11), 1, 15.0, 20.0, 0);

    DefChannel mirel;
    mirel.loadCalibration(kMirel16);
    compareCalibration(mirel.findByCode(2), 3, 25.0, 410.0, 700);

    for (const QUuid &id : {kOther, QUuid()}) {
        DefChannel other;
        other.loadCalibration(id);
        compareCalibration(other.findByCode(2), 0, 300.0, 350.0, -1000);
        compareCalibration(other.findByCode(11), 0, 0.0, 0.0, 0);
    }
}

void TestDefChannel::invertedChannelTakesTheNegatedShift()
{
    channelsUI()[ChannelCode::GSR].bInverse = true;
    channelsUI()[ChannelCode::AD2].bInverse = true;
    DefChannel definitions;
    definitions.loadCalibration(kVorkel16);
    compareCalibration(definitions.findByCode(0), 5, 30.0, 300.0, 150);

    // A 12-bit unit has no row for code 11: each application flips its own shift.
    Inspection::_Channel *cuff = definitions.findByCode(ChannelCode::AD2);
    cuff->ShiftADT = 40;
    QCOMPARE(applyChannelDefaults(kOther, cuff), -40);
    QCOMPARE(applyChannelDefaults(kOther, cuff), 40);
    QCOMPARE(cuff->ADT, 1);  // left from the 16-bit load
}

void TestDefChannel::deviceTypeWithoutDefaultsKeepsItsRecords()
{
    DefChannel definitions;
    Inspection::_Channel *gsr = definitions.findByCode(0);
    gsr->ADT = 9;
    gsr->Offset = 12.0;
    definitions.applyDefaults(kWithoutDefaults);
    compareCalibration(gsr, 9, 0.0, 12.0, 0);

    writeSettingsFile(kWithoutDefaults.toString(), "[Channels-0]\nnAmplify=44\n");
    definitions.loadCalibration(kWithoutDefaults);
    compareCalibration(gsr, 9, 44.0, 12.0, 0);
}

void TestDefChannel::calibrationRoundTripKeepsFractions()
{
    DefChannel saved;
    saved.loadCalibration(kVorkel16);
    int n = 0;
    for (Inspection::_Channel &record : saved.channels()) {
        record.Offset = 2.5 + n;
        record.Amplify = 0.125 * (n + 1);
        record.ADT = n;
        record.ShiftADT = -1000 + n;
        ++n;
    }
    saved.saveCalibration(kVorkel16);

    DefChannel loaded;
    loaded.loadCalibration(kVorkel16);
    for (const Inspection::_Channel &record : saved.channels())
        compareCalibration(loaded.findByCode(record.Kod), record.ADT, record.Amplify, record.Offset, record.ShiftADT);
}

void TestDefChannel::olderAndDamagedCalibrationFiles()
{
    writeSettingsFile(kVorkel16.toString(),
                      "[Channels-0]\nnOffset=300\nnAmplify=31\nnADT=4\nnShiftADT=-7\n"
                      "[Channels-1]\nnOffset=abc\nnAmplify=\nnADT=x\nnShiftADT=1.5\n");
    DefChannel definitions;
    definitions.loadCalibration(kVorkel16);
    compareCalibration(definitions.findByCode(0), 4, 31.0, 300.0, -7);
    compareCalibration(definitions.findByCode(1), 7, 70.0, 30.0, 550);
}

void TestDefChannel::twoDeviceTypesAreKeptApart()
{
    DefChannel vorkel;
    vorkel.loadCalibration(kVorkel16);
    vorkel.findByCode(0)->Offset = 123.5;
    vorkel.saveCalibration(kVorkel16);
    DefChannel other;
    other.loadCalibration(kOther);
    other.findByCode(0)->Offset = 77.0;
    other.saveCalibration(kOther);

    QVERIFY(QFile::exists(SettingsStore::filePath(QStringLiteral("{05209770-fcc0-4ebd-99c3-0a64cafb2b1e}"))));
    DefChannel mirel;
    mirel.loadCalibration(kMirel16);
    QCOMPARE(mirel.findByCode(0)->Offset, 300.0);
    DefChannel reloaded;
    reloaded.loadCalibration(kVorkel16);
    QCOMPARE(reloaded.findByCode(0)->Offset, 123.5);
    reloaded.loadCalibration(kOther);
    QCOMPARE(reloaded.findByCode(0)->Offset, 77.0);
}

VUG_TEST_MAIN(TestDefChannel, QCoreApplication)
#include "tst_defchannel.moc"
