#include "CommandUnits.h"
#include "sensors/serial/EmulatedUnit.h"
#include "tests/support/TestHome.h"

#include <cstring>

using namespace CommandUnits;

// The Vorkel16 and Vorkel12 plug-ins against the emulated unit: what they send
// and how they read what comes back.
class TestVorkelUnits : public QObject
{
    Q_OBJECT

private:
    // Frame words 1 to 9 belong to these codes; the cuff characters to code 11.
    static constexpr std::array<int, 9> WordCodes = {0, 9, 1, 7, 3, 2, 4, 5, 6};

    static void addPluginColumn()
    {
        QTest::addColumn<QString>("file");
    }

    // Binds the plug-in and opens it against a unit that answers the handshake.
    static bool openAnswered(EmulatedUnit &unit, SensorPlugin &plugin, const QString &file)
    {
        unit.answer("go__", bigEndianFrame(sameWords(0x8000)));
        unit.answerOthers("ack!");
        if (!plugin.bind(pluginPath(file)) || !plugin.device()->open(QString()))
            return false;
        unit.clearLog();
        return true;
    }

    // The frame read from a reply that follows the handshake.
    static SensorFrame frameFrom(const QString &file, const QByteArray &reply, bool *read)
    {
        EmulatedUnit unit;
        unit.answer("go__", bigEndianFrame(sameWords(0x8000)));
        unit.answer("go__", reply);
        SensorPlugin plugin;
        SensorFrame frame = markedFrame();
        *read = plugin.bind(pluginPath(file)) && plugin.device()->open(QString())
            && plugin.device()->readFrame(frame.data());
        return frame;
    }

private slots:
    void openSequence_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("vorkel16") << "vugSensorVorkel16.so"
                                  << QStringList{"countDevices", "open 0", "setBaudRate 115200",
                                                 "setDataCharacteristics 8 0 0", "setTimeouts 800 800",
                                                 "write 676f5f5f", "read 22 -> 22"};
        QTest::newRow("vorkel") << "vugSensorVorkel.so"
                                << QStringList{"open 0", "setTimeouts 500 500", "setBaudRate 115200",
                                               "setDataCharacteristics 8 0 0", "write 676f5f5f", "read 22 -> 22"};
    }

    void openSequence()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, calls);
        EmulatedUnit unit;
        unit.answer("go__", bigEndianFrame(sameWords(0x8000)));
        SensorPlugin plugin;
        QVERIFY(plugin.bind(pluginPath(file)));
        QVERIFY(plugin.device()->open(QString()));
        QCOMPARE(unit.calls(), calls);
        QVERIFY(plugin.device()->close());
        QVERIFY(!unit.isOpen());
    }

    // Up to five frame requests: answers with the wrong prefix are asked again.
    void openHandshakeTries_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("refusals");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<int>("requests");
        for (const char *file : {"vugSensorVorkel16.so", "vugSensorVorkel.so"}) {
            QTest::addRow("%s answers the fifth", file) << file << 4 << true << 5;
            QTest::addRow("%s never answers ok", file) << file << 6 << false << 5;
        }
    }

    void openHandshakeTries()
    {
        QFETCH(QString, file);
        QFETCH(int, refusals);
        QFETCH(bool, opened);
        QFETCH(int, requests);
        EmulatedUnit unit;
        for (int i = 0; i < refusals; ++i)
            unit.answer("go__", "ko" + bigEndianFrame(sameWords(0x8000)).mid(2));
        unit.answer("go__", bigEndianFrame(sameWords(0x8000)));
        SensorPlugin plugin;
        QVERIFY(plugin.bind(pluginPath(file)));
        QCOMPARE(plugin.device()->open(QString()), opened);
        QCOMPARE(countOf(unit.calls(), "write 676f5f5f"), requests);
        // A failed handshake keeps the handle until close.
        QVERIFY(unit.isOpen());
        plugin.device()->close();
        QVERIFY(!unit.isOpen());
    }

    void vorkel16Words_data()
    {
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("value");
        QTest::newRow("centre") << 0x8000 << 0;
        QTest::newRow("zero word") << 0x0000 << -32768;
        QTest::newRow("full scale") << 0xFFFF << 32767;
        QTest::newRow("one below centre") << 0x7FFF << -1;
    }

    void vorkel16Words()
    {
        QFETCH(int, word);
        QFETCH(int, value);
        bool read = false;
        const SensorFrame frame = frameFrom("vugSensorVorkel16.so", bigEndianFrame(sameWords(quint16(word))), &read);
        QVERIFY(read);
        for (int code : WordCodes)
            QCOMPARE(int(frame[code]), value);
    }

    // Breathing (codes 3 and 2) has its centre at 1664 and is scaled by 1.2.
    void vorkelWords_data()
    {
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("breathing");
        QTest::newRow("breathing centre") << 1664 << -384 << 0;
        QTest::newRow("full scale") << 4095 << 2047 << 2047;
        QTest::newRow("zero word") << 0 << -2048 << -1996;
        QTest::newRow("centre") << 2048 << 0 << 460;
        QTest::newRow("truncated toward zero") << 1000 << -1048 << -796;
        QTest::newRow("upper bits ignored") << 0xF800 << 0 << 460;
    }

    void vorkelWords()
    {
        QFETCH(int, word);
        QFETCH(int, value);
        QFETCH(int, breathing);
        bool read = false;
        const SensorFrame frame = frameFrom("vugSensorVorkel.so", bigEndianFrame(sameWords(quint16(word))), &read);
        QVERIFY(read);
        for (int code : WordCodes)
            QCOMPARE(int(frame[code]), code == 2 || code == 3 ? breathing : value);
    }

    // Each word lands on its own code, high byte first; codes 8, 10 and 12 are left alone.
    void wordOrder_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<Words>("words");
        QTest::addColumn<WordValues>("values");
        QTest::newRow("vorkel16") << "vugSensorVorkel16.so"
                                  << Words{0x8001, 0x8102, 0x8203, 0x8304, 0x8405, 0x8506, 0x8607, 0x8708, 0x8809}
                                  << WordValues{1, 258, 515, 772, 1029, 1286, 1543, 1800, 2057};
        QTest::newRow("vorkel") << "vugSensorVorkel.so"
                                << Words{0x0801, 0x0902, 0x0A03, 0x0B04, 0x0805, 0x0906, 0x0A07, 0x0B08, 0x0C09}
                                << WordValues{1, 258, 515, 772, 466, 775, 519, 776, 1033};
    }

    void wordOrder()
    {
        QFETCH(QString, file);
        QFETCH(Words, words);
        QFETCH(WordValues, values);
        bool read = false;
        const SensorFrame frame = frameFrom(file, bigEndianFrame(words, "42"), &read);
        QVERIFY(read);
        for (int i = 0; i < 9; ++i)
            QCOMPARE(int(frame[WordCodes[i]]), values[i]);
        QCOMPARE(int(frame[11]), 42);
        for (int code : {8, 10, 12})
            QCOMPARE(frame[code], Untouched);
    }

    void cuffPressure_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("cuff");
        QTest::addColumn<int>("value");
        for (const char *file : {"vugSensorVorkel16.so", "vugSensorVorkel.so"}) {
            QTest::addRow("%s digits", file) << file << QByteArray("12") << 12;
            QTest::addRow("%s overload", file) << file << QByteArray("OL") << -1;
            QTest::addRow("%s blank and digit", file) << file << QByteArray(" 7") << 7;
            QTest::addRow("%s no number", file) << file << QByteArray("xx") << 0;
            QTest::addRow("%s overload reversed", file) << file << QByteArray("LO") << 0;
            QTest::addRow("%s sign", file) << file << QByteArray("-5") << -5;
            QTest::addRow("%s digit then letter", file) << file << QByteArray("7x") << 7;
            QTest::addRow("%s zero bytes", file) << file << QByteArray(2, '\0') << 0;
        }
    }

    void cuffPressure()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, cuff);
        QFETCH(int, value);
        bool read = false;
        const SensorFrame frame = frameFrom(file, bigEndianFrame(sameWords(0x0800), cuff), &read);
        QVERIFY(read);
        QCOMPARE(int(frame[11]), value);
    }

    void alternativeFrameCommand()
    {
        EmulatedUnit unit;
        SensorPlugin plugin;
        QVERIFY(openAnswered(unit, plugin, "vugSensorVorkel16.so"));
        unit.answer("gt__", bigEndianFrame(sameWords(0x8010)));
        QVERIFY(plugin.device()->setMode(true));
        SensorFrame frame = markedFrame();
        QVERIFY(plugin.device()->readFrame(frame.data()));
        QCOMPARE(unit.commands(), QList<QByteArray>{"gt__"});
        QCOMPARE(int(frame[0]), 16);
    }

    // 'u', the channel's letter, '0', the gain code; only codes 0-7 and 9 are adjustable.
    void gainCommands_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("gainIndex");
        QTest::addColumn<QByteArray>("command");
        for (const char *file : {"vugSensorVorkel16.so", "vugSensorVorkel.so"}) {
            QTest::addRow("%s GSR index 0", file) << file << 0 << 0 << QByteArray("u00\x01");
            QTest::addRow("%s below 0", file) << file << 9 << -3 << QByteArray("u10\x01");
            QTest::addRow("%s index 1", file) << file << 1 << 1 << QByteArray("u203");
            QTest::addRow("%s index 12", file) << file << 7 << 12 << QByteArray("u30\xee");
            QTest::addRow("%s index 13", file) << file << 3 << 13 << QByteArray("u40\xf2");
            QTest::addRow("%s index 2", file) << file << 2 << 2 << QByteArray("u50\x5c");
            QTest::addRow("%s index 24", file) << file << 4 << 24 << QByteArray("u60\xfe");
            QTest::addRow("%s index 25", file) << file << 5 << 25 << QByteArray("u70\xff");
            QTest::addRow("%s above 25", file) << file << 6 << 30 << QByteArray("u80\xff");
            QTest::addRow("%s tachogram refused", file) << file << 8 << 5 << QByteArray();
            QTest::addRow("%s cuff refused", file) << file << 11 << 5 << QByteArray();
            QTest::addRow("%s code 13 refused", file) << file << 13 << 5 << QByteArray();
            QTest::addRow("%s code -1 refused", file) << file << -1 << 5 << QByteArray();
        }
    }

    void gainCommands()
    {
        QFETCH(QString, file);
        QFETCH(int, code);
        QFETCH(int, gainIndex);
        QFETCH(QByteArray, command);
        EmulatedUnit unit;
        SensorPlugin plugin;
        QVERIFY(openAnswered(unit, plugin, file));
        QCOMPARE(plugin.device()->setGain(code, gainIndex), !command.isEmpty());
        QCOMPARE(unit.commands(), command.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{command});
    }

    // 'b', letter, the two bytes of 2048 - shift; Vorkel12 moves a breathing shift by 986.67 first.
    void shiftCommands_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("shift");
        QTest::addColumn<QByteArray>("command");
        for (const char *file : {"vugSensorVorkel16.so", "vugSensorVorkel.so"}) {
            QTest::addRow("%s no shift", file) << file << 0 << 0 << QByteArray("b0\x08\x00", 4);
            QTest::addRow("%s 100", file) << file << 1 << 100 << QByteArray("b2\x07\x9c");
            QTest::addRow("%s lowest", file) << file << 9 << 2047 << QByteArray("b1\x00\x01", 4);
            QTest::addRow("%s highest", file) << file << 7 << -2047 << QByteArray("b3\x0f\xff");
            QTest::addRow("%s v = 0", file) << file << 4 << 2048 << QByteArray("b6\x00\x00", 4);
            QTest::addRow("%s v = 4096", file) << file << 5 << -2048 << QByteArray("b7\x00\x00", 4);
            QTest::addRow("%s microphone", file) << file << 6 << 0 << QByteArray("b8\x08\x00", 4);
            QTest::addRow("%s tachogram refused", file) << file << 8 << 0 << QByteArray();
        }
        QTest::newRow("vorkel16 breathing") << "vugSensorVorkel16.so" << 3 << 0 << QByteArray("b4\x08\x00", 4);
        QTest::newRow("vorkel16 breathing -100") << "vugSensorVorkel16.so" << 2 << -100 << QByteArray("b5\x08\x64");
        // 2048 - 986 = 0x426, 2048 - 886 = 0x48A
        QTest::newRow("vorkel breathing") << "vugSensorVorkel.so" << 3 << 0 << QByteArray("b4\x04\x26");
        QTest::newRow("vorkel breathing -100") << "vugSensorVorkel.so" << 2 << -100 << QByteArray("b5\x04\x8a");
        QTest::newRow("vorkel breathing far off") << "vugSensorVorkel.so" << 2 << 2147483600 << QByteArray("b5\x00\x00", 4);
    }

    void shiftCommands()
    {
        QFETCH(QString, file);
        QFETCH(int, code);
        QFETCH(int, shift);
        QFETCH(QByteArray, command);
        EmulatedUnit unit;
        SensorPlugin plugin;
        QVERIFY(openAnswered(unit, plugin, file));
        QCOMPARE(plugin.device()->setShift(code, shift), !command.isEmpty());
        QCOMPARE(unit.commands(), command.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{command});
    }

    void extraMode_data()
    {
        addPluginColumn();
        QTest::newRow("vorkel16") << "vugSensorVorkel16.so";
        QTest::newRow("vorkel") << "vugSensorVorkel.so";
    }

    void extraMode()
    {
        QFETCH(QString, file);
        EmulatedUnit unit;
        SensorPlugin plugin;
        QVERIFY(openAnswered(unit, plugin, file));
        QVERIFY(plugin.device()->setExtraMode(0));
        QVERIFY(plugin.device()->setExtraMode(1));
        QVERIFY(!plugin.device()->setExtraMode(2));
        QVERIFY(!plugin.device()->setExtraMode(-1));
        QCOMPARE(unit.commands(), (QList<QByteArray>{"dop0", "dop1"}));
    }

    // A command the unit does not acknowledge in full fails and is not repeated.
    void unacknowledgedCommand()
    {
        EmulatedUnit unit;
        SensorPlugin plugin;
        QVERIFY(openAnswered(unit, plugin, "vugSensorVorkel.so"));
        unit.answerOthers("ac");
        QVERIFY(!plugin.device()->setGain(0, 1));
        unit.setWritesFail(true);
        QVERIFY(!plugin.device()->setShift(0, 1));
        QCOMPARE(unit.commands().size(), 1);
    }

    // The identification is handed on in the byte order it came in.
    void version_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QByteArray>("copied");
        const QByteArray identification("VORKEL16 v2.31 0917xyz");
        for (const char *file : {"vugSensorVorkel16.so", "vugSensorVorkel.so"}) {
            QTest::addRow("%s identification", file) << file << identification << true << identification;
            const QByteArray zeroFirst = QByteArray(1, '\0') + identification.mid(1);
            QTest::addRow("%s zero byte first", file) << file << zeroFirst << false << zeroFirst;
            const QByteArray zeroThird = identification.left(2) + '\0' + identification.mid(3);
            QTest::addRow("%s zero third byte", file) << file << zeroThird << false << zeroThird;
            QTest::addRow("%s short", file) << file << identification.left(21) << false << QByteArray();
        }
    }

    void version()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, reply);
        QFETCH(bool, result);
        QFETCH(QByteArray, copied);
        EmulatedUnit unit;
        SensorPlugin plugin;
        QVERIFY(openAnswered(unit, plugin, file));
        unit.answer("vers", reply);
        char out[ISensorBase::VersionSize];
        std::memset(out, 'x', sizeof out);
        QCOMPARE(plugin.device()->version(out, sizeof out), result);
        QCOMPARE(unit.commands(), QList<QByteArray>{"vers"});
        if (copied.isEmpty()) {
            QCOMPARE(out[0], 'x');
        } else {
            QCOMPARE(QByteArray(out, 22), copied);
            QCOMPARE(out[22], 'x');
        }
    }

    void versionNeedsRoom()
    {
        EmulatedUnit unit;
        SensorPlugin plugin;
        QVERIFY(openAnswered(unit, plugin, "vugSensorVorkel16.so"));
        unit.answer("vers", "VORKEL16 v2.31 0917xyz");
        char out[ISensorBase::VersionSize];
        std::memset(out, 'x', sizeof out);
        QVERIFY(!plugin.device()->version(out, 21));
        QCOMPARE(out[0], 'x');
        QVERIFY(!plugin.device()->version(nullptr, 22));
    }
};

VUG_TEST_MAIN(TestVorkelUnits, QCoreApplication)
#include "tst_vorkelunits.moc"
