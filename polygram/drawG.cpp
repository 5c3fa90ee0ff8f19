// The painter itself: the whole pass, channel bands and curves, time grid,
// backgrounds.
#include "drawG.h"

#include "ChannelLook.h"
#include "CurveColumns.h"
#include "data/SharedHelpers.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QTime>

#include <cmath>

LockedValue<QFont> drawG::axisFont;
LockedValue<QRect> drawG::lastBandRect;

namespace {

constexpr QPainter::RenderHints kAllHints =
    QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform;

QPen greyPen(Qt::GlobalColor color, qreal width, Qt::PenStyle style)
{
    return QPen(QBrush(color), width, style, Qt::SquareCap, Qt::BevelJoin);
}

QPen dashedPen(const QVector<qreal> &pattern)
{
    QPen pen = greyPen(Qt::darkGray, 2.0, Qt::CustomDashLine);
    pen.setDashPattern(pattern);
    return pen;
}

// Thin lines stay sharp only without antialiasing; the caller saves the state.
void switchOffRenderHints(QPainter &painter)
{
    painter.setRenderHints(kAllHints, false);
}

void drawHorizontalLine(QPainter &painter, const QRect &area, qreal y)
{
    painter.drawLine(QLineF(area.left(), y, area.right(), y));
}

}  // namespace

drawG::drawG(Inspection::_Test *test, int timeScale)
    : test(test),
      timeScale(timeScale),
      gridPen(greyPen(Qt::lightGray, 1.0, Qt::SolidLine)),
      tickPen(greyPen(Qt::lightGray, 2.0, Qt::SolidLine)),
      borderPen(greyPen(Qt::lightGray, 4.0, Qt::SolidLine)),
      questionBrush(QColor(127, 127, 127)),
      answerBrush(QColor(255, 255, 128)),
      captionFont(QGuiApplication::font()),
      captionPen(QColor(94, 94, 94)),
      neutralPen(QColor(0, 127, 0)),
      testPen(QColor(127, 0, 0)),
      controlPen(QColor(0, 0, 127)),
      timePen(QColor(127, 127, 127)),
      bandAxisPen(dashedPen({1, 4, 3, 4, 9, 4, 27, 4, 9, 4})),
      bandEdgePen(dashedPen({9, 4, 9, 4}))
{
    axisFont = QGuiApplication::font();
}

namespace {
// The tick marks lie within this many pixels of the polygram's top and bottom.
constexpr int kTickRoom = 10;

QFontMetrics axisMetrics(const QFont &font, const QPaintDevice *device)
{
    return device ? QFontMetrics(font, device) : QFontMetrics(font);
}
}  // namespace

int drawG::captionStripHeight(const QPaintDevice *device)
{
    return axisMetrics(axisFont.value(), device).height() + kTickRoom;
}

int drawG::truncated(double value)
{
    // Damaged calibrations can put a band or mark far outside any device.
    return int(qBound(-1e8, std::trunc(value), 1e8));
}

void drawG::setRenderHints(QPainter &painter)
{
    painter.setRenderHints(kAllHints, true);
}

void drawG::drawPolygram(QPainter &painter, const QRect &area, int n, float xShift)
{
    QRect polygram = area;
    if (options & TimeGrid) {
        const int strip = captionStripHeight(painter.device());
        polygram.setTop(polygram.top() + strip);
        polygram.setBottom(polygram.bottom() - strip);
    }
    const auto on = [this](int bits) { return (options & bits) == bits; };
    if (on(NullReactionShades | ReactionShades | NullMarks)) {
        const int highlighted = highlightLabel;
        highlightLabel = -1;
        fillReactionShades(painter, polygram, n, xShift, test->labelsNULL);
        highlightLabel = highlighted;
    }
    if (on(ReactionShades))
        fillReactionShades(painter, polygram, n, xShift, test->labels);
    if (on(AnswerIntervals | NullMarks))
        fillAnswerIntervals(painter, polygram, n, xShift, test->labelsNULL);
    if (on(AnswerIntervals))
        fillAnswerIntervals(painter, polygram, n, xShift, test->labels);
    if (on(TimeGrid))
        drawTimeGrid(painter, polygram, n, xShift);
    if (on(NullQuestionIntervals | NullMarks))
        fillQuestionIntervals(painter, polygram, n, xShift, test->labelsNULL);
    if (on(QuestionIntervals))
        fillQuestionIntervals(painter, polygram, n, xShift, test->labels);
    if (on(Marks | NullMarks))
        drawLabels(painter, polygram, n, xShift, test->labelsNULL);
    if (on(Marks))
        drawLabels(painter, polygram, n, xShift, test->labels);
    if (on(ValueCaptions))
        drawValueCaptions(painter, polygram, n, xShift, test->labels);
    // The curves lie on top of everything else.
    for (int code = 0; code < ChannelCode::Count; ++code) {
        const InspectionChannel &record = test->channel(code);
        const QVector<qint16> *samples = test->samples(record.Kod);
        if (ChannelLook(record).enable && samples && !samples->isEmpty())
            drawChannelCurve(painter, polygram, n, xShift, code, false, false);
    }
}

