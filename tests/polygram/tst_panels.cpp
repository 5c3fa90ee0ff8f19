#include "data/GenericSettings.h"
#include "polygram/drawPanelG.h"
#include "tests/polygram/PanelFixtures.h"
#include "tests/polygram/RecordingPaintDevice.h"
#include "tests/support/ImageCompare.h"
#include "tests/support/TestHome.h"

#include <QAtomicInt>
#include <QImage>
#include <QPainter>
#include <QThread>

#include <functional>

namespace {

const QString kCountdown = QStringLiteral("До завершения записи полиграммы осталось (сек): %1");

int fontPointSize(const RecordedText *text) { return text ? text->font.pointSize() : -1; }

QVector<RecordedRect> rectsOf(const RecordingPaintDevice &device, const QColor &colour)
{
    return device.rectsFilledWith(colour);
}

// A screen on which the readouts box and the second-monitor picture are drawn
// as the live renderer draws them, frame after frame.
struct DragScreen {
    Inspection::_Test test;
    drawPanelG panels{&test};
    GenericSettings settings;
    QImage screen{1600, 800, QImage::Format_ARGB32};
    QImage picture{1000, 1000, QImage::Format_ARGB32};
    QPainter painter{&screen};

    DragScreen() { picture.fill(Qt::gray); }

    void drawReadouts(const QPoint &cursor, bool pressed)
    {
        panels.drawReadoutsPanel(&painter, cursor, pressed, 0, 0, 0, 0, settings);
    }
    void drawBoth(const QPoint &cursor, bool pressed)
    {
        drawReadouts(cursor, pressed);
        panels.drawPixmapPanel(&painter, cursor, pressed, picture);
    }
};

const QRect kCameraPanel(37, 41, 448, 336);  // 640 × 480 × 0.7

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

// Over lines as a polygram has them; the level meter's strip blacked out.
QImage drawnOverLines(const std::function<void(QPainter &)> &panel)
{
    QImage canvas(800, 600, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    for (int y = 20; y < canvas.height(); y += 40)
        painter.drawLine(0, y, canvas.width(), y + 30);
    panel(painter);
    const QRect &rect = kCameraPanel;
    painter.fillRect(QRect(QPoint(rect.right() - 15, rect.top() - 1), rect.bottomRight()), Qt::black);
    return canvas;
}

// The alpha of all but the last 100 pixels rewritten, the buffer drawn scaled into the rectangle.
QImage cameraFrameDrawnScaled(QImage frame, bool hot)
{
    auto *pixel = reinterpret_cast<QRgb *>(frame.bits());
    for (int i = 0; i < frame.width() * frame.height() - 100; ++i)
        pixel[i] = (pixel[i] & 0x00ffffffu) | (QRgb(hot ? 255 : 180) << 24);
    return drawnOverLines([&](QPainter &painter) { painter.drawImage(kCameraPanel, frame); });
}

}  // namespace

class TestPanels : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetPanels(); }
    void readoutsBoxIsMoreOpaqueUnderTheCursor();
    void readoutsShowOnlyTheSwitchedOnLines();
    void cuffTextFollowsThePressure();
    void countdownTakesTheLargestFittingFont();
    void bannerThatFitsNoFontIsNotDrawn();
    void countdownStaysClearOfThePanels_data();
    void countdownStaysClearOfThePanels();
    void panelsHideWhatLiesUnderThem();
    void textBannerFadesInAndOut();
    void cameraPictureKeepsTheFrame();
    void cameraPictureEqualsTheFrameDrawnScaled_data();
    void cameraPictureEqualsTheFrameDrawnScaled();
    void meterLightsSegmentsByLevel_data();
    void meterLightsSegmentsByLevel();
    void secondMonitorPictureOpacity();
    void checkBoxIsCrossedWhenChecked();
    void panelAtTestsTheChosenRectangles();
    void pressOutsideStartsNoDragUntilThePanelIsEntered();
    void releaseEndsTheDragAndOnlyOnePanelMoves();
    void hitTestFromAnotherThreadSeesWholeRectangles();
};

