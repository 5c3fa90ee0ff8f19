// The painter itself: channel curves and bands, filters, time grid, backgrounds.
#include "drawG.h"

#include "ChannelLook.h"
#include "data/SharedHelpers.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <vector>

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

// Raster pictures unscaled; printers and PDF keep their vector lines.
bool drawsPixels(QPainter &painter)
{
    return painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster
           && painter.transform().type() <= QTransform::TxTranslate;
}

// The image an opaque fill can be written straight into: a raster image of
// 32-bit pixels, unscaled, unclipped and moved by whole pixels, painted over
// opaquely. Anything else goes through the painter.
QImage *directImage(QPainter &painter, const QColor &color, QPoint &offset)
{
    QPaintDevice *device = painter.device();
    if (!device || device->devType() != QInternal::Image || color.alpha() != 255 || painter.opacity() < 1.0
        || painter.hasClipping() || painter.compositionMode() != QPainter::CompositionMode_SourceOver
        || !painter.paintEngine() || painter.paintEngine()->type() != QPaintEngine::Raster)
        return nullptr;
    auto *image = static_cast<QImage *>(device);
    const QImage::Format format = image->format();
    if (format != QImage::Format_ARGB32_Premultiplied && format != QImage::Format_RGB32
        && format != QImage::Format_ARGB32)
        return nullptr;
    const QTransform transform = painter.deviceTransform();
    if (image->devicePixelRatioF() != 1.0 || transform.type() > QTransform::TxTranslate
        || transform.dx() != std::trunc(transform.dx()) || transform.dy() != std::trunc(transform.dy()))
        return nullptr;
    offset = QPoint(int(transform.dx()), int(transform.dy()));
    return image;
}

// The pixel column of x, as std::floor takes it, without its general cases.
int columnOf(qreal x)
{
    const int column = int(x);
    return column - (x < column ? 1 : 0);
}

qint16 toSample(double value)
{
    return qint16(qBound(-32768.0, std::trunc(value), 32767.0));
}

// drawG::columnExtremes taken point by point: each pixel column's run is cut
// as it ends, so no list of every sample's point is built. A point's height
// rises or falls with its sample throughout a curve, so within a run only a
// sample beyond the run's extremes so far can give a new lowest or highest
// point: the height is worked out for those alone.
class ColumnFold
{
public:
    explicit ColumnFold(QVector<QPointF> &kept) : m_kept(kept) {}

    template <typename Height>
    void add(float x, float sample, const Height &height)
    {
        const int column = columnOf(x);
        const int index = m_count++;
        if (index == 0 || column != m_column) {
            finish(height);
            m_column = column;
            m_first = m_lowest = m_highest = Taken{QPointF(x, height(sample)), index};
            m_least = m_most = sample;
        } else if (sample < m_least || sample > m_most) {
            m_least = qMin(m_least, sample);
            m_most = qMax(m_most, sample);
            const Taken taken{QPointF(x, height(sample)), index};
            if (taken.point.y() < m_lowest.point.y())
                m_lowest = taken;
            if (taken.point.y() > m_highest.point.y())
                m_highest = taken;
        }
        m_lastX = x;
        m_lastSample = sample;
        m_lastIndex = index;
    }

    template <typename Height>
    void finish(const Height &height)
    {
        if (m_first.index < 0)
            return;
        const Taken last{QPointF(m_lastX, height(m_lastSample)), m_lastIndex};
        const bool lowFirst = m_lowest.index < m_highest.index;
        int previous = -1;
        const Taken *order[] = {&m_first, lowFirst ? &m_lowest : &m_highest, lowFirst ? &m_highest : &m_lowest, &last};
        for (const Taken *taken : order) {
            if (taken->index != previous)
                m_kept << taken->point;
            previous = taken->index;
        }
        m_first.index = -1;
    }

private:
    struct Taken {
        QPointF point;
        int index = -1;
    };

    QVector<QPointF> &m_kept;
    int m_count = 0;
    int m_column = 0;
    int m_lastIndex = -1;
    float m_least = 0, m_most = 0;
    float m_lastX = 0, m_lastSample = 0;
    Taken m_first, m_lowest, m_highest;
};

}  // namespace

// The buffer a curve is drawn from: filter 1 for pulse, pressure and the extra
// channel, filter 2 for pressure alone, else the samples as they are. Filtered
// buffers hold values only at the positions first..last-1, which the curve shows.
QVector<qint16> drawG::filteredSamples(const InspectionChannel &record, const ChannelLook &look,
                                       const QVector<qint16> &samples, int first, int last)
{
    const bool baselineChannel =
        record.Kod == ChannelCode::PG || record.Kod == ChannelCode::AD || record.Kod == ChannelCode::ADVANCED;
    QVector<qint16> buffer;
    if (look.filter && baselineChannel) {
        buffer.fill(0, samples.size());
        removeBaseline(samples.constData(), buffer.data(), samples.size(), first, last);
    } else if (!look.filter && look.filter2 && record.Kod == ChannelCode::AD) {
        buffer.fill(0, samples.size());
        movingAverage(samples.constData(), buffer.data(), samples.size(), first, last);
    } else {
        copySamples(buffer, samples);
    }
    return buffer;
}

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

