#include "FakePlayer.h"
#include "ReaderHarness.h"
#include "data/InspectionMedia.h"
#include "tests/support/TestHome.h"

// Playback of a recorded test in step with its video, on a fake player's clock.
class TestReaderPlayback : public QObject
{
    Q_OBJECT

private:
    static constexpr int kLength = 1000;

    // A recorded test of kLength positions, 50 ms apart, with its video file.
    static void record(ReaderRun &run, int timeEntries = kLength)
    {
        Inspection::_Test &test = run.test();
        test.dataGSR.resize(kLength);
        test.dataGSR_C.resize(kLength);
        test.TimeMM.resize(timeEntries);
        for (int i = 0; i < timeEntries; ++i)
            test.TimeMM[i] = 50 * i;
        QFile video(InspectionMedia::testVideoPath(run.inspection, test));
        QVERIFY(video.open(QIODevice::WriteOnly));
    }

    // The run's player, made by the reader.
    static FakePlayer *&madePlayer(ReaderRun &run)
    {
        static FakePlayer *made = nullptr;
        made = nullptr;
        run.collaborators.makePlayer = [] {
            made = new FakePlayer;
            return std::unique_ptr<VideoPlayer>(made);
        };
        return made;
    }

private slots:
    void init() { configureReader(QStringLiteral("vugSensorDemo.so")); }

    void catchesUpInFifths()
    {
        ReaderRun run;
        record(run);
        FakePlayer *&player = madePlayer(run);
        run.start(false, 100);
        run.waitForSetUp();
        QVERIFY(player);
        QCOMPARE(player->openedAt(), qint64(5000));
        QCOMPARE(run.reader->positionCount(), kLength);
        // The video is 1000 ms (20 positions) ahead.
        player->setClock(6000);
        run.tick();
        QCOMPARE(run.reader->currentPosition(), 100 + 20 / 5 + 1);
        run.tick();
        QCOMPARE(run.reader->currentPosition(), 105 + 15 / 5 + 1);
        QCOMPARE(run.reader->videoClock(), 6000);
        QByteArray frame;
        QSize size;
        QVERIFY(run.reader->takeVideoFrame(frame, &size));
        QCOMPARE(size, QSize(16, 8));
        QCOMPARE(frame.at(0), 'p');
        // Behind the video's clock: back by a fifth of the gap, then the normal step.
        player->setClock(5000);
        run.tick();
        QCOMPARE(run.reader->currentPosition(), 109 - 9 / 5 + 1);
        QVERIFY(player->seeks().isEmpty());
        QVERIFY(run.stop());
        QVERIFY(player->stopped());
        // A playback leaves the recording as it was.
        QCOMPARE(run.test().dataGSR.size(), kLength);
        QCOMPARE(run.loopEnds.count(), 1);
    }

    void jumpInTheTimesSeeks()
    {
        ReaderRun run;
        record(run);
        for (int i = 150; i < kLength; ++i)
            run.test().TimeMM[i] += 300;
        FakePlayer *&player = madePlayer(run);
        run.start(false, 149);
        run.tick();
        QCOMPARE(run.reader->currentPosition(), 150);
        run.tick();
        QCOMPARE(player->seeks(), QList<qint64>{150 * 50 + 300});
        QCOMPARE(run.reader->currentPosition(), 151);
    }

    void shortTimesPlayWithoutVideo()
    {
        ReaderRun run;
        record(run, 50);
        FakePlayer *&player = madePlayer(run);
        run.start(false, 100);
        run.tick(3);
        QVERIFY(!player);
        QCOMPARE(run.reader->currentPosition(), 103);
        QVERIFY(!run.reader->videoPlayer());
    }

    void pausedStaysAndSeeksClamp()
    {
        ReaderRun run;
        record(run);
        FakePlayer *&player = madePlayer(run);
        run.start(false, 10);
        run.tick();
        QCOMPARE(run.reader->currentPosition(), 11);
        run.reader->setPaused(true);
        player->setClock(20000);
        run.tick(3);
        QCOMPARE(run.reader->currentPosition(), 11);
        run.reader->seek(5000);
        QCOMPARE(run.reader->currentPosition(), kLength - 1);
        QCOMPARE(player->seeks(), QList<qint64>{50 * (kLength - 1)});
        run.reader->seek(-3);
        QCOMPARE(run.reader->currentPosition(), 0);
        // At the end the position stays, and a playback runs until it is stopped.
        run.reader->setPaused(false);
        run.reader->seek(kLength - 1);
        player->setClock(50 * (kLength - 1));
        run.tick(2);
        QCOMPARE(run.reader->currentPosition(), kLength - 1);
        QVERIFY(run.thread->isRunning());
    }
};

VUG_TEST_MAIN(TestReaderPlayback, QCoreApplication)
#include "tst_readerplayback.moc"