void TestPanels::readoutsBoxIsMoreOpaqueUnderTheCursor()
{
    Inspection::_Test test;
    drawPanelG panels(&test);
    PanelState::instance().setPosition(PanelState::ReadoutsPanel, QPoint(100, 50));
    GenericSettings settings;
    RecordingPaintDevice device;
    QPainter painter(&device);
    panels.drawReadoutsPanel(&painter, QPoint(0, 0), false, 1234, 72, 30, 0, settings);

    const QRect box = PanelState::instance().hitRect(PanelState::ReadoutsPanel);
    const int h = QFontMetrics(applicationBoldFont(), &device).height();
    QCOMPARE(box.topLeft(), QPoint(100, 50));
    QCOMPARE(box.height(), 3 * h);
    QCOMPARE(rectsOf(device, QColor(210, 210, 210, 100)).size(), 1);
    QCOMPARE(rectsOf(device, QColor(210, 210, 210, 100)).first().rect.toRect(), box);
    const RecordedText *label = device.findText(QStringLiteral("КГР (ТС):"));
    const RecordedText *gsr = device.findText(QStringLiteral("1234"));
    QVERIFY(label && gsr);
    QCOMPARE(label->color, QColor(0, 0, 0, 100));
    QCOMPARE(gsr->color, QColor(0, 0, 0, 100));
    QCOMPARE(qRound(label->pos.x()), 110);
    QVERIFY(gsr->pos.x() > box.left() + box.width() / 2);
    QVERIFY(gsr->font.bold() && !label->font.bold());
    QVERIFY(device.findText(QStringLiteral("30")));

    device.clear();
    panels.drawReadoutsPanel(&painter, box.center(), false, 1234, 72, 30, 0, settings);
    QCOMPARE(rectsOf(device, QColor(210, 210, 210, 255)).size(), 1);
    QCOMPARE(device.findText(QStringLiteral("Пульс:"))->color, QColor(0, 0, 0, 255));
}

void TestPanels::readoutsShowOnlyTheSwitchedOnLines()
{
    Inspection::_Test test;
    drawPanelG panels(&test);
    GenericSettings settings;
    settings.bShowTrasparentPanel_GSR = false;
    settings.bShowTrasparentPanel_Pressure = false;
    RecordingPaintDevice device;
    QPainter painter(&device);
    panels.drawReadoutsPanel(&painter, QPoint(0, 0), false, 1, 2, 3, 0, settings);

    QCOMPARE(device.textStrings(), (QStringList{QStringLiteral("Пульс:"), QStringLiteral("2")}));
    QCOMPARE(PanelState::instance().hitRect(PanelState::ReadoutsPanel).height(),
             QFontMetrics(applicationBoldFont(), &device).height());
}

void TestPanels::cuffTextFollowsThePressure()
{
    Inspection::_Test test;
    drawPanelG panels(&test);
    const QRect rect(0, 0, 100, 20);
    const QPoint outside(500, 500);
    const QColor black(0, 0, 0, 255);
    QColor colour;

    QCOMPARE(panels.channelStatusText(16, rect, outside, 5, colour), QStringLiteral("Отключен"));
    QCOMPARE(colour, QColor(0, 0, 0, 100));
    QCOMPARE(panels.channelStatusText(16, rect, QPoint(5, 5), 5, colour), QStringLiteral("Отключен"));
    QCOMPARE(colour, QColor(0, 0, 0, 255));

    // Positions 0-3 are steady, 4-7 blink, 8-11 steady again.
    for (int value : {17, 24}) {
        QCOMPARE(panels.channelStatusText(value, rect, outside, 3, colour), QString::number(value));
        QCOMPARE(colour, black);
        panels.channelStatusText(value, rect, outside, 4, colour);
        QCOMPARE(colour, QColor(0, 128, 0, 100));
        panels.channelStatusText(value, rect, outside, 7, colour);
        QCOMPARE(colour, QColor(0, 128, 0, 100));
        panels.channelStatusText(value, rect, outside, 8, colour);
        QCOMPARE(colour, black);
    }
    for (int value : {25, 45}) {
        for (int position : {0, 4}) {
            panels.channelStatusText(value, rect, outside, position, colour);
            QCOMPARE(colour, QColor(0, 128, 0, 100));
        }
        panels.channelStatusText(value, rect, QPoint(1, 1), 0, colour);
        QCOMPARE(colour, QColor(0, 128, 0, 255));
    }
    QCOMPARE(panels.channelStatusText(46, rect, outside, 0, colour), QStringLiteral("46"));
    QCOMPARE(colour, black);
    panels.channelStatusText(46, rect, outside, 5, colour);
    QCOMPARE(colour, QColor(128, 0, 0, 100));
    panels.channelStatusText(46, rect, QPoint(1, 1), 5, colour);
    QCOMPARE(colour, QColor(128, 0, 0, 255));
    panels.channelStatusText(46, rect, outside, 9, colour);
    QCOMPARE(colour, black);
}

