#include "CanvasGLSurface.h"

#include "PolygramCanvas.h"

#include <QImage>
#include <QOpenGLPaintDevice>
#include <QPainter>

CanvasGLSurface::CanvasGLSurface(PolygramCanvas *canvas)
    : QOpenGLWidget(canvas)
    , m_canvas(canvas)
{
    // The canvas takes the input and the cursor.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

CanvasGLSurface::~CanvasGLSurface()
{
    // The device's resources belong to this widget's context.
    if (!m_device)
        return;
    makeCurrent();
    delete m_device;
    doneCurrent();
}

void CanvasGLSurface::paintGL()
{
    const qreal ratio = devicePixelRatioF();
    const QSize deviceSize = size() * ratio;
    if (!m_device || m_device->size() != deviceSize) {
        delete m_device;
        m_device = new QOpenGLPaintDevice(deviceSize);
        m_device->setDevicePixelRatio(ratio);
    }
    QImage picture(deviceSize, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    {
        QPainter composer(&picture);
        m_canvas->paintGL(composer);
    }
    QPainter painter(m_device);
    painter.drawImage(QPoint(0, 0), picture);
}
