#pragma once

#include "data/Inspection.h"

#include <QColor>
#include <QPointF>
#include <QRect>
#include <QVector>

class QPainter;

// How a channel's curve becomes pixels: each pixel column's extremes of the
// curve's points (drawG::buildCurvePoints places them beside these), and the
// columns a wide pen covers, filled straight into an image where the painter
// allows. A curve ends at tick n on
// the area's right edge, moved left by xShift; timeScale is ticks per 1000
// pixels and scale the sample range the area's height shows.
class CurveColumns
{
public:
    // Each pixel column's run of points cut to those that change what it
    // shows: the first, the lowest, the highest and the last, in order.
    static QVector<QPointF> extremes(const QVector<QPointF> &points);
    // extremes of the curve's points (drawG::buildCurvePoints at that scale)
    // in one pass over the samples: an overview of hours is drawn without a
    // point for each sample.
    static QVector<QPointF> extremes(const Inspection::_Test *test, const QRect &area, int n, float xShift, int code,
                                     int timeScale, int verticalShift, float scale, bool fit);
    // The pixel columns a polyline covers when drawn with a pen width pixels
    // wide, one rectangle a column.
    static QVector<QRect> wideColumns(const QVector<QPointF> &points, qreal width);
    // Fills the rectangles with an opaque colour, unantialiased; straight into
    // the image's pixels where the painter draws on one without clipping.
    static void fill(QPainter &painter, const QVector<QRect> &columns, const QColor &color);
    // Whether the painter ends in pixels unscaled, where columns pay off.
    static bool drawsPixels(QPainter &painter);
};
