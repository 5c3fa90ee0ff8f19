#include "CommandUnits.h"
#include "sensors/serial/EmulatedUnit.h"
#include "tests/support/TestHome.h"

#include <QElapsedTimer>

using namespace CommandUnits;

// Units of the Mirel, KVZ2 and Vorkel families that misbehave: none attached,
// one that never answers, and one that stops answering in the middle of a recording.
class TestUnitFaults : public QObject
{
    Q_OBJECT

private:
    static void addUnitRows()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("bigEndian");
        // false: open does not ask the unit for a frame
        QTest::addColumn<bool>("handshake");
        // the read time-out times the handshake's frame requests
        QTest::addColumn<int>("openMs");
        // two frames whose code 0 decodes to value1 and value2
        QTest::addColumn<int>("word1");
        QTest::addColumn<int>("value1");
        QTest::addColumn<int>("word2");
        QTest::addColumn<int>("value2");
        QTest::newRow("vorkel16") << "vugSensorVorkel16.so" << true << true << 5 * 800 << 0x8001 << 1 << 0x8002 << 2;
        QTest::newRow("vorkel") << "vugSensorVorkel.so" << true << true << 5 * 500 << 0x0801 << 1 << 0x0802 << 2;
        QTest::newRow("mirel") << "vugSensorMirel.so" << false << true << 400 << 0x0801 << 1 << 0x0802 << 2;
        QTest::newRow("mirel14") << "vugSensorMirel14.so" << false << true << 400 << 8196 << 1 << 8200 << 2;
        QTest::newRow("mirel16") << "vugSensorMirel16.so" << false << true << 400 << 8193 << 4 << 8194 << 8;
        QTest::newRow("kvz2") << "vugSensorKVZ2.so" << false << false << 0 << 0x0801 << 1 << 0x0802 << 2;
    }

    static QByteArray frameOf(bool bigEndian, int word)
    {
        const Words words = sameWords(quint16(word));
        return bigEndian ? bigEndianFrame(words) : littleEndianFrame(words);
    }

private slots:
    void noUnitAttached_data() { addUnitRows(); }

    void noUnitAttached()
    {
        QFETCH(QString, file);
        EmulatedUnit unit;
        unit.setPresent(false);
        SensorPlugin plugin;
        QVERIFY(plugin.bind(pluginPath(file)));
        ISensorBase *device = plugin.device();
        QVERIFY(!device->open(QString()));
        QVERIFY(!unit.isOpen());
        SensorFrame frame = markedFrame();
        QVERIFY(!device->readFrame(frame.data()));
        QCOMPARE(frame, markedFrame());
        QVERIFY(!device->setGain(0, 1));
        QVERIFY(!device->setShift(0, 0));
        QVERIFY(!device->setExtraMode(0));
        char out[ISensorBase::VersionSize] = {};
        QVERIFY(!device->version(out, sizeof out));
        QVERIFY(device->close());
        QVERIFY(unit.commands().isEmpty());
    }

    // Open gives up within its handshake's time-outs and keeps the handle until close;
    // the unit without a handshake opens and fails its first frame instead.
    void unitNeverAnswers_data() { addUnitRows(); }

    void unitNeverAnswers()
    {
        QFETCH(QString, file);
        QFETCH(bool, handshake);
        QFETCH(int, openMs);
        EmulatedUnit unit;
        SensorPlugin plugin;
        QVERIFY(plugin.bind(pluginPath(file)));
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(plugin.device()->open(QString()), !handshake);
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(elapsed >= openMs && elapsed < openMs + 1000, qPrintable(QString::number(elapsed)));
        QVERIFY(unit.isOpen());
        if (!handshake) {
            SensorFrame frame = markedFrame();
            QVERIFY(!plugin.device()->readFrame(frame.data()));
            QCOMPARE(frame, markedFrame());
        }
        QVERIFY(plugin.device()->close());
        QVERIFY(!unit.isOpen());
    }

    // A reply with the wrong prefix, a short reply (for KVZ2 too, even one that begins
    // with "ok") and silence each fail one tick and leave the frame alone; the next
    // whole reply is read as before.
    void unitFailsDuringRecording_data() { addUnitRows(); }

    void unitFailsDuringRecording()
    {
        QFETCH(QString, file);
        QFETCH(bool, bigEndian);
        QFETCH(bool, handshake);
        QFETCH(int, word1);
        QFETCH(int, value1);
        QFETCH(int, word2);
        QFETCH(int, value2);
        const QByteArray first = frameOf(bigEndian, word1);
        EmulatedUnit unit;
        if (handshake)
            unit.answer("go__", first);
        unit.answer("go__", first);
        unit.answer("go__", "ko" + first.mid(2));
        unit.answer("go__", first.left(first.size() - 1));
        unit.answer("go__", first.left(12));
        unit.answer("go__", QByteArray());
        unit.answer("go__", QByteArray());
        unit.answer("go__", frameOf(bigEndian, word2));
        SensorPlugin plugin;
        QVERIFY(plugin.bind(pluginPath(file)));
        ISensorBase *device = plugin.device();
        QVERIFY(device->open(QString()));
        unit.clearLog();

        SensorFrame frame = markedFrame();
        QVERIFY(device->readFrame(frame.data()));
        QCOMPARE(int(frame[0]), value1);
        for (int tick = 0; tick < 5; ++tick) {
            SensorFrame untouched = markedFrame();
            QVERIFY2(!device->readFrame(untouched.data()), qPrintable(QString::number(tick)));
            QCOMPARE(untouched, markedFrame());
        }
        frame = markedFrame();
        QVERIFY(device->readFrame(frame.data()));
        QCOMPARE(int(frame[0]), value2);
        QCOMPARE(unit.commands().size(), 7);
    }
};

VUG_TEST_MAIN(TestUnitFaults, QCoreApplication)
#include "tst_unitfaults.moc"
