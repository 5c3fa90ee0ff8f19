#include "SensorFiles.h"
#include "sensors/interface/SensorFrame.h"
#include "sensors/interface/SensorPlugin.h"
#include "sensors/serial/EmulatedUnit.h"
#include "tests/support/TestHome.h"

#include <QElapsedTimer>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

// The unit's tables, written out here from the unit's documentation.
const int codeOfUnitChannel[8] = {5, 1, 4, 3, 2, 0, 7, 6};
const int gainCodes[26] = {1,   51,  92,  124, 151, 172, 188, 202, 213, 221, 228, 235, 238,
                           242, 244, 245, 246, 247, 248, 249, 250, 251, 252, 253, 254, 255};

const qint16 untouched = 12345;

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int value : values)
        out += char(value);
    return out;
}

const QByteArray setupCommand = bytes({0x01, 0x82});
const QByteArray frameCommand = bytes({0xAA, 0x10});
const QByteArray versionCommand = bytes({0xFF, 0x81});

// A frame reply: the status byte, then the eight unit channels' words, little-endian.
QByteArray frameReply(const QVector<int> &words, int status = 1)
{
    QByteArray reply(1, char(status));
    for (int word : words)
        reply += bytes({word & 0xFF, word >> 8 & 0xFF});
    return reply;
}

QByteArray anyFrame()
{
    return frameReply({0x200, 0x200, 0x200, 0x200, 0x200, 0x200, 0x200, 0x200});
}

SensorFrame markedFrame()
{
    SensorFrame frame;
    frame.fill(untouched);
    return frame;
}

// The calls of one open round whose frame requests all get 17 bytes.
QStringList openRound(int framesAsked)
{
    QStringList calls{"open 0",          "setTimeouts 600 600", "setDataCharacteristics 8 0 0",
                      "write 0182",      "read 2 -> 2",         "setBaudRate 19200",
                      "write 0182",      "read 2 -> 2"};
    for (int i = 0; i < framesAsked; ++i)
        calls << "write aa10" << "read 17 -> 17";
    return calls;
}

int countOf(const QList<QByteArray> &commands, const QByteArray &command)
{
    return int(std::count(commands.begin(), commands.end(), command));
}

}  // namespace

// The Sentak plug-in, bound from the bin folder, against the emulated unit.
class TestSentak : public QObject
{
    Q_OBJECT

private:
    SensorPlugin m_plugin;

    ISensorBase *device() const { return m_plugin.device(); }

    // A unit that answers the set-up and every command with two bytes and frames with frame.
    void openOn(EmulatedUnit &unit, const QByteArray &frame = anyFrame())
    {
        unit.answerOthers(bytes({0, 0}));
        unit.answer(frameCommand, frame);
        QVERIFY(device()->open(QString()));
        unit.clearLog();
    }

private slots:
    void init() { QVERIFY(m_plugin.bind(binFolder() + "/vugSensorSentak.so")); }

    void cleanup()
    {
        if (device())
            device()->close();
        m_plugin.release();
    }

    void openSequence()
    {
        EmulatedUnit unit;
        unit.answer(setupCommand, bytes({0x55, 0xAA}));
        unit.answer(frameCommand, anyFrame());
        QVERIFY(device()->open(QString()));
        QCOMPARE(unit.calls(), openRound(1));

        // A second open lets the held handle go first.
        unit.clearLog();
        QVERIFY(device()->open(QString()));
        QCOMPARE(unit.calls(), QStringList("close") + openRound(1));
        QVERIFY(device()->close());
        QVERIFY(!unit.isOpen());
    }

    // Five refused frames end a round; the next round starts on a fresh handle.
    void openTriesFiveFramesARound()
    {
        EmulatedUnit unit;
        unit.answer(setupCommand, bytes({0, 0}));
        const QByteArray wrong = frameReply({0, 0, 0, 0, 0, 0, 0, 0}, 0);
        for (int i = 0; i < 6; ++i)
            unit.answer(frameCommand, wrong);
        unit.answer(frameCommand, anyFrame());
        QVERIFY(device()->open(QString()));
        QCOMPARE(unit.calls(), openRound(5) + QStringList("close") + openRound(2));
    }

    void openWithoutUnitStopsAtOnce()
    {
        EmulatedUnit unit;
        unit.setPresent(false);
        QVERIFY(!device()->open(QString()));
        QCOMPARE(unit.calls(), QStringList("open 0"));
    }

    // Frames that come with the wrong status byte never open the unit: five rounds of five.
    void openRefusesWrongStatus()
    {
        EmulatedUnit unit;
        unit.answer(setupCommand, bytes({0, 0}));
        unit.answer(frameCommand, frameReply({0x200, 0x200, 0x200, 0x200, 0x200, 0x200, 0x200, 0x200}, 0x81));
        QVERIFY(!device()->open(QString()));
        QCOMPARE(countOf(unit.commands(), frameCommand), 25);
        QCOMPARE(unit.calls().count("open 0"), 5);
        // The handle stays until close.
        QVERIFY(unit.isOpen());
        device()->close();
        QVERIFY(!unit.isOpen());
    }

