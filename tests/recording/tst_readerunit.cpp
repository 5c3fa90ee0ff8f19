#include "ReaderHarness.h"
#include "sensors/serial/UnitCommand.h"
#include "tests/sensors/CommandUnits.h"
#include "tests/support/FakeRecorder.h"
#include "tests/support/TestHome.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

using namespace CommandUnits;

// The sensor reader against the emulated Vorkel16 unit, through its real protocol.
class TestReaderUnit : public QObject
{
    Q_OBJECT

private:
    // A frame whose channels all read k.
    static QByteArray frame(int k) { return bigEndianFrame(sameWords(quint16(0x8000 + k))); }

    // The gain and shift commands of the log.
    static QList<QByteArray> adjustments(const EmulatedUnit &unit)
    {
        QList<QByteArray> found;
        for (const QByteArray &command : unit.commands()) {
            if (command.startsWith('u') || command.startsWith('b') || command.startsWith("dop"))
                found << command;
        }
        return found;
    }

    static QByteArray bytes(const UnitCommand &command) { return QByteArray(command.data(), UnitCommand::Size); }

    static char letter(int code) { return UnitCommand::channelLetter(UnitCommand::Letters::Vorkel, code); }

    // Frames 1..10 for positions 1..10, after the one the open takes.
    static void answerTenFrames(EmulatedUnit &unit)
    {
        unit.answerOthers("ack!");
        unit.answer("go__", frame(50));
        for (int p = 1; p <= 10; ++p)
            unit.answer("go__", frame(p));
    }

private slots:
    void init() { configureReader(QStringLiteral("vugSensorVorkel16.so")); }

    void setUpAndPendingChanges()
    {
        EmulatedUnit unit;
        answerTenFrames(unit);
        ReaderRun run;
        run.start();
        run.waitForSetUp();
        // Shift, then gain, for every delivered channel the unit can adjust.
        QList<QByteArray> expected;
        for (int code = 0; code < ChannelCode::Count; ++code) {
            const Inspection::_Channel &channel = run.test().channel(code);
            QVERIFY(channel.KodDrv >= 0);
            QCOMPARE(run.test().samples(code)->size(), SensorReader::RecordCapacity);
            if (letter(code))
                expected << bytes(UnitCommand::shift(letter(code), channel.ShiftADT))
                         << bytes(UnitCommand::gain(letter(code), channel.ADT));
        }
        QCOMPARE(adjustments(unit), expected);
        QVERIFY(run.reader->isSixteenBit());

        // Both changed: the gain goes this tick, the shift the next; one call per channel per tick.
        unit.clearLog();
        Inspection::_Channel &gsr = run.test().channel(ChannelCode::GSR);
        gsr.ShiftADT = 100;
        gsr.ADT = 4;
        gsr.ShiftADTChanged = true;
        gsr.ADTChanged = true;
        run.test().channel(ChannelCode::RG_HI).ShiftADTChanged = true;
        run.tick();
        const int upperShift = run.test().channel(ChannelCode::RG_HI).ShiftADT;
        QCOMPARE(adjustments(unit), (QList<QByteArray>{bytes(UnitCommand::gain('0', 4)),
                                                       bytes(UnitCommand::shift(letter(ChannelCode::RG_HI), upperShift))}));
        unit.clearLog();
        run.tick();
        QCOMPARE(adjustments(unit), QList<QByteArray>{bytes(UnitCommand::shift('0', 100))});
        unit.clearLog();
        run.test().extraMode = 1;
        run.test().extraModeChanged = true;
        run.tick();
        run.tick();
        QCOMPARE(adjustments(unit), QList<QByteArray>{"dop1"});
        QCOMPARE(int(run.test().dataGSR[1]), 1);
        QCOMPARE(int(run.test().dataRG_DIFF[1]), 0);
    }

    void unitThatAnswersWronglyDoesNotOpen()
    {
        EmulatedUnit unit;
        unit.answer("go__", "ko" + frame(1).mid(2));
        ReaderRun run;
        run.start();
        QVERIFY(run.join());
        QCOMPARE(run.errors(), QStringList{"Error open device"});
        QCOMPARE(run.loopEnds.count(), 0);
        QVERIFY(unit.calls().contains("open 0"));
        QVERIFY(!unit.isOpen());
    }

    void failedReadsEarlyAndLate()
    {
        EmulatedUnit unit;
        unit.answerOthers("ack!");
        unit.answer("go__", frame(50));
        for (int p = 1; p <= 10; ++p)
            unit.answer("go__", p == 3 ? QByteArray("ko") + frame(p).mid(2) : frame(p));
        // Position 11: a short reply, the reopen's handshake, then good frames.
        unit.answer("go__", frame(11).left(7));
        unit.answer("go__", frame(60));
        unit.answer("go__", frame(11));
        unit.answer("go__", frame(12));
        ReaderRun run;
        run.start();
        run.tick(10);
        QCOMPARE(run.reader->currentPosition(), 11);
        QCOMPARE(int(run.test().dataGSR[3]), 0);
        QVERIFY(!run.reader->readFailed());
        unit.clearLog();
        run.tick();
        // The failed tick keeps its position with the frame before it.
        QCOMPARE(run.reader->currentPosition(), 12);
        QVERIFY(run.reader->readFailed());
        QCOMPARE(int(run.test().dataGSR[11]), 10);
        QCOMPARE(run.reader->missedTicks(), quint64(1));
        const QStringList calls = unit.calls();
        QVERIFY(calls.indexOf("close") >= 0 && calls.indexOf("open 0") > calls.indexOf("close"));
        run.tick(2);
        QVERIFY(!run.reader->readFailed());
        QCOMPARE(run.reader->currentPosition(), 14);
        for (int p = 1; p <= 13; ++p)
            QCOMPARE(int(run.test().dataGSR[p]), p == 3 ? 0 : p <= 11 ? std::min(p, 10) : p - 1);
    }

