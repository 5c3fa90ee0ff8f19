// Panel painter: settings, dragging, readouts, banners and pictures.
#include "drawPanelG.h"

#include "data/GenericSettings.h"
#include "data/SettingsStore.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace {

const QString kGroup = QStringLiteral("TransparentPanels");
const int kMeterSegments = 60;
const int kFullLevel = 512;

// Hot panels, those under the cursor, are drawn more opaque.
int hotAlpha(const QRect &rect, const QPoint &cursor, int cold) { return rect.contains(cursor) ? 255 : cold; }

QSize cameraFrameSize(int mode)
{
    if (mode == 1)
        return QSize(800, 600);
    if (mode == 2)
        return QSize(1280, 960);
    return QSize(640, 480);
}

QSize scaled(const QSize &size, double scale) { return QSize(int(size.width() * scale), int(size.height() * scale)); }

// Segment i of the level meter, 0 at the bottom; the top one reaches a row above the picture.
QRect meterSegment(const QRect &rect, int i)
{
    const int top = rect.bottom() - (i + 1) * (rect.height() / kMeterSegments);
    const int segment = rect.height() / (2 * kMeterSegments);
    return QRect(QPoint(rect.right() - 15, top), QPoint(rect.right() - 1, top + segment - 1));
}

void drawLevelMeter(QPainter *painter, const QRect &rect, int level)
{
    const qint64 lit = qint64(kMeterSegments) * level / kFullLevel;
    for (int i = 0; i < kMeterSegments; ++i)
        painter->fillRect(meterSegment(rect, i), i < lit ? QColor(0, 200, 0, 100) : QColor(127, 127, 127, 50));
}

// The banners span the area but 20 pixels on the left and 21 on the right.
QRect bannerRect(const QRect &area, int top, int bottom)
{
    return QRect(QPoint(area.left() + 20, top), QPoint(area.left() + 20 + area.right() - 41, bottom));
}

const int kCountdownHeight = 40;
const int kCountdownGap = 4;

bool isFree(const QRect &rect, const QVector<QRect> &occupied)
{
    return std::none_of(occupied.begin(), occupied.end(), [&](const QRect &r) { return r.intersects(rect); });
}

}  // namespace

drawPanelG::drawPanelG(Inspection::_Test *test)
    : test(test)
    , appFont(QGuiApplication::font())
    , appFontBold(appFont.family(), appFont.pointSize(), 75)
    , smallFont(appFont.family(), 8)
    , plainFont(appFont.family(), appFont.pointSize())
    , boldFont(appFont.family(), appFont.pointSize(), 75)
{
    for (int size : {20, 18, 16, 14, 12, 10, 8})
        fonts.append(QFont(QStringLiteral("Arial"), size));
    readPositions();
}

drawPanelG::~drawPanelG() { writePositions(); }

// A stored value that is no point keeps the position the process has.
void drawPanelG::readPositions()
{
    PanelState &state = PanelState::instance();
    const auto settings = SettingsStore::open();
    settings->beginGroup(kGroup);
    m_storedAsRead = true;
    for (int i = 0; i < PanelState::PanelCount; ++i) {
        const auto panel = PanelState::Panel(i);
        const QVariant stored = settings->value(QLatin1String(PanelState::key(panel)));
        const bool isPoint = stored.type() == QVariant::Point;
        m_storedAsRead = m_storedAsRead && isPoint;
        m_readPositions[i] = isPoint ? stored.toPoint() : state.position(panel);
        state.setPosition(panel, m_readPositions[i]);
    }
}

// The review view makes a painter at every paint: a group that already holds
// the current positions is left alone.
void drawPanelG::writePositions() const
{
    const PanelState &state = PanelState::instance();
    std::array<QPoint, PanelState::PanelCount> current;
    for (int i = 0; i < PanelState::PanelCount; ++i)
        current[i] = state.position(PanelState::Panel(i));
    if (m_storedAsRead && current == m_readPositions)
        return;
    const auto settings = SettingsStore::open();
    settings->beginGroup(kGroup);
    for (int i = 0; i < PanelState::PanelCount; ++i)
        settings->setValue(QLatin1String(PanelState::key(PanelState::Panel(i))), current[i]);
    settings->endGroup();
    settings->sync();
}

void drawPanelG::dragPanel(bool pressed, QPoint &anchor, QPoint &position, const QRect &rect, const QPoint &cursor,
                           int id)
{
    if (!pressed) {
        anchor = QPoint();
        dragId = 0;
        return;
    }
    if (anchor.isNull() && dragId == 0 && rect.contains(cursor)) {
        anchor = cursor;
        dragId = id;
    }
    if (dragId != id)
        return;
    position += cursor - anchor;
    anchor = cursor;
}

void drawPanelG::settlePanel(PanelState::Panel panel, const QRect &rect, const QPoint &cursor, bool pressed, int id)
{
    PanelState &state = PanelState::instance();
    PanelState::Place place = state.place(panel);
    dragPanel(pressed, place.anchor, place.position, rect, cursor, id);
    state.settle(panel, rect, place);
}

