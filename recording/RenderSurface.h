#pragma once

#include <QPoint>
#include <QRegion>
#include <QSize>

class QImage;
class QWindow;

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
    // Raster path: shows the changed part of the frame, copied out at once.
    virtual void present(const QImage &frame, const QRegion &changed) = 0;
    // A global cursor position in the surface's own coordinates.
    virtual QPoint fromGlobal(const QPoint &global) const = 0;
};