    // The one costly case: every request waits out its time-out, and open still ends.
    void openOnSilentUnitEnds()
    {
        EmulatedUnit unit;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!device()->open(QString()));
        // 5 rounds of 2 set-up and 5 frame requests, 600 ms each at most
        QVERIFY2(clock.elapsed() < 35 * 600 + 3000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(countOf(unit.commands(), frameCommand), 25);
        QCOMPARE(countOf(unit.commands(), setupCommand), 10);
        QCOMPARE(unit.calls().count("read 17 -> 0"), 25);
    }

    void frameGoesToTheCodesOfItsUnitChannels()
    {
        EmulatedUnit unit;
        openOn(unit, frameReply({0, 100, 200, 300, 400, 500, 600, 700}));
        SensorFrame frame = markedFrame();
        QVERIFY(device()->readFrame(frame.data()));
        QCOMPARE(unit.calls(), QStringList({"write aa10", "read 17 -> 17"}));
        for (int k = 0; k < 8; ++k)
            QCOMPARE(int(frame[codeOfUnitChannel[k]]), 4 * 100 * k - 2048);
        for (int code : {8, 9, 10, 11, 12})
            QCOMPARE(frame[code], untouched);
    }

    void wordDecoding_data()
    {
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("value");
        QTest::newRow("zero") << 0 << -2048;
        QTest::newRow("middle") << 0x0200 << 0;
        QTest::newRow("full scale") << 0x03FF << 2044;
        QTest::newRow("one step") << 0x0001 << -2044;
        // Bits above the ten data bits are damage and never leave the 12-bit range.
        QTest::newRow("bit 10 only") << 0x0400 << -2048;
        QTest::newRow("twelve bits set") << 0x0FFF << 2044;
        QTest::newRow("all bits set") << 0xFFFF << 2044;
        QTest::newRow("high byte damaged") << 0x8001 << -2044;
    }

    void wordDecoding()
    {
        QFETCH(int, word);
        QFETCH(int, value);
        EmulatedUnit unit;
        openOn(unit, frameReply({word, word, word, word, word, word, word, word}));
        SensorFrame frame = markedFrame();
        QVERIFY(device()->readFrame(frame.data()));
        for (int code : codeOfUnitChannel)
            QCOMPARE(int(frame[code]), value);
    }

    void alternativeFrameCommand()
    {
        EmulatedUnit unit;
        openOn(unit);
        unit.answer(bytes({0xAA, 0x18}), anyFrame());
        QVERIFY(device()->setMode(true));
        SensorFrame frame = markedFrame();
        QVERIFY(device()->readFrame(frame.data()));
        QCOMPARE(unit.commands(), QList<QByteArray>({bytes({0xAA, 0x18})}));
    }

