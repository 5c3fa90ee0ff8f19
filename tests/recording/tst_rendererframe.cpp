#include "RendererHarness.h"
#include "data/ChannelBindings.h"
#include "polygram/ChannelLook.h"
#include "polygram/drawPanelG.h"
#include "tests/polygram/RecordingPaintDevice.h"
#include "tests/support/ImageCompare.h"
#include "tests/support/TestHome.h"

#include <QPainter>
#include <QSignalSpy>

#include <cmath>

// One sub-frame's content, drawn without a window.
class TestRendererFrame : public QObject
{
    Q_OBJECT

private:
    static constexpr int Length = 400;

    struct FrameBench : KeyBench {
        FrameBench()
            : KeyBench(threeQuestions())
        {
            bindChannelSettings(test(), false);
            for (int code = 0; code < ChannelCode::Count; ++code) {
                QVector<qint16> &samples = *test().samples(code);
                samples.resize(Length);
                for (int i = 0; i < Length; ++i)
                    samples[i] = qint16(std::sin(i / (3.0 + code)) * 400);
                InspectionChannel &record = test().channel(code);
                *record.Enable = true;
                record.Amplify = 500;
            }
            renderer->prepareDrawing();
            renderer->setSelectedChannel(ChannelCode::GSR_C);
        }
        ~FrameBench() { renderer->finishDrawing(); }

        // Draws at position d and returns the log.
        void draw(RecordingPaintDevice &device, int d, Qt::KeyboardModifiers keys = Qt::NoModifier)
        {
            device.clear();
            QPainter painter(&device);
            Renderer::FrameInput input;
            input.modifiers = keys;
            renderer->drawFrame(painter, QSize(1200, 800), d, 0.0f, input);
        }
    };

    // What the raster presentation shows: each change moves the shown frame
    // sideways, then its pieces are put over it.
    struct MirrorSurface : BlindSurface {
        QImage shown{QSize(1200, 800), QImage::Format_RGB32};
        QSize surfaceSize() const override { return shown.size(); }
        void present(const FrameChange &change) override
        {
            const QImage before = shown.copy();
            QPainter screen(&shown);
            screen.setCompositionMode(QPainter::CompositionMode_Source);
            screen.drawImage(change.scroll, 0, before);
            for (const FrameChange::Piece &piece : change.pieces)
                screen.drawImage(piece.at, piece.image);
        }
    };

    static bool showsCountdown(const RecordingPaintDevice &device, int seconds)
    {
        const QString text = QStringLiteral("До завершения записи полиграммы осталось (сек): %0").arg(seconds);
        return device.findText(text) != nullptr;
    }

    static const QString &errorText()
    {
        static const QString text = QStringLiteral("Ошибка чтения сенсорного блока");
        return text;
    }

    // Lines drawn in the colour, the dimmed curves being in other colours.
    static int linesIn(const RecordingPaintDevice &device, const QColor &colour)
    {
        return device.linesOf(colour).size();
    }

private slots:
    void init() { configureReader(QStringLiteral("vugSensorDemo.so")); }

    void rendererEndsWithItsReader_data()
    {
        QTest::addColumn<int>("ticks");
        QTest::newRow("before the first tick") << 0;
        QTest::newRow("while drawing") << 5;
    }

    // The record window's error box stops the reader only; its wait then
    // returns at once and must not be taken for data.
    void rendererEndsWithItsReader()
    {
        QFETCH(int, ticks);
        ReaderRun run;
        run.start();
        run.waitForSetUp();
        BlindSurface surface;
        Renderer renderer(&surface, &run.inspection, &run.test(), run.reader.get());
        QThread thread;
        renderer.moveToThread(&thread);
        connect(&thread, &QThread::started, &renderer, &Renderer::onExecute);
        connect(&renderer, &Renderer::finished, &thread, &QThread::quit, Qt::DirectConnection);
        QSignalSpy ended(&thread, &QThread::finished);
        thread.start();
        run.tick(ticks);
        run.reader->requestStop();
        // The thread may have ended before the wait began.
        const bool ok = !ended.isEmpty() || ended.wait(5000);
        renderer.requestStop();
        thread.quit();
        thread.wait();
        QVERIFY(ok);
    }

    void countdownFromTheReaderOrTheLastTenSeconds()
    {
        FrameBench bench;
        RecordingPaintDevice device(QSize(1200, 800));
        bench.draw(device, Length - 100);
        QVERIFY(showsCountdown(device, 5));
        bench.draw(device, Length - 200);
        QVERIFY(!device.textStrings().join('|').contains(QStringLiteral("осталось")));
        bench.reader->setCountdown(42);
        bench.draw(device, Length - 200);
        QVERIFY(showsCountdown(device, 42));
    }

    void pausedDrawsNoPanels()
    {
        FrameBench bench;
        RecordingPaintDevice device(QSize(1200, 800));
        bench.reader->setCountdown(3);
        bench.draw(device, 300);
        const int withPanels = device.texts().size();
        QVERIFY(showsCountdown(device, 3));
        bench.reader->setPaused(true);
        bench.draw(device, 300);
        QVERIFY(!showsCountdown(device, 3));
        QVERIFY(device.texts().size() < withPanels);
        bench.reader->setReadFailed(true);
        bench.draw(device, 300);
        QVERIFY(!device.findText(errorText()));
    }

