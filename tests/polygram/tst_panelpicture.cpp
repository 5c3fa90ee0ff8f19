#include "data/DefChannel.h"
#include "data/GenericSettings.h"
#include "polygram/drawG.h"
#include "polygram/drawPanelG.h"
#include "tests/polygram/PanelFixtures.h"
#include "tests/polygram/PolygramFixture.h"
#include "tests/support/TestHome.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>

namespace {

const QSize kScreen(1600, 900);
const int kPosition = 2450;

InspectionOrder entry(int theme, int group)
{
    InspectionOrder order;
    order.Theme = qint16(theme);
    order.Group = qint16(group);
    return order;
}

// Three presentations of the fixture's questions, the null one first.
void planThreePresentations(Inspection::_Test &test)
{
    test.orders = {entry(-1, -1)};
    for (int g = 1; g <= 3; ++g) {
        test.orders << entry(-1, g) << entry(10000, g);
        for (int i = 0; i < test.themis.size(); ++i)
            test.orders << entry(i, g);
    }
}

QImage cameraFrame()
{
    QImage frame(640, 480, QImage::Format_ARGB32);
    QPainter painter(&frame);
    QLinearGradient sky(0, 0, 0, 480);
    sky.setColorAt(0, QColor(90, 140, 200));
    sky.setColorAt(1, QColor(40, 60, 40));
    painter.fillRect(frame.rect(), sky);
    painter.setBrush(QColor(230, 190, 160));
    painter.drawEllipse(QPoint(320, 220), 110, 140);
    return frame;
}

QImage secondMonitor(const QString &question)
{
    QImage screen(1920, 1080, QImage::Format_ARGB32);
    screen.fill(Qt::black);
    QPainter painter(&screen);
    painter.setPen(Qt::white);
    painter.setFont(QFont(QStringLiteral("Arial"), 60));
    painter.drawText(screen.rect(), Qt::AlignCenter, question);
    return screen;
}

// The polygram a live recording shows at the position, as a background.
QImage polygramPicture(Inspection::_Test &test)
{
    QImage picture(kScreen, QImage::Format_ARGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    drawG polygram(&test, 1000);
    const int strip = drawG::captionStripHeight();
    polygram.drawPolygram(painter, QRect(QPoint(0, strip), QPoint(kScreen.width() - 1, kScreen.height() - 1 - strip)),
                          kPosition, 0.0f);
    return picture;
}

QString savedNextToTheTest(const QImage &picture, const QString &name)
{
    const QString path = QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
    return picture.save(path) ? path : QString();
}

}  // namespace

// Writes pictures of every panel over a polygram for a look.
class TestPanelPicture : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetPanels(); }
    void livePanelsOverAPolygram();
    void setupTableOverAPolygram();
};

void TestPanelPicture::livePanelsOverAPolygram()
{
    PolygramFixture fixture;
    fixture.fillOneHour();
    planThreePresentations(fixture.test);
    QImage picture = polygramPicture(fixture.test);
    QImage frame = cameraFrame();
    const QImage monitor = secondMonitor(QStringLiteral("Вопрос 3?"));
    PanelState::instance().setPosition(PanelState::SecondMonitorPanel, QPoint(1250, 40));
    PanelState::instance().setPosition(PanelState::CameraPanel, QPoint(1250, 220));
    GenericSettings settings;
    {
        drawPanelG panels(&fixture.test);
        QPainter painter(&picture);
        const QPoint cursor(1270, 60);  // over the second-monitor picture
        drawPanelG::resetHitRects();
        panels.drawReadoutsPanel(&painter, cursor, false, 1834, 72, 38, kPosition, settings);
        panels.drawInspectionPanel(&painter, cursor, false, true, kPosition);
        for (int step = 0; step < 10; ++step)
            PanelState::instance().stepFade(true);  // the question has been shown for a while
        panels.drawTextPanel(&painter, cursor, true, QRect(QPoint(0, 0), kScreen), QStringLiteral("Вопрос 3?"));
        panels.drawPixmapPanel(&painter, cursor, false, monitor);
        panels.drawVideoPanel(&painter, cursor, false, frame.constBits(), 1, 300, 0);
        panels.drawCountdown(&painter, cursor, QRect(QPoint(0, 0), kScreen), 7);
    }
    for (int i = 0; i < PanelState::PanelCount; ++i) {
        const QRect drawn = PanelState::instance().hitRect(PanelState::Panel(i));
        QVERIFY(i == PanelState::SetupTablePanel || QRect(QPoint(0, 0), kScreen).contains(drawn));
    }
    QVERIFY(!savedNextToTheTest(picture, QStringLiteral("panels-live.png")).isEmpty());
}

void TestPanelPicture::setupTableOverAPolygram()
{
    PolygramFixture fixture;
    fixture.fillOneHour();
    fixture.looks[ChannelCode::MIC].bEnable = false;
    fixture.looks[ChannelCode::TRM].bEnable = false;
    QImage picture = polygramPicture(fixture.test);
    DefChannel saved;
    for (int code = 0; code < ChannelCode::Count; ++code)
        *saved.findByCode(code) = fixture.test.channel(code);
    saved.findByCode(ChannelCode::PG)->ShiftADT = 120;
    fixture.test.channel(ChannelCode::RG_HI).Amplify = 21.0;
    fixture.test.channel(ChannelCode::RG_HI).Offset = 250.0;
    fakeInput().modifiers = Qt::ShiftModifier;
    {
        drawPanelG panels(&fixture.test);
        QPainter painter(&picture);
        drawPanelG::resetHitRects();
        const QPoint cursor = QPoint(kScreen.width() / 2, kScreen.height() / 2);
        panels.drawChannelStatusPanel(&painter, cursor, false, ChannelCode::GSR, kScreen, saved, true);
        // Once more, so the cells under the cursor are marked from this draw.
        panels.drawChannelStatusPanel(&painter, cursor, false, ChannelCode::GSR, kScreen, saved, true);
    }
    QCOMPARE(PanelState::instance().hitRect(PanelState::SetupTablePanel).width(), 800);
    QVERIFY(!savedNextToTheTest(picture, QStringLiteral("panels-setup-table.png")).isEmpty());
}

VUG_TEST_MAIN(TestPanelPicture, QGuiApplication)
#include "tst_panelpicture.moc"