void TestPanels::countdownTakesTheLargestFittingFont()
{
    Inspection::_Test test;
    drawPanelG panels(&test);
    RecordingPaintDevice device;
    QPainter painter(&device);
    const QRect area(0, 0, 1200, 600);
    panels.drawCountdown(&painter, QPoint(0, 0), area, 9);

    const QRect expected(QPoint(20, 260), QPoint(1178, 299));
    QCOMPARE(rectsOf(device, QColor(128, 0, 0, 50)).size(), 1);
    QCOMPARE(rectsOf(device, QColor(128, 0, 0, 50)).first().rect.toRect(), expected);
    const RecordedText *text = device.findText(kCountdown.arg(9));
    QVERIFY(text);
    QCOMPARE(fontPointSize(text), 20);
    QCOMPARE(text->font.family(), QStringLiteral("Arial"));
    QCOMPARE(text->color, QColor(0, 0, 0, 120));

    // Just wide enough for 14 points: 16 points no longer fit.
    const QString message = kCountdown.arg(5);
    const int width14 = QFontMetrics(QFont(QStringLiteral("Arial"), 14), &device).horizontalAdvance(message);
    QVERIFY(QFontMetrics(QFont(QStringLiteral("Arial"), 16), &device).horizontalAdvance(message) > width14);
    device.clear();
    const QRect narrow(0, 0, width14 + 42, 600);
    panels.drawCountdown(&painter, QPoint(100, 280), narrow, 5);
    QCOMPARE(fontPointSize(device.findText(message)), 14);
    QCOMPARE(device.findText(message)->color, QColor(0, 0, 0, 255));
}

void TestPanels::bannerThatFitsNoFontIsNotDrawn()
{
    Inspection::_Test test;
    drawPanelG panels(&test);
    RecordingPaintDevice device;
    QPainter painter(&device);
    const QString message = kCountdown.arg(3);
    const int width8 = QFontMetrics(QFont(QStringLiteral("Arial"), 8), &device).horizontalAdvance(message);
    const QRect tooNarrow(0, 0, width8 + 41, 600);

    panels.drawCountdown(&painter, QPoint(0, 0), tooNarrow, 3);
    panels.drawTextPanel(&painter, QPoint(0, 0), true, tooNarrow, message);
    QVERIFY(device.rects().isEmpty());
    QVERIFY(device.texts().isEmpty());

    panels.drawCountdown(&painter, QPoint(0, 0), QRect(0, 0, width8 + 42, 600), 3);
    QCOMPARE(fontPointSize(device.findText(message)), 8);
}

void TestPanels::countdownStaysClearOfThePanels_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QRect>("list");
    QTest::addColumn<bool>("question");
    QTest::newRow("list of 8 at its place") << QSize(1600, 1000) << QRect(20, 380, 420, 144) << false;
    QTest::newRow("long list, full screen") << QSize(1920, 1040) << QRect(20, 380, 500, 340) << true;
    QTest::newRow("list down to the question") << QSize(1200, 600) << QRect(20, 200, 400, 380) << true;
    QTest::newRow("list under the readouts") << QSize(1024, 560) << QRect(20, 80, 400, 300) << false;
}