void drawG::drawChannelBand(QPainter &painter, const QRect &area, int code, bool noFill, bool sixteenBit)
{
    const InspectionChannel &record = test->channel(code);
    const ChannelLook look(record);
    const int h = area.height();
    const double offset = record.Offset;
    const double amplify = record.Amplify;
    const float off = float(offset * h / 500);
    const float amp = float(amplify * h / 500 * (sixteenBit ? 16 : 1));
    const float k = 4094 / amp;
    const float range = look.amp2 ? 32752 : 2047;
    const float centre = h - off;
    const float low = centre - range / k;
    const float high = centre + range / k;

    // Measured from the top of the polygram area under the caption strip.
    const float strip = float(captionStripHeight());
    const float topF = strip + low;
    const int top = truncated(topF);
    const int height = truncated((strip + high) - topF);
    const int bottom = top + height - 1;
    const int half = height / 2;
    const int mid = truncated(half + topF);

    const QRect band(QPoint(area.left(), top), QPoint(area.right(), bottom));
    if (!noFill)
        painter.fillRect(band, look.tubeColor);
    lastBandRect = band;

    painter.save();
    switchOffRenderHints(painter);
    painter.setPen(bandAxisPen);
    drawHorizontalLine(painter, area, mid);
    if (!noFill) {
        painter.setPen(bandEdgePen);
        drawHorizontalLine(painter, area, mid - half);
        drawHorizontalLine(painter, area, mid + half);
    }
    painter.restore();
}

