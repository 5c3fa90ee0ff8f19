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

private slots:
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
            unit.answer("go__", "ko" + centreFrame(file).mid(2));
        unit.answer("go__", centreFrame(file));
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
