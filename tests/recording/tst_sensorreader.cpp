#include "FakeSensorControl.h"
#include "ReaderHarness.h"
#include "data/ChannelCode.h"
#include "recording/_Timer.h"
#include "tests/support/FakeRecorder.h"
#include "tests/support/TestHome.h"

#include <QFile>
#include <QRandomGenerator>

#include <atomic>
#include <cmath>
#include <thread>

// The sensor reader on the demonstration and stand-in plug-ins, ticked by hand.
class TestSensorReader : public QObject
{
    Q_OBJECT

private:
    static QString fakePlugin(const char *name) { return QStringLiteral(VUG_FAKE_SENSORS "/vugSensorFake%1.so").arg(name); }

    // The demonstration unit's value of a channel at counter step n.
    static qint16 demoValue(int code, int n)
    {
        static const QHash<int, int> offsets = {{ChannelCode::TRM, 0},   {ChannelCode::GSR_C, 101},
                                                {ChannelCode::PG, 201},  {ChannelCode::RG_HI, 301},
                                                {ChannelCode::RG_LO, 401}, {ChannelCode::GSR, 501},
                                                {ChannelCode::AD, 601}};
        const int step = n + offsets.value(code);
        if (step % 500 > 249)
            return qint16(int(std::sin(step / 3.0) * 300.0) - 800);
        return qint16(int(std::sin(step * 0.5) * 300.0) - 400);
    }

    // The counter step of position 1: the demonstration counter is shared by the process.
    static int firstDemoStep(const Inspection::_Test &test)
    {
        for (int n = 0; n < 200000; ++n) {
            bool all = true;
            for (int p = 1; p <= 40 && all; ++p)
                all = test.dataTRM.at(p) == demoValue(ChannelCode::TRM, n + p - 1);
            if (all)
                return n;
        }
        return -1;
    }

    static bool isMapped(const QString &fileName)
    {
        QFile maps(QStringLiteral("/proc/self/maps"));
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(fileName.toUtf8());
    }

    // A recording on the demonstration unit with a camera: the recorder is the run's.
    static FakeRecorder *withCamera(ReaderRun &run)
    {
        auto *made = new FakeRecorder;
        made->setFrame(64, 48, 'a');
        run.collaborators.makeRecorder = [made](int) { return std::unique_ptr<VideoRecorder>(made); };
        configureReader(QStringLiteral("vugSensorDemo.so"), [](GenericSettings &s) { s.bEnableVideoForRecord = true; });
        return made;
    }

private slots:
    void demonstrationFollowsItsFormula()
    {
        configureReader(QStringLiteral("vugSensorDemo.so"));
        ReaderRun run;
        run.start();
        run.tick(300);
        QCOMPARE(run.reader->currentPosition(), 301);
        QVERIFY(run.stop());
        const Inspection::_Test &test = run.test();
        const int n0 = firstDemoStep(test);
        QVERIFY(n0 >= 0);
        for (int code : {0, 1, 2, 3, 4, 5, 7}) {
            const QVector<qint16> &samples = *run.test().samples(code);
            QCOMPARE(samples.size(), 301);
            QCOMPARE(int(samples[0]), 0);
            for (int p = 1; p <= 300; ++p)
                QCOMPARE(samples[p], demoValue(code, n0 + p - 1));
        }
        for (int p = 0; p <= 300; ++p)
            QCOMPARE(test.dataRG_DIFF[p], qint16(test.dataRG_HI[p] - test.dataRG_LO[p]));
        for (int code : {ChannelCode::MIC, ChannelCode::ADVANCED, ChannelCode::AD2})
            QVERIFY(run.test().samples(code)->isEmpty());
        // The pulse of the demonstration gives a tachogram once two beats are found.
        QVERIFY(std::any_of(test.dataTGM.begin(), test.dataTGM.end(), [](qint16 v) { return v > 0; }));
        QCOMPARE(test.idsensor, QUuid("{954b01e1-f249-4b67-abf7-839b8b6fb8a0}"));
        QCOMPARE(run.loopEnds.count(), 1);
    }