void TestPanels::countdownStaysClearOfThePanels()
{
    QFETCH(QSize, window);
    QFETCH(QRect, list);
    QFETCH(bool, question);
    Inspection::_Test test;
    drawPanelG panels(&test);
    const QRect area(QPoint(0, 0), window);
    RecordingPaintDevice device;
    QPainter painter(&device);
    panels.drawReadoutsPanel(&painter, QPoint(0, 0), false, 1, 2, 3, 0, GenericSettings());
    PanelState::instance().settle(PanelState::ProgressPanel, list, {});
    panels.drawTextPanel(&painter, QPoint(0, 0), question, area, QStringLiteral("Вас зовут Иван?"));
    device.clear();
    panels.drawCountdown(&painter, QPoint(0, 0), area, 7);

    const QRect drawn = rectsOf(device, QColor(128, 0, 0, 50)).value(0).rect.toRect();
    const QRect questionBanner(QPoint(20, area.bottom() - 80), QPoint(area.right() - 21, area.bottom() - 41));
    QVERIFY(area.contains(drawn) && !drawn.intersects(list) && !(question && drawn.intersects(questionBanner)));
    QVERIFY(!drawn.intersects(PanelState::instance().hitRect(PanelState::ReadoutsPanel)));
}

// What the polygram drew under a panel must not read through its words.
void TestPanels::panelsHideWhatLiesUnderThem()
{
    Inspection::_Test test;
    test.addNeutralTheme(QStringLiteral("Вас зовут Иван?"));
    drawPanelG panels(&test);
    PanelState::instance().setPosition(PanelState::ProgressPanel, QPoint(20, 100));
    QImage screen(600, 300, QImage::Format_ARGB32);
    screen.fill(Qt::black);
    QPainter painter(&screen);
    panels.drawReadoutsPanel(&painter, QPoint(599, 299), false, 1, 2, 3, 0, GenericSettings());
    panels.drawInspectionPanel(&painter, QPoint(599, 299), false, true, 0);
    painter.end();
    for (auto panel : {PanelState::ReadoutsPanel, PanelState::ProgressPanel})
        QVERIFY(qGray(screen.pixel(PanelState::instance().hitRect(panel).bottomRight() - QPoint(1, 1))) > 200);
}

void TestPanels::textBannerFadesInAndOut()
{
    Inspection::_Test test;
    drawPanelG panels(&test);
    RecordingPaintDevice device;
    QPainter painter(&device);
    const QRect area(0, 0, 1200, 600);
    const QRect banner(QPoint(20, 519), QPoint(1178, 558));
    const QString question = QStringLiteral("Вы взяли деньги?");

    for (int step = 1; step <= 30; ++step) {
        device.clear();
        panels.drawTextPanel(&painter, QPoint(0, 0), true, area, question);
        const int level = qMin(5 * step, 120);
        QCOMPARE(PanelState::instance().fadeLevel(), level);
        QCOMPARE(rectsOf(device, QColor(0, 0, 255, level / 2)).size(), 1);
        QCOMPARE(rectsOf(device, QColor(0, 0, 255, level / 2)).first().rect.toRect(), banner);
        QCOMPARE(device.findText(question)->color, QColor(0, 0, 0, level));
    }
    device.clear();
    panels.drawTextPanel(&painter, banner.center(), false, area, QString());
    QCOMPARE(PanelState::instance().fadeLevel(), 115);
    QCOMPARE(rectsOf(device, QColor(0, 0, 255, 57)).size(), 1);

    // Fading goes on where the banner cannot be drawn.
    const QRect tooNarrow(0, 0, 60, 600);
    for (int step = 1; step <= 30; ++step)
        panels.drawTextPanel(&painter, QPoint(0, 0), false, tooNarrow, question);
    QCOMPARE(PanelState::instance().fadeLevel(), 0);
    panels.drawTextPanel(&painter, QPoint(0, 0), true, tooNarrow, question);
    QCOMPARE(PanelState::instance().fadeLevel(), 5);
}