void drawPanelG::resetHitRects() { PanelState::instance().resetHitRects(); }

bool drawPanelG::panelAt(const QPoint &point, int which) { return PanelState::instance().panelAt(point, which); }

void drawPanelG::setCameraScale(double scale) { PanelState::instance().setCameraScale(scale); }

void drawPanelG::setSecondMonitorScale(double scale) { PanelState::instance().setSecondMonitorScale(scale); }

QRect drawPanelG::channelCell(PanelState::Cell cell, int code) { return PanelState::instance().cell(cell, code); }

void drawPanelG::drawReadoutsPanel(QPainter *painter, const QPoint &cursor, bool pressed, int gsr, int pulse, int cuff,
                                   int position, const GenericSettings &settings)
{
    const QPoint at = PanelState::instance().position(PanelState::ReadoutsPanel);
    const QFontMetrics bold(appFontBold, painter->device());
    const int h = bold.height();
    const int w1 = bold.horizontalAdvance(tr("Манжета(мм.рт.ст.):")) + 20;
    const int w2 = bold.horizontalAdvance(QStringLiteral("0000000000")) + 20;
    const int lines = int(settings.bShowTrasparentPanel_GSR) + int(settings.bShowTrasparentPanel_Pulse) +
                      int(settings.bShowTrasparentPanel_Pressure);
    const QRect rect(at, QSize(w1 + w2, h * lines));
    const int alpha = hotAlpha(rect, cursor, 100);
    drawBacking(painter, rect);
    painter->fillRect(rect, QColor(210, 210, 210, alpha));

    int top = at.y();
    const auto drawLine = [&](const QString &label, const QString &value, const QColor &colour) {
        painter->setFont(appFont);
        painter->setPen(QColor(0, 0, 0, alpha));
        painter->drawText(QRect(at.x() + 10, top, w1, h), Qt::AlignLeft | Qt::AlignVCenter, label);
        painter->setFont(appFontBold);
        painter->setPen(colour);
        painter->drawText(QRect(at.x() + w1 + 30, top, w2, h), Qt::AlignLeft | Qt::AlignVCenter, value);
        top += h;
    };
    if (settings.bShowTrasparentPanel_GSR)
        drawLine(tr("КГР (ТС):"), QString::number(gsr), QColor(0, 0, 0, alpha));
    if (settings.bShowTrasparentPanel_Pulse)
        drawLine(tr("Пульс:"), QString::number(pulse), QColor(0, 0, 0, alpha));
    if (settings.bShowTrasparentPanel_Pressure) {
        QColor colour;
        const QString text = channelStatusText(cuff, rect, cursor, position, colour);
        drawLine(tr("Манжета(мм.рт.ст.):"), text, colour);
    }
    settlePanel(PanelState::ReadoutsPanel, rect, cursor, pressed, ReadoutsId);
}

// The cuff is off below 17, low or high pressure blinks every 4 positions.
QString drawPanelG::channelStatusText(int value, const QRect &rect, const QPoint &cursor, int position,
                                      QColor &colour) const
{
    const int alpha = hotAlpha(rect, cursor, 100);
    const bool blink = (position / 4) % 2 != 0;
    const QColor black(0, 0, 0, 255);
    if (value < 17) {
        colour = QColor(0, 0, 0, alpha);
        return tr("Отключен");
    }
    if (value <= 24)
        colour = blink ? QColor(0, 128, 0, alpha) : black;
    else if (value <= 45)
        colour = QColor(0, 128, 0, alpha);
    else
        colour = blink ? QColor(128, 0, 0, alpha) : black;
    return QString::number(value);
}

// The banner keeps the middle of the area unless a panel lies there; then it
// takes the free place nearest to the middle, above or below the panels.
QRect drawPanelG::countdownRect(const QRect &area, const QVector<QRect> &occupied)
{
    const int middle = area.height() / 2;
    const QRect usual = bannerRect(area, middle - kCountdownHeight, middle - 1);
    if (isFree(usual, occupied))
        return usual;
    QVector<int> tops;
    for (const QRect &r : occupied) {
        if (r.isEmpty())
            continue;
        tops << r.bottom() + 1 + kCountdownGap << r.top() - kCountdownGap - kCountdownHeight;
    }
    std::sort(tops.begin(), tops.end(), [&](int a, int b) { return qAbs(a - usual.top()) < qAbs(b - usual.top()); });
    for (int top : tops) {
        const QRect rect = bannerRect(area, top, top + kCountdownHeight - 1);
        if (rect.top() >= area.top() && rect.bottom() <= area.bottom() && isFree(rect, occupied))
            return rect;
    }
    return usual;
}

