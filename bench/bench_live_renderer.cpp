// One live sub-frame on a 1920x1080 OpenGL window at the end of a one-hour
// test (13 channels, default filters, a mark every 10 s, panels on), timed
// from making the context current to the swap, at sweeps 1000, 2500 and 4000,
// without and with the camera panel. Baselines: a sub-frame that only clears
// and swaps, one that uploads a prepared image and swaps, and the same content
// painted into an image by the raster engine.
// Run under xvfb-run (Mesa llvmpipe) or on a machine with a GPU driver.
#include "polygram/InputState.h"
#include "recording/PoligrammeRecordWindow.h"
#include "recording/Renderer.h"
#include "recording/SensorReader.h"
#include "recording/TickSource.h"
#include "tests/polygram/PolygramFixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLPaintDevice>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace {

constexpr int kFrames = 300;
constexpr int kWarmUp = 20;
constexpr int kHour = PolygramFixture::kHour;

// The reader is never started; it only carries the flags the frame reads.
class IdleTicks : public TickSource
{
public:
    quint64 waitForTick(quint64 taken) override { return taken; }
    void interrupt() override {}
};

struct Figures {
    double median;
    double p99;
};

Figures timed(const std::function<void(int frame)> &draw)
{
    for (int i = 0; i < kWarmUp; ++i)
        draw(i);
    QVector<double> times;
    QElapsedTimer clock;
    for (int i = 0; i < kFrames; ++i) {
        clock.start();
        draw(i);
        times.append(clock.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[std::min(int(times.size()) - 1, int(times.size() * 0.99))]};
}

void print(QTextStream &out, const QString &what, const Figures &f)
{
    out << QStringLiteral("%1  median %2 ms  p99 %3 ms\n")
               .arg(what, -44)
               .arg(f.median, 7, 'f', 2)
               .arg(f.p99, 7, 'f', 2);
}

}  // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    QApplication app(argc, argv);
    QTextStream out(stdout);

    PolygramFixture fixture;
    fixture.fillOneHour();
    Inspection inspection(home.filePath(QStringLiteral("bench.vug")));

    PoligrammeRecordWindow window;
    window.resize(1920, 1080);
    window.show();
    while (!window.isExposed())
        app.processEvents();
    app.processEvents();

    IdleTicks ticks;
    ReaderCollaborators collaborators;
    collaborators.ticks = &ticks;
    collaborators.loopEndReceiver = &app;
    SensorReader reader(&inspection, &fixture.test, true, 0, collaborators);
    Renderer renderer(&window, &inspection, &fixture.test, &reader);
    renderer.settings.bShowTrasparentPanel_Inspection = true;
    renderer.settings.bShowTrasparentPanel_Quest = true;
    renderer.selectedChannel = ChannelCode::GSR_C;
    InputState::replace([] { return InputState(); });

    QOpenGLContext context;
    context.setFormat(window.requestedFormat());
    if (!context.create() || !context.makeCurrent(&window)) {
        out << "No OpenGL context on the window.\n";
        return 1;
    }
    out << "OpenGL renderer: " << reinterpret_cast<const char *>(context.functions()->glGetString(GL_RENDERER))
        << "\n";
    renderer.prepareDrawing();

    const QSize size = window.surfaceSize();
    QOpenGLPaintDevice clearDevice(size);
    print(out, QStringLiteral("baseline: clear and swap"), timed([&](int) {
              context.makeCurrent(&window);
              {
                  QPainter painter(&clearDevice);
                  painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
              }
              context.swapBuffers(&window);
          }));

    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    print(out, QStringLiteral("baseline: upload one image and swap"), timed([&](int) {
              context.makeCurrent(&window);
              {
                  QPainter painter(&clearDevice);
                  painter.drawImage(0, 0, image);
              }
              context.swapBuffers(&window);
          }));
    const QByteArray camera(640 * 480 * 4, char(0x80));
    for (bool withCamera : {false, true}) {
        {
            QMutexLocker lock(&reader.frameMutex);
            reader.videoFrame = withCamera ? camera : QByteArray();
        }
        const QString panels = withCamera ? QStringLiteral(", camera") : QString();
        for (int sweep : {1000, 2500, 4000}) {
            renderer.sweepMs = sweep;
            renderer.takeViewSettings();
            const auto position = [](int frame) { return kHour - 400 + frame % 300; };
            print(out, QStringLiteral("sweep %1%2: raster image").arg(sweep).arg(panels), timed([&](int frame) {
                      QPainter painter(&image);
                      renderer.drawFrame(painter, size, position(frame), 0.33f, Renderer::FrameInput());
                  }));
            print(out, QStringLiteral("sweep %1%2: OpenGL sub-frame").arg(sweep).arg(panels), timed([&](int frame) {
                      renderer.drawSubFrame(context, position(frame), 0.33f, Renderer::FrameInput());
                  }));
        }
    }
    context.makeCurrent(&window);
    renderer.finishDrawing();
    InputState::replace({});
    return 0;
}