    void runToCapacityEndsByItself()
    {
        configureReader(QStringLiteral("vugSensorDemo.so"));
        ReaderRun run;
        run.start();
        run.tick(SensorReader::RecordCapacity - 2);
        QVERIFY(run.join());
        QCOMPARE(run.reader->currentPosition(), 71999);
        for (int code = 0; code < ChannelCode::Count; ++code) {
            const QVector<qint16> &samples = *run.test().samples(code);
            QVERIFY(samples.isEmpty() || (samples.size() == 71999 && samples[0] == 0));
        }
        QCOMPARE(run.test().dataGSR.size(), 71999);
        QCOMPARE(run.test().TimeMM.size(), 71999);
        QCOMPARE(run.loopEnds.count(), 1);
        QCOMPARE(run.reader->missedTicks(), quint64(0));
    }

    void ticksThatCameTogetherRunAtOnce_data()
    {
        QTest::addColumn<int>("together");
        QTest::addColumn<int>("positions");
        QTest::addColumn<int>("missed");
        QTest::newRow("a stall") << 6 << 6 << 0;
        // A reader more than a second behind lets the oldest go; they keep their positions.
        QTest::newRow("beyond a second") << 25 << 25 << 5;
    }

    void ticksThatCameTogetherRunAtOnce()
    {
        QFETCH(int, together);
        configureReader(QStringLiteral("vugSensorDemo.so"));
        ReaderRun run;
        run.start();
        run.tick();
        const int before = run.reader->currentPosition();
        run.ticks.tick(together);
        QTEST(run.reader->currentPosition() - before, "positions");
        QTEST(int(run.reader->missedTicks()), "missed");
    }

    // The real tick source, its consumer held up 300 ms once: six deadlines pass
    // meanwhile, by the clock, however late the tick's own thread runs.
    void stalledTickSourceDeliversTheSixPositions()
    {
        class StallingTicks : public TickSource
        {
        public:
            quint64 waitForTick(quint64 taken) override
            {
                if (stallAt == 0 && taken > 0 && reader.load()) {
                    stallAt = taken;
                    before = reader.load()->currentPosition();
                    stalled.start();
                    QThread::msleep(300);
                } else if (stallEnd > 0 && taken >= stallEnd && caughtUpMs < 0) {
                    after = reader.load()->currentPosition();
                    caughtUpMs = stalled.elapsed();
                    reader.load()->requestStop();
                }
                const quint64 newest = timer.waitForTick(taken);
                if (taken == stallAt)
                    stallEnd = newest;
                return newest;
            }
            void interrupt() override { timer.interrupt(); }

            _Timer timer;
            std::atomic<SensorReader *> reader{nullptr};
            quint64 stallAt = 0;
            quint64 stallEnd = 0;
            int before = 0;
            int after = 0;
            QElapsedTimer stalled;
            qint64 caughtUpMs = -1;
        } ticks;
        configureReader(QStringLiteral("vugSensorDemo.so"));
        ReaderRun run;
        run.collaborators.ticks = &ticks;
        run.start();
        ticks.reader = run.reader.get();
        QVERIFY(run.join());
        QVERIFY(ticks.stallEnd >= ticks.stallAt + 6);
        QCOMPARE(quint64(ticks.after - ticks.before), ticks.stallEnd - ticks.stallAt);
        // Ticks are let go only a second behind; a busy machine may hold the reader up that long.
        if (ticks.caughtUpMs < 900)
            QCOMPARE(run.reader->missedTicks(), quint64(0));
    }

    void unitWithoutBreathingOrPulseRecordsAndAdvances()
    {
        FakeSensorControl unit(fakePlugin("NoSources"));
        unit.failReads(0, -1);
        configureReader(QStringLiteral("vugSensorFakeNoSources.so"));
        ReaderRun run(QStringLiteral(VUG_FAKE_SENSORS));
        run.start();
        run.tick(30);
        QCOMPARE(run.reader->currentPosition(), 31);
        QVERIFY(run.stop());
        const Inspection::_Test &test = run.test();
        QCOMPARE(test.dataGSR.size(), 31);
        for (int p = 1; p <= 30; ++p) {
            QCOMPARE(int(test.dataGSR[p]), p);
            QCOMPARE(int(test.dataTRM[p]), 500 + p);
            // Their sources are not recorded: the derived channels hold 0.
            QCOMPARE(int(test.dataTGM[p]), 0);
            QCOMPARE(int(test.dataRG_DIFF[p]), 0);
        }
        for (int code : {1, 2, 3, 4})
            QVERIFY(test.samples(code)->isEmpty());
        QCOMPARE(unit.liveDevices(), 0);
    }

