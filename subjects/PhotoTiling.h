#pragma once

#include <QImage>
#include <QSize>
#include <QVector>

// How the pre-test dock lays the subject's photos over its area: one cell size
// for all, found from the first photo's aspect ratio, filled row by row.
namespace PhotoTiling {

// The cell of count photos of the given width-to-height ratio in area; a
// single photo gets the whole area.
QSize cellSize(int count, double aspect, QSize area);
// The photos on a white canvas of size area, each scaled into the cell and
// framed in black; null when there is nothing to draw (no photo, an empty
// first photo or area).
QImage tiled(const QVector<QImage> &photos, QSize area);

}  // namespace PhotoTiling
