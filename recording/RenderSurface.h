#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QVector>

class QWindow;

// What changed of the shown frame since the last change: its content moved
// sideways by scroll pixels, then the pieces were drawn over it.
struct FrameChange
{
    struct Piece {
        QPoint at;
        QImage image;
    };
    int scroll = 0;
    QVector<Piece> pieces;

    bool isEmpty() const { return scroll == 0 && pieces.isEmpty(); }
};

// What the live renderer draws on, as it needs it from its own thread: the
// record window in the program, a stand-in in tests.
class RenderSurface
{
public:
    virtual ~RenderSurface() = default;

    // The size to draw at.
    virtual QSize surfaceSize() const = 0;
    // Whether frames are shown with the raster engine rather than through OpenGL.
    virtual bool raster() const = 0;
    // The OpenGL path's window; null on the raster path.
    virtual QWindow *glWindow() = 0;
    // Raster path: shows the change.
    virtual void present(const FrameChange &change) = 0;
    // Raster path: true once after the surface lost what it showed; the next
    // change must then cover all of it.
    virtual bool takeLoss() = 0;
    // A global cursor position in the surface's own coordinates.
    virtual QPoint fromGlobal(const QPoint &global) const = 0;
};