    // A refused, short or missing reply is a failed read that writes nothing.
    void badFramesAreNotDecoded_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("writesFail");
        QTest::newRow("wrong status") << frameReply({1, 2, 3, 4, 5, 6, 7, 8}, 0) << false;
        QTest::newRow("short reply") << frameReply({1, 2, 3, 4, 5, 6, 7, 8}).left(16) << false;
        QTest::newRow("write fails") << anyFrame() << true;
    }

    void badFramesAreNotDecoded()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, writesFail);
        EmulatedUnit unit;
        unit.answerOthers(bytes({0, 0}));
        unit.answer(frameCommand, anyFrame());
        unit.answer(frameCommand, reply);
        QVERIFY(device()->open(QString()));
        unit.setWritesFail(writesFail);
        SensorFrame frame = markedFrame();
        QVERIFY(!device()->readFrame(frame.data()));
        QCOMPARE(frame, markedFrame());
    }

    // A unit that goes quiet during a recording: each tick fails, and its next answer is read as usual.
    void silenceMidRecording()
    {
        EmulatedUnit unit;
        unit.answerOthers(bytes({0, 0}));
        unit.answer(frameCommand, anyFrame());
        unit.answer(frameCommand, QByteArray());
        unit.answer(frameCommand, QByteArray());
        unit.answer(frameCommand, frameReply({0x3FF, 0, 0, 0, 0, 0, 0, 0}));
        QVERIFY(device()->open(QString()));
        for (int tick = 0; tick < 2; ++tick) {
            SensorFrame frame = markedFrame();
            QVERIFY(!device()->readFrame(frame.data()));
            QCOMPARE(frame, markedFrame());
        }
        SensorFrame frame = markedFrame();
        QVERIFY(device()->readFrame(frame.data()));
        QCOMPARE(int(frame[5]), 2044);
        QCOMPARE(int(frame[1]), -2048);
    }

    void gainCommand_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("gainIndex");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("code 0, index 0") << 0 << 0 << bytes({gainCodes[0], 0x45});
        QTest::newRow("code 5, index 25") << 5 << 25 << bytes({gainCodes[25], 0x40});
        QTest::newRow("index above 25") << 1 << 30 << bytes({gainCodes[25], 0x41});
        QTest::newRow("negative index") << 4 << -3 << bytes({gainCodes[0], 0x42});
        QTest::newRow("code 3, index 12") << 3 << 12 << bytes({gainCodes[12], 0x43});
        QTest::newRow("code 2, index 1") << 2 << 1 << bytes({gainCodes[1], 0x44});
        QTest::newRow("code 7, index 13") << 7 << 13 << bytes({gainCodes[13], 0x46});
        QTest::newRow("code 6, index 24") << 6 << 24 << bytes({gainCodes[24], 0x47});
    }

    void gainCommand()
    {
        QFETCH(int, code);
        QFETCH(int, gainIndex);
        QFETCH(QByteArray, sent);
        EmulatedUnit unit;
        openOn(unit);
        QVERIFY(device()->setGain(code, gainIndex));
        QCOMPARE(unit.commands(), QList<QByteArray>({sent}));
        QCOMPARE(unit.calls().last(), QString("read 2 -> 2"));
    }

    void shiftCommand_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("shift");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("code 6, shift 0") << 6 << 0 << bytes({128, 0x27});
        QTest::newRow("lowest step") << 0 << -2047 << bytes({1, 0x25});
        QTest::newRow("highest step") << 1 << 2047 << bytes({255, 0x21});
        QTest::newRow("bottom of the range") << 2 << -2048 << bytes({0, 0x24});
        QTest::newRow("above the range") << 3 << 2048 << bytes({255, 0x23});
        // (100 + 2048) * 255 / 4096 = 133.7, rounded up
        QTest::newRow("shift 100") << 4 << 100 << bytes({134, 0x22});
        // 1024 * 255 / 4096 = 63.75
        QTest::newRow("shift -1024") << 5 << -1024 << bytes({64, 0x20});
        QTest::newRow("largest int") << 7 << INT_MAX << bytes({255, 0x26});
        QTest::newRow("smallest int") << 7 << INT_MIN << bytes({0, 0x26});
    }

    void shiftCommand()
    {
        QFETCH(int, code);
        QFETCH(int, shift);
        QFETCH(QByteArray, sent);
        EmulatedUnit unit;
        openOn(unit);
        QVERIFY(device()->setShift(code, shift));
        QCOMPARE(unit.commands(), QList<QByteArray>({sent}));
    }

    // Codes the unit does not measure, a negative one too, and every extra mode send nothing.
    void refusedCommandsSendNothing()
    {
        EmulatedUnit unit;
        openOn(unit);
        for (int code : {8, 9, 12, 13, -1, INT_MIN}) {
            QVERIFY(!device()->setGain(code, 5));
            QVERIFY(!device()->setShift(code, 0));
        }
        for (int mode : {0, 1, 2, -1})
            QVERIFY(!device()->setExtraMode(mode));
        QVERIFY(unit.calls().isEmpty());
    }

    void commandWithoutFullReplyFails()
    {
        EmulatedUnit unit;
        openOn(unit);
        unit.answerOthers(bytes({0}));
        QVERIFY(!device()->setGain(0, 0));
        QVERIFY(!device()->setShift(0, 0));
        QCOMPARE(unit.commands().size(), 2);
    }

    void version()
    {
        EmulatedUnit unit;
        openOn(unit);
        QByteArray identification = "SENTAK-8 v2.1";
        identification += bytes({0, 0xFE, 0x01, 0x7F});
        QCOMPARE(identification.size(), 17);
        unit.answer(versionCommand, identification);

        char out[ISensorBase::VersionSize];
        std::memset(out, 'x', sizeof out);
        QVERIFY(!device()->version(out, 16));
        QCOMPARE(out[0], 'x');
        QVERIFY(unit.calls().isEmpty());

        QVERIFY(device()->version(out, 17));
        QCOMPARE(QByteArray(out, 17), identification);
        QCOMPARE(out[17], 'x');
        QCOMPARE(unit.calls(), QStringList({"write ff81", "read 17 -> 17"}));
    }

    // One try only, and a short identification is no identification.
    void versionFromShortReply()
    {
        EmulatedUnit unit;
        openOn(unit);
        unit.answer(versionCommand, QByteArray(16, 'v'));
        char out[ISensorBase::VersionSize];
        std::memset(out, 'x', sizeof out);
        QVERIFY(!device()->version(out, sizeof out));
        QCOMPARE(out[0], 'x');
        QCOMPARE(unit.commands(), QList<QByteArray>({versionCommand}));
    }
};

VUG_TEST_MAIN(TestSentak, QCoreApplication)
#include "tst_sentak.moc"
