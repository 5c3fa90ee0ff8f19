#pragma once

#include <QOpenGLWidget>

class PolygramCanvas;
class QOpenGLPaintDevice;

// The hardware path of a PolygramCanvas: an OpenGL child covering it, showing
// the canvas's picture composed by the raster engine (antialiased curves
// through the OpenGL engine cost several times as much).
class CanvasGLSurface : public QOpenGLWidget
{
    Q_OBJECT
public:
    explicit CanvasGLSurface(PolygramCanvas *canvas);
    ~CanvasGLSurface() override;

    const QOpenGLPaintDevice *device() const { return m_device; }

protected:
    void paintGL() override;

private:
    PolygramCanvas *m_canvas;
    QOpenGLPaintDevice *m_device = nullptr;
};