    void errorBannerBlinksInsteadOfThePanels()
    {
        FrameBench bench;
        RecordingPaintDevice device(QSize(1200, 800));
        bench.reader->setCountdown(3);
        bench.reader->setReadFailed(true);
        int shown = 0;
        for (int i = 0; i < 20; ++i) {
            bench.draw(device, 300);
            QVERIFY(!showsCountdown(device, 3));
            if (device.findText(errorText()))
                ++shown;
        }
        QCOMPARE(shown, 10);
        bench.reader->setReadFailed(false);
        bench.draw(device, 300);
        QVERIFY(!device.findText(errorText()));
        QVERIFY(showsCountdown(device, 3));
    }

    void narrowWindowStaysWhite()
    {
        FrameBench bench;
        QImage image(99, 200, QImage::Format_RGB32);
        image.fill(Qt::black);
        {
            QPainter painter(&image);
            bench.renderer->drawFrame(painter, image.size(), 300, 0.0f, Renderer::FrameInput());
        }
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                QCOMPARE(image.pixel(x, y), qRgb(255, 255, 255));
        }
    }

    void adjustmentDisplayOfATwelveBitUnit()
    {
        FrameBench bench;
        RecordingPaintDevice device(QSize(1200, 800));
        bench.renderer->setChannelSelected(1);
        const ChannelLook look(bench.test().channel(ChannelCode::GSR_C));
        bench.draw(device, 300);
        QVERIFY(!device.rectsFilledWith(look.tubeColor).isEmpty());
        QVERIFY(linesIn(device, look.color) > 100);
        // The extended set-up table, with the saved set-up's column.
        QVERIFY(device.findText(QStringLiteral("сохраненный")));
        // Shift+Ctrl changes nothing on a 12-bit unit.
        const int lines = device.lines().size();
        bench.draw(device, 300, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(device.lines().size(), lines);
    }

    // The camera panel where the shown frame moves, stays, gets a new
    // camera frame or the cursor, against the whole frame drawn there.
    void shownCameraPanelFollowsFramesAndCursor()
    {
        FrameBench bench;
        MirrorSurface surface;
        Renderer renderer(&surface, &bench.run.inspection, &bench.test(), bench.reader.get(), &bench.run.marks);
        renderer.prepareDrawing();
        renderer.setSelectedChannel(ChannelCode::GSR_C);
        const QRect panel(700, 400, 320, 240);
        drawPanelG::setCameraScale(0.5);
        PanelState::instance().setPosition(PanelState::CameraPanel, panel.topLeft());
        const QByteArray frames[] = {QByteArray(640 * 480 * 4, char(0x30)), QByteArray(640 * 480 * 4, char(0xd0))};
        struct Step {
            int d;
            int frame;
            bool inside;
        };
        const Step steps[] = {{100, 0, false}, {101, 0, false}, {102, 1, false}, {103, 1, true},
                              {103, 0, true},  {103, 0, false}, {103, 0, false}};
        int published = -1;
        for (const Step &step : steps) {
            if (step.frame != published)
                bench.reader->publishFrame(frames[step.frame], 640, 480);
            published = step.frame;
            Renderer::FrameInput input;
            input.cursor = step.inside ? panel.center() : QPoint(5, 5);
            renderer.drawSubFrame(nullptr, step.d, 0.0f, input);
            QImage whole(surface.shown.size(), QImage::Format_RGB32);
            {
                QPainter painter(&whole);
                renderer.drawFrame(painter, whole.size(), step.d, 0.0f, input);
            }
            // Far enough sideways for a stale copy moved with the polygram.
            const QRect around = panel.adjusted(-100, -5, 100, 5);
            QVERIFY2(pixelsApart(surface.shown.copy(around), whole.copy(around)) == 0,
                     qPrintable(QStringLiteral("at %1 frame %2").arg(step.d).arg(step.frame)));
        }
        renderer.finishDrawing();
    }

    void adjustmentDisplayOfASixteenBitUnit()
    {
        FrameBench bench;
        RecordingPaintDevice device(QSize(1200, 800));
        bench.renderer->setChannelSelected(1);
        bench.reader->setSixteenBit(true);
        const ChannelLook look(bench.test().channel(ChannelCode::GSR_C));
        bench.draw(device, 300);
        QVERIFY(device.rectsFilledWith(look.tubeColor).isEmpty());
        const int selected = linesIn(device, look.color);
        QVERIFY(selected > 100);
        const int others = device.lines().size() - selected;
        QVERIFY(others > 100);
        // With Shift+Ctrl only the guide lines and the selected curve.
        bench.draw(device, 300, Qt::ShiftModifier | Qt::ControlModifier);
        QVERIFY(linesIn(device, look.color) > 100);
        QVERIFY(device.lines().size() - linesIn(device, look.color) <= 3);
        // The extended set-up table, with the saved set-up's column.
        QVERIFY(device.findText(QStringLiteral("сохраненный")));
    }
};

VUG_TEST_MAIN(TestRendererFrame, QApplication)
#include "tst_rendererframe.moc"
