#include "CommandUnits.h"
#include "sensors/serial/EmulatedUnit.h"
#include "tests/support/TestHome.h"

#include <QElapsedTimer>

#include <cstring>

using namespace CommandUnits;

// The Mirel, Mirel14, Mirel16 and KVZ2 plug-ins against the emulated unit: what
// they send and how they read what comes back.
class TestMirelUnits : public QObject
{
    Q_OBJECT

private:
    // Frame words 1 to 9 belong to these codes.
    static constexpr std::array<int, 9> WordCodes = {0, 9, 1, 7, 3, 2, 4, 5, 11};

    static QStringList mirelFiles()
    {
        return {"vugSensorMirel.so", "vugSensorMirel14.so", "vugSensorMirel16.so"};
    }

    static QStringList allFiles() { return mirelFiles() << "vugSensorKVZ2.so"; }

    static void addPluginRows()
    {
        QTest::addColumn<QString>("file");
        for (const QString &file : allFiles())
            QTest::newRow(qPrintable(file)) << file;
    }

    // Binds the plug-in and opens it against a unit that answers frames and commands.
    static bool openAnswered(EmulatedUnit &unit, SensorPlugin &plugin, const QString &file)
    {
        unit.answer("go__", littleEndianFrame(sameWords(0x0800)));
        unit.answerOthers("ack!");
        if (!plugin.bind(pluginPath(file)) || !plugin.device()->open(QString()))
            return false;
        unit.clearLog();
        return true;
    }

    // The frame read from a reply of the unit.
    static SensorFrame frameFrom(const QString &file, const QByteArray &reply, bool *read)
    {
        EmulatedUnit unit;
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
        const QStringList lineSetUp{"open 0", "setTimeouts 400 400", "setBaudRate 115200", "setDataCharacteristics 8 0 0"};
        for (const QString &file : mirelFiles())
            QTest::newRow(qPrintable(file)) << file
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
        unit.answer("go__", littleEndianFrame(sameWords(0x0800)));
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
        QCOMPARE(unit.calls().mid(0, 2), (QStringList{"close", "open 0"}));
    }

