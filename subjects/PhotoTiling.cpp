#include "PhotoTiling.h"

#include <QPainter>

#include <algorithm>

namespace PhotoTiling {

namespace {
constexpr int WidthStep = 10;
constexpr int SmallestWidth = 50;
}  // namespace

// Tries every column count and, for each, narrower and narrower cells, keeping
// the widest that still fits the rows the photos need.
QSize cellSize(int count, double aspect, QSize area)
{
    if (count == 1)
        return area;
    int best = 0;
    int rows = 1;
    for (int cols = count; cols >= 1; --cols) {
        for (double w = double(area.width()) / cols; w > SmallestWidth; w -= WidthStep) {
            if (cols * w > area.width())
                continue;
            const int c = std::max(int(w), best);
            if (c / aspect * rows <= area.height())
                best = c;
        }
        if (cols * rows - count < rows)
            ++rows;
    }
    return QSize(best, int(best / aspect));
}

QImage tiled(const QVector<QImage> &photos, QSize area)
{
    if (photos.isEmpty() || area.isEmpty() || photos.first().isNull() || photos.first().height() == 0)
        return QImage();
    const double aspect = double(photos.first().width()) / photos.first().height();
    const QSize cell = cellSize(photos.size(), aspect, area);
    if (cell.isEmpty())
        return QImage();
    QImage canvas(area, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.setPen(Qt::black);
    int column = 0;
    int row = 0;
    for (const QImage &photo : photos) {
        if (photo.isNull())
            continue;
        const QImage scaled = photo.scaled(cell, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (scaled.isNull())
            continue;
        const QPoint at(column * scaled.width(), row * scaled.height());
        painter.drawImage(at, scaled);
        painter.drawRect(QRect(at, scaled.size()).adjusted(0, 0, -1, -1));
        if (area.width() < (column + 2) * scaled.width()) {
            ++row;
            column = 0;
        } else {
            ++column;
        }
    }
    return canvas;
}

}  // namespace PhotoTiling
