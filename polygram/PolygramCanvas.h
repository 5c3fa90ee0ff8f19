#pragma once

#include <QWidget>

class CanvasGLSurface;
class QOpenGLPaintDevice;

// A widget whose whole picture comes from paintGL() through the raster
// engine. Where the render path is software it paints straight into the
// window's raster backing store, so nothing in the window needs GL
// composition; with hardware GL an OpenGL child shows the same picture.
class PolygramCanvas : public QWidget
{
    Q_OBJECT
public:
    explicit PolygramCanvas(QWidget *parent = nullptr);

    // Paints the widget's whole picture in logical pixels; the painter may be
    // clipped to what needs repainting. Named as a GL widget's paint: on the
    // hardware path it is the OpenGL child's.
    virtual void paintGL(QPainter &painter) = 0;

    // The picture as shown, in device pixels.
    QImage grabFramebuffer();
    // The OpenGL device of the hardware path; null on the raster path or
    // before the first paint.
    const QOpenGLPaintDevice *glDevice() const;  // for tests

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CanvasGLSurface *m_surface = nullptr;
};