// The panels drawn so far in this frame and the question banner while it shows.
QVector<QRect> drawPanelG::occupiedRects(const QRect &area)
{
    const PanelState &state = PanelState::instance();
    QVector<QRect> occupied;
    for (int i = 0; i < PanelState::PanelCount; ++i) {
        const QRect rect = state.hitRect(PanelState::Panel(i));
        if (!rect.isEmpty())
            occupied << rect;
    }
    if (state.fadeLevel() > 0)
        occupied << textBannerRect(area);
    return occupied;
}

void drawPanelG::drawCountdown(QPainter *painter, const QPoint &cursor, const QRect &area, int seconds)
{
    const QString text = tr("До завершения записи полиграммы осталось (сек): %0").arg(seconds);
    const QRect rect = countdownRect(area, occupiedRects(area));
    drawBanner(painter, rect, text, QColor(128, 0, 0, 50), QColor(0, 0, 0, hotAlpha(rect, cursor, 120)), true);
}

QRect drawPanelG::textBannerRect(const QRect &area) { return bannerRect(area, area.bottom() - 80, area.bottom() - 41); }

void drawPanelG::drawTextPanel(QPainter *painter, const QPoint &cursor, bool show, const QRect &area,
                               const QString &text)
{
    const int level = PanelState::instance().stepFade(show);
    const QRect rect = textBannerRect(area);
    drawBanner(painter, rect, text, QColor(0, 0, 255, level / 2), QColor(0, 0, 0, hotAlpha(rect, cursor, level)),
               false);
}

int drawPanelG::fittingFont(QPainter *painter, const QString &text, int width) const
{
    for (int i = 0; i < fonts.size(); ++i) {
        if (QFontMetrics(fonts[i], painter->device()).horizontalAdvance(text) <= width)
            return i;
    }
    return -1;
}

void drawPanelG::drawBanner(QPainter *painter, const QRect &rect, const QString &text, const QColor &fill,
                            const QColor &pen, bool backed) const
{
    const int font = fittingFont(painter, text, rect.right() - rect.left());
    if (font < 0)
        return;
    if (backed) {
        const QRect words = QFontMetrics(fonts[font], painter->device()).boundingRect(rect, Qt::AlignCenter, text);
        drawBacking(painter, words.adjusted(-6, 0, 6, 0) & rect);
    }
    painter->fillRect(rect, fill);
    painter->setFont(fonts[font]);
    painter->setPen(pen);
    painter->drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, text);
}

// What lies under a panel's words must not show through them: the panels sit
// on the paper the polygram is drawn on, and the tint goes over it.
void drawPanelG::drawBacking(QPainter *painter, const QRect &rect) { painter->fillRect(rect, Qt::white); }

void drawPanelG::drawVideoPanel(QPainter *painter, const QPoint &cursor, bool pressed, const uchar *pixels,
                                quint64 serial, int level, int mode)
{
    const QRect rect = placeVideoPanel(cursor, pressed, mode);
    paintVideoPanel(painter, rect, rect.contains(cursor), pixels, serial, level, mode);
}

QRect drawPanelG::placeVideoPanel(const QPoint &cursor, bool pressed, int mode)
{
    const PanelState &state = PanelState::instance();
    const QRect rect(state.position(PanelState::CameraPanel), scaled(cameraFrameSize(mode), state.cameraScale()));
    settlePanel(PanelState::CameraPanel, rect, cursor, pressed, CameraId);
    return rect;
}

QRect drawPanelG::videoPanelBounds(const QRect &rect)
{
    return rect | meterSegment(rect, 0) | meterSegment(rect, kMeterSegments - 1);
}

void drawPanelG::paintVideoPanel(QPainter *painter, const QRect &rect, bool hot, const uchar *pixels,
                                 quint64 serial, int level, int mode)
{
    const bool smooth = painter->testRenderHint(QPainter::SmoothPixmapTransform);
    const int alpha = hot ? 255 : CameraPicture::ColdAlpha;
    const QSize frame = cameraFrameSize(mode);
    painter->drawImage(rect.topLeft(), m_camera.picture(pixels, frame, serial, rect.size(), alpha, smooth));
    drawLevelMeter(painter, rect, level);
}

void drawPanelG::drawPixmapPanel(QPainter *painter, const QPoint &cursor, bool pressed, const QImage &picture)
{
    const PanelState &state = PanelState::instance();
    const QRect rect(state.position(PanelState::SecondMonitorPanel),
                     scaled(picture.size(), state.secondMonitorScale()));
    painter->setOpacity(rect.contains(cursor) ? 0.8 : 0.4);
    painter->drawImage(rect, picture);
    painter->setOpacity(1.0);
    settlePanel(PanelState::SecondMonitorPanel, rect, cursor, pressed, SecondMonitorId);
}

void drawPanelG::drawPanelFrame(QPainter *painter, const QRect &rect, bool checked)
{
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect);
    if (!checked)
        return;
    painter->drawLine(rect.left() + 2, rect.top() + 2, rect.right() - 1, rect.bottom() - 1);
    painter->drawLine(rect.right() - 1, rect.top() + 2, rect.left() + 2, rect.bottom() - 1);
}