void TestPanels::cameraPictureKeepsTheFrame()
{
    Inspection::_Test test;
    drawPanelG panels(&test);
    PanelState::instance().setPosition(PanelState::CameraPanel, QPoint(10, 20));
    QImage frame(640, 480, QImage::Format_ARGB32);
    frame.fill(QColor(255, 0, 0, 0));
    const QImage given = frame.copy();
    RecordingPaintDevice device;
    QPainter painter(&device);

    panels.drawVideoPanel(&painter, QPoint(0, 0), false, frame.constBits(), 1, 0, 0);
    const QRect rect(10, 20, 320, 240);
    QCOMPARE(PanelState::instance().hitRect(PanelState::CameraPanel), rect);
    QCOMPARE(device.images().size(), 1);
    QCOMPARE(device.images().first().target.toRect(), rect);
    panels.drawVideoPanel(&painter, rect.center(), false, frame.constBits(), 1, 0, 0);
    QCOMPARE(frame, given);

    // Other modes take larger frames.
    QImage large(800, 600, QImage::Format_ARGB32);
    large.fill(Qt::transparent);
    panels.drawVideoPanel(&painter, QPoint(0, 0), false, large.constBits(), 2, 0, 1);
    QCOMPARE(PanelState::instance().hitRect(PanelState::CameraPanel), QRect(10, 20, 400, 300));
}

void TestPanels::cameraPictureEqualsTheFrameDrawnScaled_data()
{
    QTest::addColumn<bool>("hot");
    QTest::addColumn<bool>("changed");
    QTest::newRow("new frame, cursor outside") << false << true;
    QTest::newRow("new frame, cursor inside") << true << true;
    QTest::newRow("same frame, cursor enters") << true << false;
    QTest::newRow("same frame, cursor leaves") << false << false;
}

// The kept picture against the frame drawn scaled at every draw.
void TestPanels::cameraPictureEqualsTheFrameDrawnScaled()
{
    QFETCH(bool, hot);
    QFETCH(bool, changed);
    drawPanelG::setCameraScale(0.7);
    PanelState::instance().setPosition(PanelState::CameraPanel, kCameraPanel.topLeft());
    Inspection::_Test test;
    drawPanelG panels(&test);
    const auto drawn = [&](const QImage &frame, quint64 serial, bool inside) {
        const QPoint cursor = inside ? kCameraPanel.center() : QPoint(5, 5);
        return drawnOverLines([&](QPainter &painter) {
            panels.drawVideoPanel(&painter, cursor, false, frame.constBits(), serial, 0, 0);
        });
    };
    const QImage first = cameraFrame(1);
    const QImage shown = changed ? cameraFrame(2) : first;
    // The picture before: of the other frame, or with the other alpha.
    drawn(first, 1, changed ? hot : !hot);
    const QImage expected = cameraFrameDrawnScaled(shown, hot);
    // Made, then placed as kept.
    for (int draw = 0; draw < 2; ++draw)
        QCOMPARE(pixelsApart(drawn(shown, changed ? 2 : 1, hot), expected), 0);
}

void TestPanels::meterLightsSegmentsByLevel_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("lit");
    QTest::newRow("silence") << 0 << 0;
    QTest::newRow("half") << 256 << 30;
    QTest::newRow("full") << 512 << 60;
    QTest::newRow("beyond") << 4000 << 60;
}

