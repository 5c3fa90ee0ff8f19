#include "RendererHarness.h"
#include "recording/RecordingSession.h"
#include "tests/support/FakeRecorder.h"
#include "tests/support/TestHome.h"

#include <QSignalSpy>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

// A camera that never gives a frame: the reader waits for it.
class SilentCamera : public FakeRecorder
{
public:
    int takeFrame(int *width, int *height, void *dest, int capacity, double *seconds, double *level) override
    {
        ++asked;
        return FakeRecorder::takeFrame(width, height, dest, capacity, seconds, level);
    }
    std::atomic<int> asked{0};
};

// The session's threads started and ended in every way a recording ends.
class TestRecordingSession : public QObject
{
    Q_OBJECT

    enum Ending { Stop, StopTwice, Destroy };
    // Marks made before the end: none, a question still open, every question long done.
    enum Marks { NoMarks, OpenQuestion, AllDone };

    // Runs end on this thread; false when it took more than a second. Past the
    // second the ticks are let go, so that a wrong order still ends and fails here.
    static bool endsWithinASecond(const std::function<void()> &end, ManualTickSource &ticks)
    {
        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
        bool late = false;
        std::thread watchdog([&] {
            std::unique_lock<std::mutex> lock(mutex);
            if (ended.wait_for(lock, std::chrono::seconds(1), [&] { return done; }))
                return;
            late = true;
            lock.unlock();
            ticks.interrupt();
        });
        end();
        {
            std::lock_guard<std::mutex> lock(mutex);
            done = true;
        }
        ended.notify_all();
        watchdog.join();
        return !late;
    }

    static void mark(InspectionTest &test, int theme, int start, int end)
    {
        InspectionLabel label;
        label.Group = 1;
        label.Theme = qint16(theme);
        label.TickQStart = start;
        label.TickQEnd = end;
        test.appendLabel(label);
    }

private slots:
    void endsJoinedAndReportsTheRunOnce_data()
    {
        QTest::addColumn<bool>("recordMode");
        QTest::addColumn<bool>("camera");
        QTest::addColumn<int>("marks");
        QTest::addColumn<int>("ending");
        QTest::addColumn<int>("reports");
        QTest::addColumn<bool>("presentationDone");
        QTest::addColumn<bool>("videoWritten");
        QTest::addColumn<int>("loopEnds");
        QTest::newRow("stop before the first tick")
            << true << false << int(NoMarks) << int(Stop) << 1 << true << false << 0;
        QTest::newRow("stop during the camera wait")
            << true << true << int(NoMarks) << int(Stop) << 1 << true << true << 0;
        QTest::newRow("stop after the loop ended by itself")
            << true << false << int(AllDone) << int(Stop) << 1 << true << false << 1;
        QTest::newRow("stop twice during a question")
            << true << false << int(OpenQuestion) << int(StopTwice) << 1 << false << false << 0;
        QTest::newRow("stop a playback") << false << false << int(NoMarks) << int(Stop) << 1 << true << false << 0;
        QTest::newRow("destroy without a stop")
            << true << false << int(OpenQuestion) << int(Destroy) << 0 << false << false << 0;
    }

    void endsJoinedAndReportsTheRunOnce()
    {
        QFETCH(bool, recordMode);
        QFETCH(bool, camera);
        QFETCH(int, marks);
        QFETCH(int, ending);
        QFETCH(int, reports);
        QFETCH(bool, presentationDone);
        QFETCH(bool, videoWritten);
        QFETCH(int, loopEnds);
        // An answer time of a second, no time after the last one.
        configureReader(QStringLiteral("vugSensorDemo.so"), [camera](GenericSettings &s) {
            s.bEnableVideoForRecord = camera;
            s.iIA = 1;
            s.iTimeAfterForRecod = 0;
        });
        ReaderRun run;
        SilentCamera *silent = nullptr;
        if (camera) {
            silent = new SilentCamera;
            silent->setFailure(QStringLiteral("Камера не отвечает"));
            run.collaborators.makeRecorder = [silent](int) { return std::unique_ptr<VideoRecorder>(silent); };
        }
        if (!recordMode) {
            for (int code = 0; code < ChannelCode::Count; ++code)
                run.test().samples(code)->fill(1, 100);
        }
        BlindSurface surface;
        auto session = std::make_unique<RecordingSession>();
        QSignalSpy ended(session.get(), &RecordingSession::loopEnded);
        QSignalSpy drawing(session.get(), &RecordingSession::updateUI);
        session->start(&surface, &run.inspection, &run.test(), recordMode, 0, run.collaborators);
        // The renderer has begun its loop and waits for the reader's data.
        QTRY_VERIFY(!drawing.isEmpty());
        if (camera) {
            QTRY_VERIFY(silent->asked > 0);
        } else {
            run.waitForSetUp();
        }
        if (marks != NoMarks) {
            run.tick(50);
            QMutexLocker lock(&session->markLock());
            const int at = session->position();
            if (marks == OpenQuestion) {
                mark(run.test(), 0, at, at);
            } else {
                mark(run.test(), 0, 1, 2);
                mark(run.test(), 1, 3, 4);
            }
        }
        if (marks == OpenQuestion)
            run.tick(5);
        if (marks == AllDone) {
            for (int i = 0; i < 10 && !run.ticks.interrupted(); ++i)
                run.tick();
            QVERIFY(run.ticks.interrupted());
            QTRY_COMPARE(ended.count(), 1);
        }

        QVector<RecordingEnd::Run> runs;
        const auto stop = [&] {
            if (const std::optional<RecordingEnd::Run> facts = session->stop())
                runs << *facts;
        };
        QVERIFY(endsWithinASecond(
            [&] {
                if (ending == Destroy) {
                    session.reset();
                    return;
                }
                stop();
                if (ending == StopTwice)
                    stop();
            },
            run.ticks));
        QVERIFY(run.ticks.interrupted());  // the reader's loop has ended
        QVERIFY(!session || !session->isRunning());
        QCoreApplication::processEvents();
        QCOMPARE(ended.count(), loopEnds);
        QCOMPARE(runs.size(), reports);
        if (reports == 0)
            return;
        QCOMPARE(runs[0].newRecording, recordMode);
        QCOMPARE(runs[0].presentationDone, presentationDone);
        QCOMPARE(runs[0].videoWritten, videoWritten);
        QCOMPARE(runs[0].videoFailure, camera ? QStringLiteral("Камера не отвечает") : QString());
    }
};

VUG_TEST_MAIN(TestRecordingSession, QApplication)
#include "tst_recordingsession.moc"