    void silentThenAnswering()
    {
        EmulatedUnit unit;
        answerTenFrames(unit);
        unit.answer("go__", frame(11));
        // Two ticks without a reply, each reopened at the second handshake.
        for (int i = 0; i < 2; ++i) {
            unit.answer("go__", QByteArray());
            unit.answer("go__", QByteArray());
            unit.answer("go__", frame(70 + i));
        }
        unit.answer("go__", frame(12));
        ReaderRun run;
        run.start();
        run.tick(11);
        QCOMPARE(run.reader->currentPosition(), 12);
        for (int i = 0; i < 2; ++i) {
            run.tick();
            QVERIFY(run.reader->readFailed());
            QCOMPARE(run.reader->currentPosition(), 13 + i);
            QCOMPARE(int(run.test().dataGSR[12 + i]), 11);
        }
        run.tick(2);
        QVERIFY(!run.reader->readFailed());
        QCOMPARE(run.reader->currentPosition(), 16);
        QVERIFY(run.stop());
        QCOMPARE(run.test().missedFrames, 2);
        // The silent ticks hold the frame before them; the last scripted frame repeats.
        for (int p = 1; p <= 15; ++p)
            QCOMPARE(int(run.test().dataGSR[p]), p <= 11 ? p : p <= 13 ? 11 : 12);
    }

    void framesKeepTheirPositions_data()
    {
        QTest::addColumn<bool>("surplus");
        QTest::addColumn<int>("together");
        QTest::addColumn<int>("missed");
        QTest::newRow("unit answers twice") << true << 1 << 0;
        // More than a second behind: the oldest ticks are let go.
        QTest::newRow("reader a second behind") << false << 25 << 5;
    }

    // Each position holds the frame its own request brought; a tick let go
    // holds the frame before it, and the loss is counted.
    void framesKeepTheirPositions()
    {
        QFETCH(bool, surplus);
        QFETCH(int, together);
        QFETCH(int, missed);
        EmulatedUnit unit;
        unit.answerOthers("ack!");
        const auto reply = [surplus](int k) { return surplus ? frame(k) + frame(k + 100) : frame(k); };
        unit.answer("go__", reply(50));
        for (int k = 1; k <= 30; ++k)
            unit.answer("go__", reply(k));
        ReaderRun run;
        run.start();
        run.tick(5);
        for (int i = 0; i < 25; i += together)
            run.ticks.tick(together);
        QVERIFY(run.stop());
        QCOMPARE(run.test().dataGSR.size(), 31);
        for (int p = 1; p <= 30; ++p)
            QCOMPARE(int(run.test().dataGSR[p]), p <= 5 ? p : p <= 5 + missed ? 5 : p - missed);
        QCOMPARE(run.reader->missedTicks(), quint64(missed));
        QCOMPARE(run.test().missedFrames, missed);
        QCOMPARE(run.reader->lineErrors() > 0, surplus);
        QCOMPARE(run.test().lineErrors > 0, surplus);
    }

    void stopDuringRecovery()
    {
        QRandomGenerator random(18);
        for (int i = 0; i < 5; ++i) {
            EmulatedUnit unit;
            answerTenFrames(unit);
            unit.answer("go__", QByteArray());
            ReaderRun run;
            run.start();
            run.tick(10);
            run.ticks.release();
            QThread::msleep(random.bounded(100, 3000));
            QElapsedTimer clock;
            clock.start();
            QVERIFY(run.stop(6000));
            // Within one reopen: five handshakes of 800 ms.
            QVERIFY2(clock.elapsed() < 4500, qPrintable(QString::number(clock.elapsed())));
            QVERIFY(!unit.isOpen());
            QCOMPARE(run.loopEnds.count(), 1);
            // The ticks of the recovery hold the last frame.
            for (int p = 10; p < run.test().dataGSR.size(); ++p)
                QCOMPARE(int(run.test().dataGSR[p]), 10);
        }
    }

    void microphoneOfASixteenBitUnit()
    {
        EmulatedUnit unit;
        answerTenFrames(unit);
        configureReader(QStringLiteral("vugSensorVorkel16.so"), [](GenericSettings &s) { s.bEnableVideoForRecord = true; });
        ReaderRun run;
        auto *camera = new FakeRecorder;
        camera->setFrame(8, 8);
        camera->setLevel(1000);
        run.collaborators.makeRecorder = [camera](int) { return std::unique_ptr<VideoRecorder>(camera); };
        run.start();
        run.waitForSetUp();
        run.test().channel(ChannelCode::MIC2).ADT = 2;
        run.test().channel(ChannelCode::MIC2).ShiftADT = 10;
        run.tick();
        QCOMPARE(int(run.test().dataMIC2[1]), 4010);
        camera->setLevel(10000);
        run.tick();
        QCOMPARE(int(run.test().dataMIC2[2]), 32767);
    }
};

VUG_TEST_MAIN(TestReaderUnit, QCoreApplication)
#include "tst_readerunit.moc"