QVector<QPointF> drawG::buildCurvePoints(const Inspection::_Test *test, const QRect &area, int n, float xShift,
                                         int code, int timeScale, int verticalShift)
{
    return curvePoints(test, area, n, xShift, code, timeScale, verticalShift, 4096, false);
}

void drawG::drawChannelCurve(QPainter &painter, const QRect &area, int n, float xShift, int code, bool highlight,
                             bool fit)
{
    const QVector<QPointF> points = columnCurvePoints(test, area, n, xShift, code, timeScale, verticalShift, 4094, fit);
    const ChannelLook look(test->channel(code));
    const QColor color = highlight ? withLightness(look.color, 180) : look.color;
    const qreal width = highlight ? 1.0 : look.penWidth;
    if (width > 1.0 && drawsPixels(painter)) {
        // Qt strokes a wide pen through its general stroker, which costs most
        // of a page; the curve's extent in each pixel column is filled directly.
        // Whole-pixel rectangles gain nothing from antialiasing, which would
        // send them down the path filler.
        fillColumns(painter, wideCurveColumns(points, width), color);
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

void drawG::fillColumns(QPainter &painter, const QVector<QRect> &columns, const QColor &color)
{
    QPoint offset;
    if (QImage *image = directImage(painter, color, offset)) {
        // The painter's own fills of many one-pixel rectangles cost several
        // times the pixels they set.
        const QRect bounds = image->rect();
        // Written where the painter writes, shared copies or not.
        uchar *bits = const_cast<uchar *>(image->constBits());
        const qsizetype stride = image->bytesPerLine();
        const QRgb pixel = color.rgba();
        for (const QRect &column : columns) {
            const QRect run = column.translated(offset) & bounds;
            for (int y = run.top(); y <= run.bottom(); ++y)
                std::fill_n(reinterpret_cast<QRgb *>(bits + y * stride) + run.left(), run.width(), pixel);
        }
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawRects(columns);
    painter.restore();
}

QVector<QRect> drawG::wideCurveColumns(const QVector<QPointF> &points, qreal width)
{
    if (points.isEmpty())
        return {};
    const int first = columnOf(points.first().x());
    const int count = columnOf(points.last().x()) - first + 1;
    constexpr float kNone = 1e30f;
    // Raw buffers: the columns are touched several times a point.
    std::vector<float> lows(count, kNone), highs(count, -kNone);
    float *low = lows.data();
    float *high = highs.data();
    const auto cover = [&](int column, qreal a, qreal b) {
        const int i = column - first;
        if (i < 0 || i >= count)
            return;
        low[i] = qMin(low[i], float(qMin(a, b)));
        high[i] = qMax(high[i], float(qMax(a, b)));
    };
    // The line's own extent in each column it crosses.
    const QPointF *point = points.constData();
    const int size = points.size();
    for (int i = 0; i < size; ++i) {
        const QPointF p = point[i];
        const QPointF q = i + 1 < size ? point[i + 1] : p;
        const int from = columnOf(p.x());
        const int to = columnOf(q.x());
        if (from == to || q.x() <= p.x()) {
            cover(from, p.y(), q.y());
            continue;
        }
        const qreal slope = (q.y() - p.y()) / (q.x() - p.x());
        for (int column = from; column <= to; ++column) {
            const qreal left = qMax<qreal>(column, p.x());
            const qreal right = qMin<qreal>(column + 1, q.x());
            cover(column, p.y() + (left - p.x()) * slope, p.y() + (right - p.x()) * slope);
        }
    }
    // Widened by the pen: a pen w pixels wide spans w columns (an even one
    // reaching one more to the right) and half its width up and down.
    const float radius = float(width / 2);
    const int pen = qMax(1, qRound(width));
    const int left = (pen - 1) / 2;
    const int right = pen / 2;
    QVector<QRect> columns(count + left + right);
    QRect *column = columns.data();
    for (int i = -left; i < count + right; ++i) {
        float top = kNone, bottom = -kNone;
        for (int j = qMax(0, i - right); j <= qMin(count - 1, i + left); ++j) {
            if (low[j] > high[j])
                continue;
            top = qMin(top, low[j] - radius);
            bottom = qMax(bottom, high[j] + radius);
        }
        if (top > bottom)
            continue;
        const int y = qRound(top);
        *column++ = QRect(first + i, y, 1, qMax(1, qRound(bottom) - y));
    }
    columns.resize(int(column - columns.constData()));
    return columns;
}

QVector<QPointF> drawG::columnExtremes(const QVector<QPointF> &points)
{
    const QPointF *point = points.constData();
    const int size = points.size();
    QVector<QPointF> kept(size);
    QPointF *out = kept.data();
    for (int first = 0; first < size;) {
        const int column = columnOf(point[first].x());
        int last = first;
        int lowest = first;
        int highest = first;
        while (last + 1 < size && columnOf(point[last + 1].x()) == column) {
            ++last;
            if (point[last].y() < point[lowest].y())
                lowest = last;
            if (point[last].y() > point[highest].y())
                highest = last;
        }
        int previous = -1;
        for (int i : {first, qMin(lowest, highest), qMax(lowest, highest), last}) {
            if (i != previous)
                *out++ = point[i];
            previous = i;
        }
        first = last + 1;
    }
    kept.resize(int(out - kept.constData()));
    return kept;
}

template <typename Take>
void drawG::placeCurvePoints(const Inspection::_Test *test, const QRect &area, int n, float xShift, int code,
                             int timeScale, int verticalShift, float scale, bool fit, Take take)
{
    static const QVector<qint16> none;
    const InspectionChannel &record = test->channel(code);
    const ChannelLook look(record);
    const int W = area.width();
    const int H = area.height();
    const int count = qMin(W * timeScale / 1000, n);
    if (count <= 0)
        return;
    const int first = n - count;
    const QVector<qint16> *samples = test->samples(code);
    const QVector<qint16> buffer = filteredSamples(record, look, samples ? *samples : none, first, n);

    const double amplify = record.Amplify;
    const double offset = record.Offset;
    const float k = float(scale / (H * amplify / 500));
    const float zeroLine = float(offset * H / 500);
    const float step = 1000.0f / timeScale;
    // Right-aligned: a recording shorter than the area ends at its right edge.
    float x = W - qMin(float(n) * 1000.0f / timeScale, float(W)) - xShift;

    const auto height = [&](float v) {
        float y;
        if (fit) {
            v = v * H / 65536;
            if (look.inverse)
                v = -v;
            y = area.top() + (H - (v + 0.5f * H));
        } else {
            if (k != 0.0f) {
                if (look.amp2)
                    v = v * std::fabs(v) / 2047;
                v = v / k;
            }
            if (look.inverse)
                v = -v;
            y = area.top() + (H - (v + zeroLine) - verticalShift);
        }
        return std::trunc(y);
    };
    for (int j = 0; j < count; ++j, x += step) {
        const int index = first + j;
        take(area.left() + x, index < buffer.size() ? float(buffer[index]) : 0.0f, height, j + 1 == count);
    }
}

QVector<QPointF> drawG::curvePoints(const Inspection::_Test *test, const QRect &area, int n, float xShift,
                                    int code, int timeScale, int verticalShift, float scale, bool fit)
{
    QVector<QPointF> points;
    points.reserve(qMax(0, qMin(area.width() * timeScale / 1000, n)));
    placeCurvePoints(test, area, n, xShift, code, timeScale, verticalShift, scale, fit,
                     [&points](float x, float sample, const auto &height, bool) {
                         points.append(QPointF(x, height(sample)));
                     });
    return points;
}

QVector<QPointF> drawG::columnCurvePoints(const Inspection::_Test *test, const QRect &area, int n, float xShift,
                                          int code, int timeScale, int verticalShift, float scale, bool fit)
{
    QVector<QPointF> kept;
    ColumnFold fold(kept);
    placeCurvePoints(test, area, n, xShift, code, timeScale, verticalShift, scale, fit,
                     [&fold](float x, float sample, const auto &height, bool last) {
                         fold.add(x, sample, height);
                         if (last)
                             fold.finish(height);
                     });
    return kept;
}

void drawG::removeBaseline(const qint16 *src, qint16 *dst, int n)
{
    removeBaseline(src, dst, n, 0, n);
}

void drawG::movingAverage(const qint16 *src, qint16 *dst, int n)
{
    movingAverage(src, dst, n, 0, n);
}

// Running window sums: sums of int16 are exact, so each value equals the
// sum over its whole window as the plain formula takes it.
void drawG::removeBaseline(const qint16 *src, qint16 *dst, int n, int first, int last)
{
    if (n <= 0)
        return;
    qint64 total = 0;
    for (int i = 0; i < n; ++i)
        total += src[i];
    const double mean = double(total) / n;
    first = qMax(first, 15);
    last = qMin(last, n);
    if (first >= last)
        return;
    // The window of i is src[i - 15 .. i + 14], cut at the buffer's end; the
    // divisor stays 30 there, as it does for short buffers.
    qint64 window = 0;
    for (int i = first - 15; i < qMin(first + 15, n); ++i)
        window += src[i];
    for (int i = first; i < last; ++i) {
        const double average = double(window) / 30.0;
        dst[i] = toSample(src[i] - average + mean);
        window -= src[i - 15];
        if (i + 15 < n)
            window += src[i + 15];
    }
}

void drawG::movingAverage(const qint16 *src, qint16 *dst, int n, int first, int last)
{
    // dst[j] is the mean of src[j - 50 .. j + 49].
    first = qMax(first, 50);
    last = qMin(last, n - 50);
    if (first >= last)
        return;
    qint64 window = 0;
    for (int i = first - 50; i < first + 50; ++i)
        window += src[i];
    for (int j = first; j < last; ++j) {
        if (j > first)
            window += src[j + 49] - src[j - 51];
        dst[j] = toSample(double(window) / 100.0);
    }
}

void drawG::copySamples(QVector<qint16> &dst, const QVector<qint16> &src)
{
    dst = src;
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
