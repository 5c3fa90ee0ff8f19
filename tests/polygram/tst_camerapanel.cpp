#include "polygram/drawPanelG.h"
#include "tests/polygram/PanelFixtures.h"
#include "tests/support/ImageCompare.h"
#include "tests/support/TestHome.h"

#include <QImage>
#include <QPainter>

#include <functional>

namespace {

const QPoint kAt(37, 41);
const double kScale = 0.7;
// 640 × 480 scaled.
const QRect kPanel(kAt, QSize(448, 336));

// Detail at every pixel, and alpha of its own, other for each seed.
QImage cameraFrame(int seed)
{
    QImage frame(640, 480, QImage::Format_ARGB32);
    for (int y = 0; y < frame.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(frame.scanLine(y));
        for (int x = 0; x < frame.width(); ++x)
            line[x] = qRgba((x * 7 + seed * 31) & 255, (y * 5 + x * 3) & 255, (x ^ y ^ seed) & 255, (x + y) & 255);
    }
    return frame;
}

// Lines under the panel, as a polygram has them; the level meter's strip blacked out.
QImage drawnOver(const std::function<void(QPainter &)> &panel)
{
    QImage canvas(800, 600, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    for (int y = 20; y < canvas.height(); y += 40)
        painter.drawLine(0, y, canvas.width(), y + 30);
    panel(painter);
    painter.fillRect(QRect(QPoint(kPanel.right() - 15, kPanel.top()), kPanel.bottomRight()), Qt::black);
    return canvas;
}

// The frame's alpha rewritten but for its last 100 pixels, and the buffer drawn scaled into the rectangle.
QImage drawnAsThePartSays(QImage frame, bool hot)
{
    auto *pixel = reinterpret_cast<QRgb *>(frame.bits());
    for (int i = 0; i < frame.width() * frame.height() - 100; ++i)
        pixel[i] = (pixel[i] & 0x00ffffffu) | (QRgb(hot ? 255 : 180) << 24);
    return drawnOver([&](QPainter &painter) { painter.drawImage(kPanel, frame); });
}

}  // namespace

// The camera panel's kept picture against the frame drawn scaled at every draw.
class TestCameraPanel : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetPanels(); }
    void pictureEqualsTheFrameDrawnScaled_data();
    void pictureEqualsTheFrameDrawnScaled();
};

void TestCameraPanel::pictureEqualsTheFrameDrawnScaled_data()
{
    QTest::addColumn<bool>("hot");
    QTest::addColumn<bool>("changed");
    QTest::newRow("new frame, cursor outside") << false << true;
    QTest::newRow("new frame, cursor inside") << true << true;
    QTest::newRow("same frame, cursor enters") << true << false;
    QTest::newRow("same frame, cursor leaves") << false << false;
}

void TestCameraPanel::pictureEqualsTheFrameDrawnScaled()
{
    QFETCH(bool, hot);
    QFETCH(bool, changed);
    drawPanelG::setCameraScale(kScale);
    PanelState::instance().setPosition(PanelState::CameraPanel, kAt);
    Inspection::_Test test;
    drawPanelG panels(&test);
    const auto cursor = [](bool inside) { return inside ? kPanel.center() : QPoint(5, 5); };
    const auto drawn = [&](const QImage &frame, quint64 serial, bool inside) {
        return drawnOver([&](QPainter &painter) {
            panels.drawVideoPanel(&painter, cursor(inside), false, frame.constBits(), serial, 0, 0);
        });
    };
    const QImage first = cameraFrame(1);
    const QImage shown = changed ? cameraFrame(2) : first;
    // The picture before: of the other frame, or with the other alpha.
    drawn(first, 1, changed ? hot : !hot);
    const QImage expected = drawnAsThePartSays(shown, hot);
    // Made, then placed as kept.
    for (int draw = 0; draw < 2; ++draw)
        QCOMPARE(pixelsApart(drawn(shown, changed ? 2 : 1, hot), expected), 0);
    QCOMPARE(PanelState::instance().hitRect(PanelState::CameraPanel), kPanel);
}

VUG_TEST_MAIN(TestCameraPanel, QGuiApplication)
#include "tst_camerapanel.moc"
