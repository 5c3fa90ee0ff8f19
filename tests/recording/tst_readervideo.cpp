#include "tests/support/Ffprobe.h"
#include "ReaderHarness.h"
#include "data/InspectionMedia.h"
#include "recording/media/MMRecorder.h"
#include "recording/media/Player.h"
#include "tests/support/SyntheticCapture.h"
#include "tests/support/TestHome.h"

// The sensor reader recording with the media recorder on made-up camera and microphone.
class TestReaderVideo : public QObject
{
    Q_OBJECT

private:
    static void withVideo(ReaderRun &run, bool camera)
    {
        configureReader(QStringLiteral("vugSensorDemo.so"), [](GenericSettings &s) {
            s.bEnableVideoForRecord = true;
            s.iQualityVideo = 1;
        });
        run.collaborators.makeRecorder = [camera](int quality) {
            auto sources = std::make_unique<SyntheticCapture>();
            sources->setRealTime(3000);
            sources->setCamera(camera);
            return std::unique_ptr<VideoRecorder>(new MMRecorder(quality, std::move(sources)));
        };
    }

    // The time of the first frame the player shows when it starts at startMs.
    static double firstFrameSeconds(const QString &video, qint64 startMs)
    {
        Player player;
        player.open(video, startMs, {});
        QElapsedTimer clock;
        clock.start();
        double seconds = 0;
        while (seconds == 0 && clock.elapsed() < 10000) {
            QTest::qWait(5);
            player.takeFrame(nullptr, nullptr, nullptr, 0, &seconds);
        }
        return seconds;
    }

private slots:
    // A sound sink that keeps time: an unsynchronised one lets the video race to its end.
    void initTestCase() { qputenv("QT_GSTREAMER_PLAYBIN_AUDIOSINK", "fakesink sync=true"); }

    void clockOfEverySampleFollowsTheWrittenVideo()
    {
        ReaderRun run;
        withVideo(run, true);
        run.start();
        run.waitForSetUp();
        for (int i = 0; i < 60; ++i) {
            run.tick();
            QTest::qWait(50);
        }
        QVERIFY(run.stop());
        QVERIFY(run.errors().isEmpty());
        const QVector<qint32> &times = run.test().TimeMM;
        for (int p = 2; p <= 60; ++p)
            QVERIFY(times[p] >= times[p - 1]);
        QVERIFY2(times[60] > 2000, qPrintable(QString::number(times[60])));
        const QString video = run.reader->temporaryVideo()->whereNow();
        const QJsonObject stream = Ffprobe::streamOf(Ffprobe::formatAndStreams(video), "video");
        QCOMPARE(stream.value("codec_name").toString(), QStringLiteral("mpeg4"));
        // The last sample was taken shortly before the recording stopped.
        const double duration = stream.value("duration").toString().toDouble();
        QVERIFY2(duration * 1000 >= times[60] && duration * 1000 - times[60] < 500,
                 qPrintable(QStringLiteral("%1 s against %2 ms").arg(duration).arg(times[60])));
        // Played back from a sample's clock, the video shows that moment.
        for (int p : {10, 30, 55}) {
            const double seconds = firstFrameSeconds(video, times[p]);
            QVERIFY2(qAbs(seconds * 1000 - times[p]) <= 50,
                     qPrintable(QStringLiteral("%1 s against %2 ms").arg(seconds).arg(times[p])));
        }
    }

    void missingCameraIsReportedAfterTheWait()
    {
        ReaderRun run;
        withVideo(run, false);
        run.start();
        QTRY_VERIFY_WITH_TIMEOUT(run.errors().contains(QStringLiteral("Error open web camera")), 20000);
        QVERIFY(run.stop());
        QVERIFY(run.reader->temporaryVideo()->whereNow().isEmpty());
    }
};

VUG_TEST_MAIN(TestReaderVideo, QGuiApplication)
#include "tst_readervideo.moc"