void drawG::drawChannelCurve(QPainter &painter, const QRect &area, int n, float xShift, int code, bool highlight,
                             bool fit)
{
    const QVector<QPointF> points = CurveColumns::extremes(test, area, n, xShift, code, timeScale, verticalShift, 4094, fit);
    const ChannelLook look(test->channel(code));
    const QColor color = highlight ? withLightness(look.color, 180) : look.color;
    const qreal width = highlight ? 1.0 : look.penWidth;
    if (width > 1.0 && CurveColumns::drawsPixels(painter)) {
        // Qt strokes a wide pen through its general stroker, which costs most
        // of a page; the curve's extent in each pixel column is filled directly.
        // Whole-pixel rectangles gain nothing from antialiasing, which would
        // send them down the path filler.
        CurveColumns::fill(painter, CurveColumns::wideColumns(points, width), color);
        return;
    }
    painter.setPen(QPen(QBrush(color), width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    // Separate segments of a thin pen stay on Qt's direct line path.
    QVector<QPointF> segments;
    segments.reserve(2 * points.size());
    for (int i = 1; i < points.size(); ++i)
        segments << points[i - 1] << points[i];
    painter.drawLines(segments);
}

void drawG::drawTimeGrid(QPainter &painter, const QRect &area, int n, float xShift)
{
    const int left = area.left();
    const int top = area.top();
    const int right = area.right();
    const int bottom = area.bottom();
    const int gridLeft = left / 20 * 20;
    const int w = right - gridLeft + 1;

    float phase = float(n * 1000.0 / timeScale);
    while (int(phase) > 20)
        phase -= 20;
    const float start = gridLeft - phase - xShift;

    const int capacity = qMax(100, (w / 20) * (area.height() / 20));
    QVector<QPointF> points;
    points.reserve(capacity);
    const auto collect = [&](const QPointF &from, const QPointF &to) {
        if (points.size() + 2 > capacity)
            return false;
        points << from << to;
        return true;
    };
    float x = start + w;
    if (x <= right) {
        while (collect(QPointF(x, top - 1), QPointF(x, bottom))) {
            x -= 20;
            if (x < gridLeft || x > right)
                break;
        }
    }
    for (int y = top - 1; collect(QPointF(start, y), QPointF(right, y));) {
        y += 20;
        if (y > bottom)
            break;
    }
    for (QPointF &point : points)
        point = QPointF(qBound<qreal>(left, point.x(), right), qBound<qreal>(top, point.y(), bottom));

    const double captionPixel = n * 1000.0 / timeScale + 50;
    double phaseOfCaptions = captionPixel;
    while (phaseOfCaptions > 200)
        phaseOfCaptions -= 200;
    const QRect captionArea(QPoint(gridLeft, top), QPoint(right, bottom));
    float pixel = float(std::trunc(captionPixel - phaseOfCaptions));
    for (float cx = float((w + 50) - phaseOfCaptions - xShift); cx >= -100; cx -= 200, pixel -= 200) {
        if (!(options & CaptionsOfTheAreaOnly) || (cx >= left && cx <= right))
            drawTimeCaptions(painter, captionArea, pixel, cx);
    }

    painter.save();
    switchOffRenderHints(painter);
    painter.setPen(borderPen);
    painter.drawLine(QLineF(start, top, w, top));
    painter.drawLine(QLineF(start, bottom, w, bottom));
    painter.setPen(gridPen);
    painter.drawLines(points);
    painter.restore();
}

void drawG::drawTimeCaptions(QPainter &painter, const QRect &area, float pixel, float x)
{
    if (pixel < 0)
        return;
    const qint64 msecs = qint64(std::floor(double(timeScale) * pixel / 20));
    // An hour and more wraps round to minutes and seconds.
    const QString text = QTime::fromMSecsSinceStartOfDay(int(msecs % (24 * 3600 * 1000))).toString(QStringLiteral("mm:ss"));
    const QFont font = axisFont;
    painter.setFont(font);
    painter.setPen(timePen);
    // Measured on the device: a printer's font is not the screen's size.
    const QFontMetrics metrics = axisMetrics(font, painter.device());
    const qreal textLeft = x - metrics.horizontalAdvance(text) * 0.5;
    // Each line whole in its strip, clear of the tick marks.
    if (textLeft + metrics.horizontalAdvance(text) <= captionsEnd) {
        painter.drawText(QPointF(textLeft, area.top() - kTickRoom - metrics.descent()), text);
        painter.drawText(QPointF(textLeft, area.bottom() + kTickRoom + metrics.ascent()), text);
    }
    drawTickMark(painter, x, area.top() - 6, 3);
    drawTickMark(painter, x, area.bottom() + 6, -3);
}

void drawG::drawTickMark(QPainter &painter, float x, float y, float h)
{
    painter.setPen(tickPen);
    painter.drawLine(QLineF(x - 4, y, x + 5, y));
    painter.drawLine(QLineF(x, y, x, y + h));
}

void drawG::drawGuideLines(QPainter &painter, const QRect &area)
{
    painter.save();
    switchOffRenderHints(painter);
    painter.setPen(bandAxisPen);
    drawHorizontalLine(painter, area, area.height() / 2);
    drawHorizontalLine(painter, area, area.top());
    drawHorizontalLine(painter, area, area.bottom());
    painter.restore();
}

void drawG::drawAlignmentBackground(QPainter &painter, const QRect &area, int code)
{
    const int mid = area.height() / 2;
    const ChannelLook look(test->channel(code));
    painter.fillRect(QRect(QPoint(area.left(), mid - 100), QPoint(area.right(), mid + 99)),
                     withLightness(look.color, 220));
    painter.save();
    switchOffRenderHints(painter);
    painter.setPen(bandAxisPen);
    for (int y : {mid, mid - 100, mid + 100})
        drawHorizontalLine(painter, area, y);
    painter.restore();
}
