#include "CommandUnits.h"
#include "tests/support/TestHome.h"

using namespace CommandUnits;

// What the Mirel, KVZ2 and Vorkel plug-ins send, byte for byte: the open sequences
// and the four-byte frame, gain, shift and additional-input commands, and how each
// unit must acknowledge them.
class TestUnitCommands : public QObject
{
    Q_OBJECT

private:
    static QStringList files()
    {
        return {"vugSensorVorkel16.so", "vugSensorVorkel.so", "vugSensorMirel.so",
                "vugSensorMirel14.so", "vugSensorMirel16.so", "vugSensorKVZ2.so"};
    }

    static void addPluginRows()
    {
        QTest::addColumn<QString>("file");
        for (const QString &file : files())
            QTest::newRow(qPrintable(file)) << file;
    }

    static void addCommandColumns(const char *valueName)
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>(valueName);
        // empty: refused, nothing sent
        QTest::addColumn<QByteArray>("command");
    }

    static QList<QByteArray> sent(const QByteArray &command)
    {
        return command.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{command};
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
        // The Mirel units set their line up twice.
        const QStringList lineSetUp{"open 0", "setTimeouts 400 400", "setBaudRate 115200", "setDataCharacteristics 8 0 0"};
        for (const char *file : {"vugSensorMirel.so", "vugSensorMirel14.so", "vugSensorMirel16.so"})
            QTest::newRow(file) << file
                                << lineSetUp + QStringList{"close"} + lineSetUp
                                       + QStringList{"write 676f5f5f", "read 20 -> 20"};
        QTest::newRow("kvz2") << "vugSensorKVZ2.so"
                              << QStringList{"open 0", "resetDevice", "furtherCall", "setTimeouts 100 100",
                                             "setBaudRate 115200", "setDataCharacteristics 8 0 0", "purge 3"};
    }

    void openSequence()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, calls);
        EmulatedUnit unit;
        unit.answer("go__", centreFrame(file));
        SensorPlugin plugin;
        QVERIFY(plugin.bind(pluginPath(file)));
        QVERIFY(plugin.device()->open(QString()));
        QCOMPARE(unit.calls(), calls);
        QVERIFY(plugin.device()->close());
        QVERIFY(!unit.isOpen());
    }

    // A second open without close lets the held handle go first.
    void reopen_data() { addPluginRows(); }

    void reopen()
    {
        QFETCH(QString, file);
        EmulatedUnit unit;
        SensorPlugin plugin;
        QVERIFY(openAnswered(unit, plugin, file));
        QVERIFY(plugin.device()->open(QString()));
        const int closed = unit.calls().indexOf("close");
        QVERIFY(closed >= 0 && closed < unit.calls().indexOf("open 0"));
    }

    void alternativeFrameCommand_data() { addPluginRows(); }

    void alternativeFrameCommand()
    {
        QFETCH(QString, file);
        EmulatedUnit unit;
        SensorPlugin plugin;
        QVERIFY(openAnswered(unit, plugin, file));
        const Words words = sameWords(isVorkel(file) ? 0x8010 : 0x0810);
        unit.answer("gt__", isVorkel(file) ? bigEndianFrame(words) : littleEndianFrame(words));
        QVERIFY(plugin.device()->setMode(true));
        SensorFrame frame = markedFrame();
        QVERIFY(plugin.device()->readFrame(frame.data()));
        QCOMPARE(unit.commands(), QList<QByteArray>{"gt__"});
        QVERIFY(frame[0] != Untouched);
    }

    // 'u', the channel's letter, '0', the gain code of the index (clamped to 0...25).
    // Adjustable: codes 0-5, 7 and 9, and on the Vorkel units the microphone, 6.
    void gainCommands_data()
    {
        addCommandColumns("gainIndex");
        for (const QString &name : files()) {
            const QByteArray file = name.toLatin1();
            QTest::addRow("%s index 0", file.data()) << name << 0 << 0 << QByteArray("u00\x01");
            QTest::addRow("%s below 0", file.data()) << name << 9 << -3 << QByteArray("u10\x01");
            QTest::addRow("%s index 1", file.data()) << name << 1 << 1 << QByteArray("u203");
            QTest::addRow("%s index 12", file.data()) << name << 7 << 12 << QByteArray("u30\xee");
            QTest::addRow("%s index 13", file.data()) << name << 3 << 13 << QByteArray("u40\xf2");
            QTest::addRow("%s index 2", file.data()) << name << 2 << 2 << QByteArray("u50\x5c");
            QTest::addRow("%s index 24", file.data()) << name << 4 << 24 << QByteArray("u60\xfe");
            QTest::addRow("%s index 25", file.data()) << name << 5 << 25 << QByteArray("u70\xff");
            QTest::addRow("%s microphone", file.data())
                << name << 6 << 30 << (isVorkel(name) ? QByteArray("u80\xff") : QByteArray());
            QTest::addRow("%s tachogram refused", file.data()) << name << 8 << 5 << QByteArray();
            QTest::addRow("%s cuff refused", file.data()) << name << 11 << 5 << QByteArray();
            QTest::addRow("%s code 13 refused", file.data()) << name << 13 << 5 << QByteArray();
            QTest::addRow("%s code -1 refused", file.data()) << name << -1 << 5 << QByteArray();
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
        QCOMPARE(unit.commands(), sent(command));
    }

    // 'b', letter, the two bytes of 2048 - shift, or 0 and 0 beyond 1...4095;
    // Vorkel12 moves a breathing shift by 986.67 first.
    void shiftCommands_data()
    {
        addCommandColumns("shift");
        for (const QString &name : files()) {
            const QByteArray file = name.toLatin1();
            QTest::addRow("%s no shift", file.data()) << name << 0 << 0 << QByteArray("b0\x08\x00", 4);
            QTest::addRow("%s 100", file.data()) << name << 1 << 100 << QByteArray("b2\x07\x9c");
            QTest::addRow("%s lowest", file.data()) << name << 9 << 2047 << QByteArray("b1\x00\x01", 4);
            QTest::addRow("%s highest", file.data()) << name << 7 << -2047 << QByteArray("b3\x0f\xff");
            QTest::addRow("%s v = 0", file.data()) << name << 4 << 2048 << QByteArray("b6\x00\x00", 4);
            QTest::addRow("%s v = 4096", file.data()) << name << 5 << -2048 << QByteArray("b7\x00\x00", 4);
            QTest::addRow("%s microphone", file.data())
                << name << 6 << 0 << (isVorkel(name) ? QByteArray("b8\x08\x00", 4) : QByteArray());
            QTest::addRow("%s tachogram refused", file.data()) << name << 8 << 0 << QByteArray();
            if (name == "vugSensorVorkel.so")
                continue;
            QTest::addRow("%s breathing", file.data()) << name << 3 << 0 << QByteArray("b4\x08\x00", 4);
            QTest::addRow("%s breathing -100", file.data()) << name << 2 << -100 << QByteArray("b5\x08\x64");
        }
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
        QCOMPARE(unit.commands(), sent(command));
    }

    void extraMode_data() { addPluginRows(); }

    void extraMode()
    {
        QFETCH(QString, file);
        EmulatedUnit unit;
        SensorPlugin plugin;
        QVERIFY(openAnswered(unit, plugin, file));
        QVERIFY(plugin.device()->setExtraMode(1));
        QVERIFY(plugin.device()->setExtraMode(0));
        QVERIFY(!plugin.device()->setExtraMode(2));
        QVERIFY(!plugin.device()->setExtraMode(-1));
        QCOMPARE(unit.commands(), (QList<QByteArray>{"dop1", "dop0"}));
    }

    // A command must be acknowledged with four bytes, except on the KVZ2 unit, which
    // need not answer; a command that cannot be sent fails everywhere. Nothing is repeated.
    void acknowledgement_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("vorkel16") << "vugSensorVorkel16.so" << false;
        QTest::newRow("vorkel") << "vugSensorVorkel.so" << false;
        QTest::newRow("mirel") << "vugSensorMirel.so" << false;
        QTest::newRow("kvz2") << "vugSensorKVZ2.so" << true;
    }

    void acknowledgement()
    {
        QFETCH(QString, file);
        QFETCH(bool, accepted);
        EmulatedUnit unit;
        SensorPlugin plugin;
        QVERIFY(openAnswered(unit, plugin, file));
        unit.answerOthers("ac");
        QCOMPARE(plugin.device()->setGain(0, 1), accepted);
        unit.setWritesFail(true);
        QVERIFY(!plugin.device()->setShift(0, 1));
        QVERIFY(!plugin.device()->setExtraMode(0));
        QCOMPARE(unit.commands().size(), 1);
    }
};

VUG_TEST_MAIN(TestUnitCommands, QCoreApplication)
#include "tst_unitcommands.moc"