    void failedReadsEarlyStoreZerosLaterRecover()
    {
        FakeSensorControl unit(fakePlugin("NoSources"));
        configureReader(QStringLiteral("vugSensorFakeNoSources.so"));
        ReaderRun run(QStringLiteral(VUG_FAKE_SENSORS));
        unit.failReads(3, 3);
        run.start();
        run.tick(10);
        QCOMPARE(run.reader->currentPosition(), 11);
        QCOMPARE(int(run.test().dataGSR[3]), 0);
        QVERIFY(!run.reader->readFailed());
        // Failed reads past the first positions keep their ticks' places with the frame before.
        unit.failReads(2, 3);
        for (int i = 1; i <= 4; ++i) {
            run.tick();
            QCOMPARE(run.reader->currentPosition(), 11 + i);
        }
        QVERIFY(!run.reader->readFailed());
        QCOMPARE(run.reader->missedTicks(), quint64(2));
        QCOMPARE(int(run.test().dataGSR[10]), 10);
    }

    void cameraLevelsClockAndFrames()
    {
        ReaderRun run;
        FakeRecorder *camera = withCamera(run);
        camera->setClock(12.3456);
        camera->setLevel(100);
        run.start();
        run.waitForSetUp();
        // A name of its own, which another recording's start in the folder leaves alone.
        QCOMPARE(QFileInfo(camera->path()).path(), run.dir.filePath(QStringLiteral("__1__")));
        ReaderRun other;
        other.inspection.path = run.inspection.path;
        FakeRecorder *second = withCamera(other);
        other.start();
        other.waitForSetUp();
        QVERIFY(second->path() != camera->path());
        QVERIFY(QFileInfo::exists(camera->path()) && QFileInfo::exists(second->path()));
        Inspection::_Channel &mic = run.test().channel(ChannelCode::MIC2);
        mic.ADT = 2;
        mic.ShiftADT = 10;
        run.tick();
        QCOMPARE(int(run.test().dataMIC2[1]), 410);
        QCOMPARE(run.test().TimeMM[1], 12345);
        camera->setLevel(1000);
        run.tick();
        QCOMPARE(int(run.test().dataMIC2[2]), 2047);
        QCOMPARE(run.reader->sumValues(), 1100.0);

        QByteArray first;
        QSize size;
        QVERIFY(run.reader->takeVideoFrame(first, &size));
        QCOMPARE(size, QSize(64, 48));
        QByteArray again;
        QVERIFY(run.reader->takeVideoFrame(again));
        QCOMPARE(again.constData(), first.constData());
        // A new frame never overwrites one the live view holds.
        camera->setFrame(32, 16, 'b');
        run.tick();
        QCOMPARE(first.at(0), 'a');
        QVERIFY(run.reader->takeVideoFrame(again, &size));
        QCOMPARE(again.at(0), 'b');
        QCOMPARE(size, QSize(32, 16));
        // Larger than the buffer: not taken, and this tick keeps no clock or level.
        camera->setFrame(1281, 960, 'c');
        camera->setClock(20.0);
        run.tick();
        QVERIFY(run.reader->takeVideoFrame(again));
        QCOMPARE(again.at(0), 'b');
        QCOMPARE(run.test().TimeMM[4], 0);
        QCOMPARE(int(run.test().dataMIC2[4]), 0);
        QVERIFY(run.stop());
        QVERIFY(camera->stopped());
    }