void TestPanels::meterLightsSegmentsByLevel()
{
    QFETCH(int, level);
    QFETCH(int, lit);
    Inspection::_Test test;
    drawPanelG panels(&test);
    drawPanelG::setCameraScale(0.75);
    PanelState::instance().setPosition(PanelState::CameraPanel, QPoint(0, 0));
    QImage frame(640, 480, QImage::Format_ARGB32);
    RecordingPaintDevice device;
    QPainter painter(&device);
    panels.drawVideoPanel(&painter, QPoint(-5, -5), false, frame.constBits(), 1, level, 0);

    const QVector<RecordedRect> green = rectsOf(device, QColor(0, 200, 0, 100));
    const QVector<RecordedRect> grey = rectsOf(device, QColor(127, 127, 127, 50));
    QCOMPARE(green.size(), lit);
    QCOMPARE(green.size() + grey.size(), 60);
    // 480 × 0.75 = 360 high: segments every 6 pixels, 3 high, along the right edge.
    const RecordedRect &bottom = lit > 0 ? green.first() : grey.first();
    QCOMPARE(bottom.rect.toRect(), QRect(QPoint(464, 353), QPoint(478, 355)));
    const RecordedRect &top = lit == 60 ? green.last() : grey.last();
    QCOMPARE(top.rect.toRect(), QRect(QPoint(464, -1), QPoint(478, 1)));
}

void TestPanels::secondMonitorPictureOpacity()
{
    Inspection::_Test test;
    drawPanelG panels(&test);
    PanelState::instance().setPosition(PanelState::SecondMonitorPanel, QPoint(10, 10));
    QImage picture(1000, 500, QImage::Format_ARGB32);
    picture.fill(Qt::black);
    QImage screen(400, 300, QImage::Format_ARGB32);
    screen.fill(Qt::white);
    QPainter painter(&screen);

    panels.drawPixmapPanel(&painter, QPoint(0, 0), false, picture);
    QCOMPARE(PanelState::instance().hitRect(PanelState::SecondMonitorPanel), QRect(10, 10, 140, 70));
    QCOMPARE(painter.opacity(), 1.0);
    QVERIFY(qAbs(qRed(screen.pixel(50, 40)) - 153) <= 2);
    QCOMPARE(screen.pixel(160, 40), qRgb(255, 255, 255));

    screen.fill(Qt::white);
    panels.drawPixmapPanel(&painter, QPoint(50, 40), false, picture);
    QVERIFY(qAbs(qRed(screen.pixel(50, 40)) - 51) <= 2);
    QCOMPARE(painter.opacity(), 1.0);
}

void TestPanels::checkBoxIsCrossedWhenChecked()
{
    RecordingPaintDevice device;
    QPainter painter(&device);
    drawPanelG::drawPanelFrame(&painter, QRect(QPoint(10, 20), QPoint(20, 30)), false);
    QCOMPARE(device.rects().size(), 1);
    QCOMPARE(device.rects().first().brush.style(), Qt::NoBrush);
    QVERIFY(device.lines().isEmpty());

    device.clear();
    drawPanelG::drawPanelFrame(&painter, QRect(QPoint(10, 20), QPoint(20, 30)), true);
    QCOMPARE(device.lines().size(), 2);
    QCOMPARE(device.lines()[0].line, QLineF(12, 22, 19, 29));
    QCOMPARE(device.lines()[1].line, QLineF(19, 22, 12, 29));
}

void TestPanels::panelAtTestsTheChosenRectangles()
{
    PanelState &state = PanelState::instance();
    state.settle(PanelState::SetupTablePanel, QRect(100, 100, 50, 50), {});
    state.settle(PanelState::CameraPanel, QRect(300, 100, 50, 50), {});
    state.settle(PanelState::ReadoutsPanel, QRect(0, 0, 20, 20), {});

    QVERIFY(drawPanelG::panelAt(QPoint(120, 120), 0));
    QVERIFY(!drawPanelG::panelAt(QPoint(320, 120), 0));
    QVERIFY(drawPanelG::panelAt(QPoint(120, 120), -1));
    QVERIFY(drawPanelG::panelAt(QPoint(320, 120), -1));
    QVERIFY(drawPanelG::panelAt(QPoint(5, 5), -3));
    QVERIFY(!drawPanelG::panelAt(QPoint(200, 120), -1));
    QVERIFY(!drawPanelG::panelAt(QPoint(120, 120), 1));
    QVERIFY(!drawPanelG::panelAt(QPoint(5, 5), 2));

    drawPanelG::resetHitRects();
    QVERIFY(!drawPanelG::panelAt(QPoint(120, 120), 0));
    QVERIFY(!drawPanelG::panelAt(QPoint(0, 0), -1));
    QVERIFY(state.hitRect(PanelState::CameraPanel).isNull());
}

