#include "LoopBench.h"
#include "tests/support/TestHome.h"

#include <QDir>
#include <QScreen>

// The render loop on a real OpenGL window under the virtual X server.
class TestRenderLoop : public QObject
{
    Q_OBJECT

private:
    // Pixels off white on a 4-pixel grid: not a blank picture.
    static int colouredSamples(const QImage &shot)
    {
        int coloured = 0;
        for (int y = 0; y < shot.height(); y += 4) {
            for (int x = 0; x < shot.width(); x += 4)
                coloured += shot.pixel(x, y) != qRgb(255, 255, 255);
        }
        return coloured;
    }

    static QImage windowImage(PoligrammeRecordWindow &window)
    {
        return window.screen()->grabWindow(window.winId()).toImage();
    }

private slots:
    void initTestCase()
    {
        if (!PoligrammeRecordWindow::canRenderThreaded())
            QSKIP("The platform cannot draw with OpenGL from a thread.");
    }

    void init() { configureReader(QStringLiteral("vugSensorDemo.so")); }

    void roundsFollowTheSweepTable()
    {
        LoopBench bench;
        QVERIFY(bench.exposed());
        bench.start();
        bench.waitForSetUp();
        QTRY_VERIFY(bench.updates.contains(0));
        QVERIFY(bench.drawn().isEmpty());
        for (int sweep : {3250, 1000, 2500, 1250}) {
            bench.renderer->sweepMs = sweep;
            const int subFrames = sweep == 1000 ? 1 : sweep == 1250 ? 2 : 3;
            // The first round may still have begun at the former sweep.
            QVERIFY(bench.tickAndDraw(subFrames));
            const int from = bench.drawn().size();
            for (int i = 0; i < 3; ++i)
                QVERIFY(bench.tickAndDraw(subFrames));
            const QVector<QPair<int, int>> rounds = bench.drawn().mid(from);
            QCOMPARE(rounds.size(), 3 * subFrames);
            for (int i = 0; i < rounds.size(); ++i)
                QCOMPARE(rounds[i].second, i % subFrames);
        }
        for (const auto &frame : bench.drawn())
            QVERIFY(frame.first >= Renderer::FirstDrawnPosition);
        while (bench.reader->position < 52)
            QVERIFY(bench.tickAndDraw(2));
        QTRY_VERIFY(bench.updates.contains(50));
        QVERIFY(bench.stop());
    }

    void keysWhileTheLoopDrawsLeaveMarksOnTheScreenshot()
    {
        LoopBench bench;
        QVERIFY(bench.exposed());
        bench.start();
        bench.waitForSetUp();
        bench.renderer->sweepMs = 1000;
        for (int i = 0; i < 250; ++i)
            QVERIFY(bench.tickAndDraw(1));
        bench.renderer->keyPress(Qt::Key_Space);
        for (int i = 0; i < 20; ++i)
            QVERIFY(bench.tickAndDraw(1));
        bench.renderer->keyRelease(Qt::Key_Space);
        for (int i = 0; i < 250; ++i)
            QVERIFY(bench.tickAndDraw(1));
        bench.renderer->keyPress(Qt::Key_Space);
        bench.renderer->keyRelease(Qt::Key_Space);
        for (int i = 0; i < 150; ++i)
            QVERIFY(bench.tickAndDraw(1));
        {
            QMutexLocker lock(&bench.renderer->mutex);
            QCOMPARE(bench.run.test().labels.size(), 2);
        }
        const QImage shot = windowImage(bench.window);
        QDir().mkpath(QStringLiteral(VUG_ARTEFACT_DIR));
        QVERIFY(shot.save(QStringLiteral(VUG_ARTEFACT_DIR "/live-renderer.png")));
        // Not a blank picture: curves and marks were drawn.
        QVERIFY(colouredSamples(shot) > 100);
        QVERIFY(bench.stop());
    }

    void rasterWindowShowsTheRounds()
    {
        LoopBench bench(threeQuestions(), true);
        QVERIFY(bench.exposed());
        bench.start();
        bench.waitForSetUp();
        bench.renderer->sweepMs = 1000;
        for (int i = 0; i < 250; ++i)
            QVERIFY(bench.tickAndDraw(1));
        // The GUI thread copies the last frame to the screen.
        QTest::qWait(100);
        const QImage shot = windowImage(bench.window);
        QVERIFY(colouredSamples(shot) > 100);
        QVERIFY(bench.stop());
    }

    void realTickDrawsTheLivePolygram()
    {
        LoopBench bench;
        QVERIFY(bench.exposed());
        bench.start(false);
        QTRY_VERIFY_WITH_TIMEOUT(bench.reader->position > 60, 20000);
        bench.renderer->keyPress(Qt::Key_Space);
        QTest::qWait(600);
        bench.renderer->keyRelease(Qt::Key_Space);
        QTest::qWait(1500);
        {
            QMutexLocker lock(&bench.renderer->mutex);
            QCOMPARE(bench.run.test().labels.size(), 1);
            QVERIFY(bench.run.test().labels[0].TickQEnd > bench.run.test().labels[0].TickQStart);
        }
        QVERIFY(!bench.drawn().isEmpty());
        QDir().mkpath(QStringLiteral(VUG_ARTEFACT_DIR));
        QVERIFY(windowImage(bench.window).save(QStringLiteral(VUG_ARTEFACT_DIR "/live-renderer-real-tick.png")));
        QVERIFY(bench.stop());
    }

    void narrowWindowStaysWhite()
    {
        LoopBench bench;
        bench.window.resize(90, 300);
        QVERIFY(bench.exposed());
        bench.start();
        bench.waitForSetUp();
        for (int i = 0; i < 40; ++i)
            QVERIFY(bench.tickAndDraw(1));
        const QImage shot = windowImage(bench.window);
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x)
                QCOMPARE(shot.pixel(x, y), qRgb(255, 255, 255));
        }
        QVERIFY(bench.stop());
    }

    void startAndStopNeverHang()
    {
        LoopBench bench;
        QVERIFY(bench.exposed());
        for (int i = 0; i < 100; ++i) {
            bench.start();
            if (i % 2)
                bench.ticks->tick(i % 5);
            QVERIFY2(bench.stop(), qPrintable(QStringLiteral("cycle %1").arg(i)));
        }
    }
};

VUG_TEST_MAIN(TestRenderLoop, QApplication)
#include "tst_renderloop.moc"
