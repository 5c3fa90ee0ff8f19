#include "LoopBench.h"
#include "recording/SweepPacing.h"
#include "tests/support/TestHome.h"

#include <QDir>
#include <QPainter>
#include <QRasterWindow>
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
            bench.session.setSweep(sweep);
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
        while (bench.session.position() < 52)
            QVERIFY(bench.tickAndDraw(2));
        QTRY_VERIFY(bench.updates.contains(50));
        QVERIFY(bench.session.stop());
    }

    void keysWhileTheLoopDrawsLeaveMarksOnTheScreenshot()
    {
        LoopBench bench;
        QVERIFY(bench.exposed());
        bench.start();
        bench.waitForSetUp();
        bench.session.setSweep(1000);
        for (int i = 0; i < 250; ++i)
            QVERIFY(bench.tickAndDraw(1));
        bench.session.keyPress(Qt::Key_Space);
        for (int i = 0; i < 20; ++i)
            QVERIFY(bench.tickAndDraw(1));
        bench.session.keyRelease(Qt::Key_Space);
        for (int i = 0; i < 250; ++i)
            QVERIFY(bench.tickAndDraw(1));
        bench.session.keyPress(Qt::Key_Space);
        bench.session.keyRelease(Qt::Key_Space);
        for (int i = 0; i < 150; ++i)
            QVERIFY(bench.tickAndDraw(1));
        {
            QMutexLocker lock(&bench.session.markLock());
            QCOMPARE(bench.run.test().labels.size(), 2);
        }
        const QImage shot = windowImage(bench.window);
        QDir().mkpath(QStringLiteral(VUG_ARTEFACT_DIR));
        QVERIFY(shot.save(QStringLiteral(VUG_ARTEFACT_DIR "/live-renderer.png")));
        // Not a blank picture: curves and marks were drawn.
        QVERIFY(colouredSamples(shot) > 100);
        QVERIFY(bench.session.stop());
    }

    // What the screen shows after many rounds of moves and pieces is the
    // whole frame, also where a window lies over part of it.
    void rasterWindowShowsTheWholeFrame_data()
    {
        QTest::addColumn<int>("sweep");
        QTest::addColumn<QRect>("cover");
        QTest::newRow("1000") << 1000 << QRect();
        QTest::newRow("4000") << 4000 << QRect();
        QTest::newRow("1000, covered") << 1000 << QRect(600, 150, 100, 200);
    }
    void rasterWindowShowsTheWholeFrame()
    {
        QFETCH(int, sweep);
        QFETCH(QRect, cover);
        LoopBench bench(threeQuestions(), true);
        QVERIFY(bench.exposed());
        QRasterWindow over;
        over.setFlag(Qt::FramelessWindowHint);
        over.setGeometry(cover.translated(bench.window.mapToGlobal(QPoint(0, 0))));
        if (!cover.isEmpty()) {
            over.show();
            QVERIFY(QTest::qWaitForWindowExposed(&over));
        }
        bench.start();
        bench.waitForSetUp();
        bench.session.setSweep(sweep);
        const SweepPacing row = SweepPacing::of(sweep);
        for (int i = 0; i < 300; ++i) {
            QVERIFY(bench.tickAndDraw(row.subFrames));
            // The GUI thread shows each round.
            QCoreApplication::processEvents();
        }
        QTest::qWait(200);
        const QPoint at = bench.window.mapToGlobal(QPoint(0, 0));
        const QImage shot =
            bench.window.screen()->grabWindow(0, at.x(), at.y(), bench.window.width(), bench.window.height()).toImage();
        QImage whole(shot.size(), QImage::Format_RGB32);
        {
            QPainter painter(&whole);
            bench.session.renderer()->drawFrame(painter, whole.size(), bench.session.position(),
                                                (row.subFrames - 1) * row.step, Renderer::FrameInput());
        }
        // The newest columns may show the offset up to a pixel apart.
        int apart = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x)
                apart += !cover.contains(x, y) && shot.pixel(x, y) != whole.pixel(x, y);
        }
        QVERIFY2(apart < 1000, qPrintable(QString::number(apart)));
        QVERIFY(bench.session.stop());
    }

    void realTickDrawsTheLivePolygram()
    {
        LoopBench bench;
        QVERIFY(bench.exposed());
        bench.start(false);
        QTRY_VERIFY_WITH_TIMEOUT(bench.session.position() > 60, 20000);
        const int pressedAt = bench.session.position();
        bench.session.keyPress(Qt::Key_Space);
        // The question lasts as long as the clock takes to reach it, however busy the machine.
        QTRY_VERIFY_WITH_TIMEOUT(bench.session.position() > pressedAt + Renderer::LeastMarkLength, 20000);
        bench.session.keyRelease(Qt::Key_Space);
        const int releasedAt = bench.session.position();
        QTRY_VERIFY_WITH_TIMEOUT(bench.session.position() > releasedAt + 10, 20000);
        {
            QMutexLocker lock(&bench.session.markLock());
            QCOMPARE(bench.run.test().labels.size(), 1);
            QVERIFY(bench.run.test().labels[0].TickQEnd > bench.run.test().labels[0].TickQStart);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!bench.drawn().isEmpty(), 20000);
        QDir().mkpath(QStringLiteral(VUG_ARTEFACT_DIR));
        QVERIFY(windowImage(bench.window).save(QStringLiteral(VUG_ARTEFACT_DIR "/live-renderer-real-tick.png")));
        QVERIFY(bench.session.stop());
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
        QVERIFY(bench.session.stop());
    }

    void startAndStopNeverHang()
    {
        LoopBench bench;
        QVERIFY(bench.exposed());
        for (int i = 0; i < 100; ++i) {
            bench.start();
            if (i % 2)
                bench.ticks->tick(i % 5);
            QVERIFY2(bench.session.stop(), qPrintable(QStringLiteral("cycle %1").arg(i)));
        }
    }
};

VUG_TEST_MAIN(TestRenderLoop, QApplication)
#include "tst_renderloop.moc"
