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

private slots:
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