    void words_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("cuff");
        QTest::newRow("mirel zero word") << "vugSensorMirel.so" << 0x0000 << -2047 << 0;
        QTest::newRow("mirel low bits zero") << "vugSensorMirel.so" << 0x1000 << -2047 << 4096;
        QTest::newRow("mirel one") << "vugSensorMirel.so" << 0x0001 << -2047 << 1;
        QTest::newRow("mirel centre") << "vugSensorMirel.so" << 0x0800 << 0 << 2048;
        QTest::newRow("mirel full scale") << "vugSensorMirel.so" << 0x0FFF << 2047 << 4095;
        QTest::newRow("mirel all bits") << "vugSensorMirel.so" << 0xFFFF << 2047 << -1;
        QTest::newRow("mirel14 centre") << "vugSensorMirel14.so" << 8192 << 0 << 163;
        QTest::newRow("mirel14 full scale") << "vugSensorMirel14.so" << 16383 << 2047 << 327;
        QTest::newRow("mirel14 zero word") << "vugSensorMirel14.so" << 0 << -2048 << 0;
        QTest::newRow("mirel14 cuff 1000") << "vugSensorMirel14.so" << 1000 << -1798 << 20;
        // -149 / 4 = -37 and -149 / 50 = -2, toward zero
        QTest::newRow("mirel14 negative") << "vugSensorMirel14.so" << 0xFF6B << 2011 << -2;
        QTest::newRow("mirel16 centre") << "vugSensorMirel16.so" << 8192 << 0 << 163;
        QTest::newRow("mirel16 zero word") << "vugSensorMirel16.so" << 0 << -32768 << 0;
        QTest::newRow("mirel16 full scale") << "vugSensorMirel16.so" << 16383 << 32764 << 327;
        QTest::newRow("mirel16 negative") << "vugSensorMirel16.so" << 0xFF6B << 32172 << -2;
        QTest::newRow("kvz2 zero word") << "vugSensorKVZ2.so" << 0x0000 << -2048 << 0;
        QTest::newRow("kvz2 low bits zero") << "vugSensorKVZ2.so" << 0x1000 << -2048 << 4096;
        QTest::newRow("kvz2 centre") << "vugSensorKVZ2.so" << 0x0800 << 0 << 2048;
        QTest::newRow("kvz2 full scale") << "vugSensorKVZ2.so" << 0x0FFF << 2047 << 4095;
        QTest::newRow("kvz2 all bits") << "vugSensorKVZ2.so" << 0xFFFF << 2047 << -1;
    }

    void words()
    {
        QFETCH(QString, file);
        QFETCH(int, word);
        QFETCH(int, value);
        QFETCH(int, cuff);
        bool read = false;
        const SensorFrame frame = frameFrom(file, littleEndianFrame(sameWords(quint16(word))), &read);
        QVERIFY(read);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(int(frame[WordCodes[i]]), value);
        QCOMPARE(int(frame[11]), cuff);
    }

    // Each word lands on its own code, low byte first; codes 6, 8, 10 and 12 are left alone.
    void wordOrder_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<Words>("words");
        QTest::addColumn<WordValues>("values");
        const Words words{0x0801, 0x0902, 0x0A03, 0x0B04, 0x0C05, 0x0D06, 0x0E07, 0x0F08, 0x0109};
        const WordValues values{1, 258, 515, 772, 1029, 1286, 1543, 1800, 265};
        QTest::newRow("mirel") << "vugSensorMirel.so" << words << values;
        QTest::newRow("kvz2") << "vugSensorKVZ2.so" << words << values;
        QTest::newRow("mirel14") << "vugSensorMirel14.so"
                                 << Words{8196, 8200, 8204, 8208, 8212, 8216, 8220, 8224, 1000}
                                 << WordValues{1, 2, 3, 4, 5, 6, 7, 8, 20};
        QTest::newRow("mirel16") << "vugSensorMirel16.so"
                                 << Words{8193, 8194, 8195, 8196, 8197, 8198, 8199, 8200, 1000}
                                 << WordValues{4, 8, 12, 16, 20, 24, 28, 32, 20};
    }

    void wordOrder()
    {
        QFETCH(QString, file);
        QFETCH(Words, words);
        QFETCH(WordValues, values);
        bool read = false;
        const SensorFrame frame = frameFrom(file, littleEndianFrame(words), &read);
        QVERIFY(read);
        for (int i = 0; i < 9; ++i)
            QCOMPARE(int(frame[WordCodes[i]]), values[i]);
        for (int code : {6, 8, 10, 12})
            QCOMPARE(frame[code], Untouched);
    }

    void alternativeFrameCommand()
    {
        EmulatedUnit unit;
        SensorPlugin plugin;
        QVERIFY(openAnswered(unit, plugin, "vugSensorMirel.so"));
        unit.answer("gt__", littleEndianFrame(sameWords(0x0810)));
        QVERIFY(plugin.device()->setMode(true));
        SensorFrame frame = markedFrame();
        QVERIFY(plugin.device()->readFrame(frame.data()));
        QCOMPARE(unit.commands(), QList<QByteArray>{"gt__"});
        QCOMPARE(int(frame[0]), 16);
    }

    // 'u', the channel's letter, '0', the gain code; codes 0-5, 7 and 9 are adjustable.
    void gainCommands_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("gainIndex");
        QTest::addColumn<QByteArray>("command");
        for (const QString &name : allFiles()) {
            const QByteArray file = name.toLatin1();
            QTest::addRow("%s index 0", file.data()) << name << 0 << 0 << QByteArray("u00\x01");
            QTest::addRow("%s below 0", file.data()) << name << 9 << -3 << QByteArray("u10\x01");
            QTest::addRow("%s index 1", file.data()) << name << 1 << 1 << QByteArray("u203");
            QTest::addRow("%s index 12", file.data()) << name << 7 << 12 << QByteArray("u30\xee");
            QTest::addRow("%s index 13", file.data()) << name << 3 << 13 << QByteArray("u40\xf2");
            QTest::addRow("%s index 2", file.data()) << name << 2 << 2 << QByteArray("u50\x5c");
            QTest::addRow("%s index 25", file.data()) << name << 4 << 25 << QByteArray("u60\xff");
            QTest::addRow("%s above 25", file.data()) << name << 5 << 30 << QByteArray("u70\xff");
            QTest::addRow("%s microphone refused", file.data()) << name << 6 << 5 << QByteArray();
            QTest::addRow("%s tachogram refused", file.data()) << name << 8 << 5 << QByteArray();
            QTest::addRow("%s code 13 refused", file.data()) << name << 13 << 5 << QByteArray();
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

    // 'b', letter, the two bytes of 2048 - shift, or 0 and 0 beyond 1...4095.
    void shiftCommands_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("shift");
        QTest::addColumn<QByteArray>("command");
        for (const QString &name : allFiles()) {
            const QByteArray file = name.toLatin1();
            QTest::addRow("%s no shift", file.data()) << name << 0 << 0 << QByteArray("b0\x08\x00", 4);
            QTest::addRow("%s 100", file.data()) << name << 1 << 100 << QByteArray("b2\x07\x9c");
            QTest::addRow("%s breathing", file.data()) << name << 3 << 0 << QByteArray("b4\x08\x00", 4);
            QTest::addRow("%s lowest", file.data()) << name << 9 << 2047 << QByteArray("b1\x00\x01", 4);
            QTest::addRow("%s highest", file.data()) << name << 7 << -2047 << QByteArray("b3\x0f\xff");
            QTest::addRow("%s v = 0", file.data()) << name << 2 << 2048 << QByteArray("b5\x00\x00", 4);
            QTest::addRow("%s v = 4096", file.data()) << name << 5 << -2048 << QByteArray("b7\x00\x00", 4);
            QTest::addRow("%s microphone refused", file.data()) << name << 6 << 0 << QByteArray();
        }
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

    // The Mirel units must acknowledge a command in full; the KVZ2 unit need not acknowledge at all.
    void acknowledgement_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("accepted");
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

    // The 20-byte identification; the Mirel units add two zero bytes.
    void version_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("copied");
        const QByteArray identification("MIREL-7 v1.04 2019-5");
        for (const QString &file : mirelFiles())
            QTest::newRow(qPrintable(file)) << file << identification + QByteArray(2, '\0');
        QTest::newRow("kvz2") << "vugSensorKVZ2.so" << identification;
    }

    void version()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, copied);
        EmulatedUnit unit;
        SensorPlugin plugin;
        QVERIFY(openAnswered(unit, plugin, file));
        unit.answer("vers", "MIREL-7 v1.04 2019-5");
        char out[ISensorBase::VersionSize];
        std::memset(out, 'x', sizeof out);
        // Too little room: the unit is not even asked.
        QVERIFY(!plugin.device()->version(out, copied.size() - 1));
        QCOMPARE(out[0], 'x');
        QVERIFY(unit.commands().isEmpty());
        QVERIFY(plugin.device()->version(out, copied.size()));
        QCOMPARE(QByteArray(out, copied.size()), copied);
        QCOMPARE(out[copied.size()], 'x');
    }

    // Ten tries, each failed one followed by 100 ms, the tenth too.
    void mirelVersionTries()
    {
        EmulatedUnit unit;
        SensorPlugin plugin;
        QVERIFY(openAnswered(unit, plugin, "vugSensorMirel16.so"));
        unit.setWritesFail(true);
        char out[ISensorBase::VersionSize];
        std::memset(out, 'x', sizeof out);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!plugin.device()->version(out, sizeof out));
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(elapsed >= 1000 && elapsed < 2500, qPrintable(QString::number(elapsed)));
        QCOMPARE(countOf(unit.calls(), "write 76657273"), 10);
        QCOMPARE(out[0], 'x');
    }

    // A short reply is a failed try; a later whole one is taken.
    void mirelVersionAfterShortReplies()
    {
        EmulatedUnit unit;
        SensorPlugin plugin;
        QVERIFY(openAnswered(unit, plugin, "vugSensorMirel.so"));
        const QByteArray identification("MIREL-1 v3.00 2011-0");
        unit.answer("vers", identification.left(19));
        unit.answer("vers", identification.left(5));
        unit.answer("vers", identification);
        char out[ISensorBase::VersionSize];
        QVERIFY(plugin.device()->version(out, sizeof out));
        QCOMPARE(QByteArray(out, 20), identification);
        QCOMPARE(unit.commands(), (QList<QByteArray>{"vers", "vers", "vers"}));
    }

    // One try; a unit that does not answer it in full gives no version.
    void kvz2VersionFromASilentUnit()
    {
        EmulatedUnit unit;
        SensorPlugin plugin;
        QVERIFY(openAnswered(unit, plugin, "vugSensorKVZ2.so"));
        unit.answer("vers", "KVZ2");
        char out[ISensorBase::VersionSize];
        std::memset(out, 'x', sizeof out);
        QVERIFY(!plugin.device()->version(out, sizeof out));
        QCOMPARE(unit.commands(), QList<QByteArray>{"vers"});
        QCOMPARE(out[0], 'x');
    }
};

VUG_TEST_MAIN(TestMirelUnits, QCoreApplication)
#include "tst_mirelunits.moc"
