#pragma once

#include <QBrush>
#include <QFont>
#include <QLineF>
#include <QPaintEngine>
#include <QPen>
#include <QPolygonF>
#include <QRectF>
#include <QTransform>
#include <QVector>

// What the recording engine saw, in device pixels (the painter's transform applied).
struct RecordedText
{
    QPointF pos;  // left end of the baseline
    QString text;
    QFont font;
    QColor color;
    QTransform transform;  // the painter's at drawing (rotated captions)
};

struct RecordedRect
{
    QRectF rect;
    QBrush brush;
    QPen pen;
};

struct RecordedPolyline
{
    QPolygonF points;
    QPen pen;
    QBrush brush;
    bool closed = false;  // drawn as a polygon rather than a polyline
};

struct RecordedLine
{
    QLineF line;
    QPen pen;
};

struct RecordedImage
{
    QRectF target;
};

// Logs every primitive a QPainter hands it instead of rasterising, so tests can
// check texts, coordinates and colours exactly.
class RecordingPaintEngine : public QPaintEngine
{
public:
    RecordingPaintEngine();

    bool begin(QPaintDevice *device) override;
    bool end() override;
    void updateState(const QPaintEngineState &state) override;
    Type type() const override { return User; }

    void drawRects(const QRectF *rects, int rectCount) override;
    void drawLines(const QLineF *lines, int lineCount) override;
    void drawPolygon(const QPointF *points, int pointCount, PolygonDrawMode mode) override;
    void drawPoints(const QPointF *points, int pointCount) override;
    void drawEllipse(const QRectF &rect) override;
    void drawPath(const QPainterPath &path) override;
    void drawTextItem(const QPointF &p, const QTextItem &textItem) override;
    void drawPixmap(const QRectF &r, const QPixmap &pm, const QRectF &sr) override;
    void drawImage(const QRectF &r, const QImage &pm, const QRectF &sr,
                   Qt::ImageConversionFlags flags = Qt::AutoColor) override;
    void drawTiledPixmap(const QRectF &r, const QPixmap &pixmap, const QPointF &s) override;

    QVector<RecordedText> texts;
    QVector<RecordedRect> rects;
    QVector<RecordedPolyline> polylines;
    QVector<RecordedLine> lines;
    QVector<RecordedImage> images;
    QPainter::RenderHints renderHints;

    void clear();

private:
    void recordPolygon(const QPolygonF &polygon, bool closed);
    void appendText(const QPointF &logicalPos, const QString &text, qreal width, const QFont &font);

    QPen m_pen;
    QBrush m_brush;
    QFont m_font;
    QTransform m_transform;
    QPointF m_textEnd;  // where the last text ended, in the painter's coordinates
};
