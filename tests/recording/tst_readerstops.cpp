#include "FakePlayer.h"
#include "FakeSensorControl.h"
#include "ReaderHarness.h"
#include "data/InspectionMedia.h"
#include "tests/support/FakeRecorder.h"
#include "tests/support/TestHome.h"

#include <QRandomGenerator>

#include <atomic>
#include <thread>

// Recordings and playbacks stopped at random moments: every stop returns, every
// device is released, and only a normal start ends with the loop's event.
class TestReaderStops : public QObject
{
    Q_OBJECT

private:
    enum Scenario { Demonstration, Recovering, CameraWait, Playback, UnitDoesNotOpen, ScenarioCount };

    static QString fakeFolder() { return QStringLiteral(VUG_FAKE_SENSORS); }

    // Returns whether the run is expected to start normally.
    static bool prepare(ReaderRun &run, Scenario scenario)
    {
        switch (scenario) {
        case Demonstration:
            configureReader(QStringLiteral("vugSensorDemo.so"));
            run.collaborators.pluginFolder = binFolder();
            return true;
        case Recovering:
            configureReader(QStringLiteral("vugSensorFakeNoSources.so"));
            return true;
        case CameraWait:
            configureReader(QStringLiteral("vugSensorFakeNoSources.so"), [](GenericSettings &s) {
                s.bEnableVideoForRecord = true;
            });
            run.collaborators.makeRecorder = [](int) { return std::unique_ptr<VideoRecorder>(new FakeRecorder); };
            return false;
        case Playback: {
            configureReader(QStringLiteral("vugSensorDemo.so"));
            run.collaborators.pluginFolder = binFolder();
            Inspection::_Test &test = run.test();
            test.dataGSR.resize(400);
            test.TimeMM.resize(400);
            for (int i = 0; i < 400; ++i)
                test.TimeMM[i] = 50 * i;
            QFile video(InspectionMedia::testVideoPath(run.inspection, test));
            video.open(QIODevice::WriteOnly);
            run.collaborators.makePlayer = [] { return std::unique_ptr<VideoPlayer>(new FakePlayer); };
            return true;
        }
        default:
            configureReader(QStringLiteral("vugSensorFakeA.so"));
            return false;
        }
    }

private slots:
    void stopsAtRandomMoments()
    {
        FakeSensorControl unit(fakeFolder() + QStringLiteral("/vugSensorFakeNoSources.so"));
        QRandomGenerator random(2966);
        for (int i = 0; i < 200; ++i) {
            const auto scenario = Scenario(random.bounded(int(ScenarioCount)));
            // Every read after the tenth fails: the unit is reopened every tick.
            unit.failReads(scenario == Recovering ? 11 : 0, scenario == Recovering ? 1 << 30 : -1);
            ReaderRun run(fakeFolder());
            const bool normal = prepare(run, scenario);
            run.start(scenario != Playback, 5);
            std::atomic<bool> ticking{true};
            std::thread ticker([&] {
                while (ticking) {
                    run.ticks.release();
                    QThread::usleep(500);
                }
            });
            QThread::usleep(random.bounded(20000));
            const bool stopped = run.stop(5000);
            ticking = false;
            ticker.join();
            QVERIFY2(stopped, qPrintable(QString("run %1, scenario %2").arg(i).arg(scenario)));
            QVERIFY2(run.errors().isEmpty() == (scenario != UnitDoesNotOpen), qPrintable(run.errors().join(' ')));
            QCOMPARE(unit.liveDevices(), 0);
            QCOMPARE(run.loopEnds.count(), normal ? 1 : 0);
        }
    }
};

VUG_TEST_MAIN(TestReaderStops, QCoreApplication)
#include "tst_readerstops.moc"
