// How a channel's samples become a curve's points and then pixel columns.
#include "CurveColumns.h"

#include "ChannelLook.h"
#include "drawG.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

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

// CurveColumns::extremes taken point by point: each pixel column's run is cut
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

// Each point of the curve, in order, handed to take as its x, its sample and
// the sample's height function, with whether it is the last.
template <typename Take>
void place(const Inspection::_Test *test, const QRect &area, int n, float xShift, int code, int timeScale,
           int verticalShift, float scale, bool fit, Take take)
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
    const QVector<qint16> buffer = drawG::filteredSamples(record, look, samples ? *samples : none, first, n);

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

}  // namespace

// Raster pictures unscaled; printers and PDF keep their vector lines.
bool CurveColumns::drawsPixels(QPainter &painter)
{
    return painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster
           && painter.transform().type() <= QTransform::TxTranslate;
}

void CurveColumns::fill(QPainter &painter, const QVector<QRect> &columns, const QColor &color)
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

QVector<QRect> CurveColumns::wideColumns(const QVector<QPointF> &points, qreal width)
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

QVector<QPointF> CurveColumns::extremes(const QVector<QPointF> &points)
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

// drawG's, beside the columns: both place the points the same way.
QVector<QPointF> drawG::buildCurvePoints(const Inspection::_Test *test, const QRect &area, int n, float xShift,
                                         int code, int timeScale, int verticalShift)
{
    QVector<QPointF> points;
    points.reserve(qMax(0, qMin(area.width() * timeScale / 1000, n)));
    place(test, area, n, xShift, code, timeScale, verticalShift, 4096, false,
          [&points](float x, float sample, const auto &height, bool) { points.append(QPointF(x, height(sample))); });
    return points;
}

QVector<QPointF> CurveColumns::extremes(const Inspection::_Test *test, const QRect &area, int n, float xShift,
                                        int code, int timeScale, int verticalShift, float scale, bool fit)
{
    QVector<QPointF> kept;
    ColumnFold fold(kept);
    place(test, area, n, xShift, code, timeScale, verticalShift, scale, fit,
          [&fold](float x, float sample, const auto &height, bool last) {
              fold.add(x, sample, height);
              if (last)
                  fold.finish(height);
          });
    return kept;
}
