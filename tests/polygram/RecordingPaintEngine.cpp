#include "RecordingPaintEngine.h"

#include <QPainterPath>

RecordingPaintEngine::RecordingPaintEngine()
    : QPaintEngine(AllFeatures)
{
}

bool RecordingPaintEngine::begin(QPaintDevice *)
{
    m_pen = QPen();
    m_brush = QBrush();
    m_transform = QTransform();
    return true;
}

bool RecordingPaintEngine::end()
{
    return true;
}

void RecordingPaintEngine::updateState(const QPaintEngineState &state)
{
    const DirtyFlags dirty = state.state();
    if (dirty & DirtyPen)
        m_pen = state.pen();
    if (dirty & DirtyBrush)
        m_brush = state.brush();
    if (dirty & DirtyFont)
        m_font = state.font();
    if (dirty & DirtyTransform)
        m_transform = state.transform();
    if (dirty & DirtyHints)
        renderHints = state.renderHints();
}

void RecordingPaintEngine::clear()
{
    texts.clear();
    rects.clear();
    polylines.clear();
    lines.clear();
    images.clear();
}

void RecordingPaintEngine::drawRects(const QRectF *r, int rectCount)
{
    for (int i = 0; i < rectCount; ++i)
        rects.append({m_transform.mapRect(r[i]), m_brush, m_pen});
}

void RecordingPaintEngine::drawLines(const QLineF *l, int lineCount)
{
    for (int i = 0; i < lineCount; ++i)
        lines.append({m_transform.map(l[i]), m_pen});
}

void RecordingPaintEngine::drawPolygon(const QPointF *points, int pointCount, PolygonDrawMode mode)
{
    QPolygonF polygon(pointCount);
    std::copy(points, points + pointCount, polygon.begin());
    recordPolygon(polygon, mode != PolylineMode);
}

void RecordingPaintEngine::drawPoints(const QPointF *points, int pointCount)
{
    for (int i = 0; i < pointCount; ++i)
        lines.append({m_transform.map(QLineF(points[i], points[i])), m_pen});
}

void RecordingPaintEngine::drawEllipse(const QRectF &rect)
{
    QPainterPath path;
    path.addEllipse(rect);
    drawPath(path);
}

void RecordingPaintEngine::drawPath(const QPainterPath &path)
{
    for (const QPolygonF &polygon : path.toSubpathPolygons())
        recordPolygon(polygon, polygon.isClosed());
}

void RecordingPaintEngine::recordPolygon(const QPolygonF &polygon, bool closed)
{
    polylines.append({m_transform.map(polygon), m_pen, m_brush, closed});
}

// QPainter hands a string over in pieces of one script each ("III.05" and "К");
// a piece that starts where the last one ended, drawn alike, continues it.
void RecordingPaintEngine::appendText(const QPointF &logicalPos, const QString &text, qreal width, const QFont &font)
{
    const QColor color = m_pen.color();
    if (!texts.isEmpty()) {
        RecordedText &last = texts.last();
        const bool continues = (logicalPos - m_textEnd).manhattanLength() < 0.01
            && last.transform == m_transform && last.font == font && last.color == color;
        if (continues) {
            last.text += text;
            m_textEnd.rx() += width;
            return;
        }
    }
    texts.append({m_transform.map(logicalPos), text, font, color, m_transform});
    m_textEnd = logicalPos + QPointF(width, 0);
}

void RecordingPaintEngine::drawTextItem(const QPointF &p, const QTextItem &textItem)
{
    appendText(p, textItem.text(), textItem.width(), textItem.font());
}

void RecordingPaintEngine::drawPixmap(const QRectF &r, const QPixmap &, const QRectF &)
{
    images.append({m_transform.mapRect(r)});
}

void RecordingPaintEngine::drawImage(const QRectF &r, const QImage &, const QRectF &, Qt::ImageConversionFlags)
{
    images.append({m_transform.mapRect(r)});
}

void RecordingPaintEngine::drawTiledPixmap(const QRectF &r, const QPixmap &, const QPointF &)
{
    images.append({m_transform.mapRect(r)});
}