    void videoWithoutCameraFailsBeforeLoading()
    {
        configureReader(QStringLiteral("vugSensorFakeNoSources.so"), [](GenericSettings &s) { s.bEnableVideoForRecord = true; });
        FakeSensorControl unit(fakePlugin("NoSources"));
        ReaderRun run(QStringLiteral(VUG_FAKE_SENSORS));
        run.collaborators.makeRecorder = [](int) { return std::unique_ptr<VideoRecorder>(); };
        run.start();
        QVERIFY(run.join());
        QCOMPARE(run.errors(), QStringList{"Error open web camera"});
        QCOMPARE(run.loopEnds.count(), 0);
        QCOMPARE(unit.liveDevices(), 0);
    }

    void stopWhileWaitingForTheCamera()
    {
        ReaderRun run;
        FakeRecorder *camera = withCamera(run);
        camera->setFrame(0, 0);
        run.start();
        QThread::msleep(300);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(run.stop());
        QVERIFY(clock.elapsed() < 1000);
        QVERIFY(run.errors().isEmpty());
        QCOMPARE(run.loopEnds.count(), 0);
        QVERIFY(camera->stopped());
    }

    void badPlugins_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("text");
        // The examiner learns which file of the program folder is at fault.
        const auto notLoaded = [](const char *file) {
            return QStringLiteral("Не удалось загрузить модуль сенсорного блока «%1»").arg(file);
        };
        QTest::newRow("missing") << binFolder() << "vugSensorMissing.so" << notLoaded("vugSensorMissing.so");
        QTest::newRow("not a library") << QString() << "vugSensorText.so" << notLoaded("vugSensorText.so");
        QTest::newRow("without _createObject") << binFolder() << "libvugSerial.so" << notLoaded("libvugSerial.so");
        QTest::newRow("no device") << VUG_FAKE_SENSORS << "vugSensorFakeNull.so" << notLoaded("vugSensorFakeNull.so");
        QTest::newRow("unit does not open") << VUG_FAKE_SENSORS << "vugSensorFakeA.so" << "Error open device";
    }

    void badPlugins()
    {
        QFETCH(QString, folder);
        QFETCH(QString, file);
        QFETCH(QString, text);
        QTemporaryDir plugins;
        if (folder.isEmpty()) {
            folder = plugins.path();
            QFile junk(folder + "/" + file);
            QVERIFY(junk.open(QIODevice::WriteOnly));
            junk.write("not a library\n");
        }
        configureReader(file);
        ReaderRun run(folder);
        run.start();
        QVERIFY(run.join());
        QCOMPARE(run.errors(), QStringList{text});
        QCOMPARE(run.loopEnds.count(), 0);
        QVERIFY(run.test().dataGSR.isEmpty());
        if (file.startsWith("vugSensorFake"))
            QVERIFY(!isMapped(file));
    }

    // Countdown from the end of the last mark plus the analysis interval, while
    // another thread keeps changing the mark lists under their lock.
    void automaticStopAfterTheLastPresentation()
    {
        configureReader(QStringLiteral("vugSensorDemo.so"));
        ReaderRun run;
        Inspection::_Test &test = run.test();
        QCOMPARE(test.lastGroup() * (test.themis.size() + test.themisNULL.size()), 2);
        run.start();
        run.tick(5);
        QCOMPARE(run.reader->countdownSeconds(), -1);
        const int start = run.reader->currentPosition();
        {
            QMutexLocker lock(&run.marks);
            for (int theme = 0; theme < 2; ++theme) {
                Inspection::_Label mark;
                mark.Group = 1;
                mark.Theme = qint16(theme);
                mark.TickQStart = start - 230;
                mark.TickQEnd = start - 200;
                test.appendLabel(mark);
            }
        }
        std::atomic<bool> churning{true};
        std::thread churn([&] {
            while (churning) {
                QMutexLocker lock(&run.marks);
                test.labels.append(test.labels.last());
                test.labels.removeLast();
                test.labels.squeeze();
            }
        });
        const auto countdownAt = [&](int elapsed) {
            while (run.reader->currentPosition() < start + elapsed && !run.ticks.interrupted())
                run.tick();
            return run.reader->countdownSeconds();
        };
        QCOMPARE(countdownAt(0), -1);
        QCOMPARE(countdownAt(1), -1);
        run.tick();  // elapsed 1 is processed
        QCOMPARE(run.reader->countdownSeconds(), 9);
        QCOMPARE(countdownAt(181), 1);
        run.tick();
        QCOMPARE(run.reader->countdownSeconds(), 0);
        QCOMPARE(countdownAt(220), 0);
        QVERIFY(!run.reader->stopping());
        run.tick();
        QVERIFY(run.join());
        churning = false;
        churn.join();
        QVERIFY(run.reader->stopping());
        QCOMPARE(run.reader->currentPosition(), start + 221);
        QCOMPARE(run.loopEnds.count(), 1);
    }

    void clearingTheStartKeepsThePreRoll()
    {
        configureReader(QStringLiteral("vugSensorDemo.so"));
        ReaderRun run;
        run.start();
        run.tick(499);
        QCOMPARE(run.reader->currentPosition(), 500);
        const Inspection::_Test before = run.test();
        run.reader->clearPolygramStart();
        QCOMPARE(run.reader->currentPosition(), 200);
        const Inspection::_Test &after = run.test();
        for (int code : {0, 5, 12}) {
            const QVector<qint16> &was = *before.samples(code);
            const QVector<qint16> &now = *after.samples(code);
            for (int p = 0; p <= 200; ++p)
                QCOMPARE(now[p], was[300 + p]);
            for (int p = 201; p <= 500; ++p)
                QCOMPARE(int(now[p]), 0);
            QCOMPARE(now.mid(501), was.mid(501));
        }
        run.tick();
        QCOMPARE(run.reader->currentPosition(), 201);

        Inspection::_Label mark;
        mark.Group = 1;
        mark.TickQStart = mark.TickQEnd = 201;
        run.test().appendLabel(mark);
        run.tick(300);
        const Inspection::_Test marked = run.test();
        run.reader->clearPolygramStart();
        QCOMPARE(run.reader->currentPosition(), 501);
        QCOMPARE(run.test().dataGSR, marked.dataGSR);
    }

    // Ticks run on while the start is cleared again and again: the samples stay
    // one unbroken run of reads.
    void clearingTheStartRacesTheTicks()
    {
        FakeSensorControl unit(fakePlugin("NoSources"));
        unit.failReads(0, -1);
        configureReader(QStringLiteral("vugSensorFakeNoSources.so"), [](GenericSettings &s) { s.iTimeBeforeForRecord = 1; });
        ReaderRun run(QStringLiteral(VUG_FAKE_SENSORS));
        run.start();
        run.waitForSetUp();
        std::atomic<bool> ticking{true};
        std::thread ticker([&] {
            while (ticking)
                run.ticks.tick();
        });
        QRandomGenerator random(7);
        for (int i = 0; i < 200; ++i) {
            QThread::usleep(random.bounded(200, 2000));
            run.reader->clearPolygramStart();
        }
        // However few ticks the reader got meanwhile, it reaches the pre-roll.
        QTRY_VERIFY_WITH_TIMEOUT(run.reader->currentPosition() >= 20, 20000);
        ticking = false;
        ticker.join();
        QVERIFY(run.stop());
        const QVector<qint16> &gsr = run.test().dataGSR;
        QVERIFY(gsr.size() >= 20);
        for (int p = 1; p < gsr.size(); ++p)
            QCOMPARE(int(gsr[p]), (gsr[p - 1] + 1) % 100);
    }

    void stopNeverHangsAWaitForData()
    {
        configureReader(QStringLiteral("vugSensorDemo.so"));
        Inspection inspection;
        Inspection::_Test test = questionTest();
        ManualTickSource ticks;
        ReaderCollaborators collaborators;
        collaborators.ticks = &ticks;
        for (int i = 0; i < 1000; ++i) {
            SensorReader reader(&inspection, &test, true, 0, collaborators);
            std::thread waiter([&reader] { reader.waitForData(); });
            if (i % 2)
                QThread::yieldCurrentThread();
            reader.requestStop();
            waiter.join();
        }
    }
};

VUG_TEST_MAIN(TestSensorReader, QCoreApplication)
#include "tst_sensorreader.moc"