void TestPanels::pressOutsideStartsNoDragUntilThePanelIsEntered()
{
    DragScreen f;
    PanelState &state = PanelState::instance();
    const auto draw = [&](const QPoint &cursor, bool pressed) { f.drawReadouts(cursor, pressed); };

    draw(QPoint(900, 700), true);
    draw(QPoint(800, 600), true);
    QCOMPARE(state.position(PanelState::ReadoutsPanel), QPoint(20, 20));
    draw(QPoint(30, 30), true);  // entered while still pressed: the drag starts here
    QCOMPARE(state.position(PanelState::ReadoutsPanel), QPoint(20, 20));
    draw(QPoint(40, 35), true);
    QCOMPARE(state.position(PanelState::ReadoutsPanel), QPoint(30, 25));
    draw(QPoint(140, 235), true);  // far outside the old rectangle: it still follows
    QCOMPARE(state.position(PanelState::ReadoutsPanel), QPoint(130, 225));
    QCOMPARE(state.place(PanelState::ReadoutsPanel).anchor, QPoint(140, 235));
    draw(QPoint(140, 235), false);
    QCOMPARE(state.place(PanelState::ReadoutsPanel).anchor, QPoint());
}

void TestPanels::releaseEndsTheDragAndOnlyOnePanelMoves()
{
    DragScreen f;
    PanelState &state = PanelState::instance();
    // The second-monitor picture lies over the readouts box.
    state.setPosition(PanelState::SecondMonitorPanel, QPoint(25, 25));
    const auto draw = [&](const QPoint &cursor, bool pressed) { f.drawBoth(cursor, pressed); };

    draw(QPoint(30, 30), true);
    draw(QPoint(50, 40), true);
    QCOMPARE(state.position(PanelState::ReadoutsPanel), QPoint(40, 30));
    QCOMPARE(state.position(PanelState::SecondMonitorPanel), QPoint(25, 25));

    draw(QPoint(50, 40), false);
    const QPoint inPicture = state.hitRect(PanelState::SecondMonitorPanel).bottomRight() - QPoint(2, 2);
    QVERIFY(!state.hitRect(PanelState::ReadoutsPanel).contains(inPicture));
    draw(inPicture, true);
    draw(inPicture + QPoint(7, 9), true);
    QCOMPARE(state.position(PanelState::SecondMonitorPanel), QPoint(32, 34));
    QCOMPARE(state.position(PanelState::ReadoutsPanel), QPoint(40, 30));
}

void TestPanels::hitTestFromAnotherThreadSeesWholeRectangles()
{
    DragScreen f;
    PanelState &state = PanelState::instance();

    // The box is drawn alternately at two places; a point between them lies on
    // neither, but on a rectangle made of the left edge of one and the right of the other.
    f.drawReadouts(QPoint(-1, -1), false);
    const int width = state.hitRect(PanelState::ReadoutsPanel).width();
    const QPoint places[] = {QPoint(0, 0), QPoint(2 * width + 100, 0)};
    const QPoint between(width + 50, 5);

    QAtomicInt stop(0);
    QAtomicInt hits(0);
    QAtomicInt checks(0);
    QThread *reader = QThread::create([&] {
        while (!stop.loadAcquire()) {
            if (drawPanelG::panelAt(between, -1))
                hits.ref();
            checks.ref();
        }
    });
    reader->start();
    for (int i = 0; i < 4000 || checks.loadAcquire() < 1000; ++i) {
        state.setPosition(PanelState::ReadoutsPanel, places[i % 2]);
        f.drawReadouts(QPoint(-1, -1), false);
    }
    stop.storeRelease(1);
    reader->wait();
    delete reader;
    QCOMPARE(hits.loadAcquire(), 0);
}

VUG_TEST_MAIN(TestPanels, QGuiApplication)
#include "tst_panels.moc"
