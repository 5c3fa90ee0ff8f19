#include "PolygramCanvas.h"

#include "CanvasGLSurface.h"
#include "RenderPath.h"

#include <QImage>
#include <QPainter>
#include <QVBoxLayout>

PolygramCanvas::PolygramCanvas(QWidget *parent)
    : QWidget(parent)
{
    if (RenderPath::software()) {
        // paintGL covers every pixel.
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
    } else {
        // A layout keeps the surface on the canvas even where a subclass
        // swallows the canvas's own events.
        m_surface = new CanvasGLSurface(this);
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_surface);
    }
}

QImage PolygramCanvas::grabFramebuffer()
{
    if (m_surface)
        return m_surface->grabFramebuffer();
    QImage picture(size() * devicePixelRatioF(), QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(devicePixelRatioF());
    QPainter painter(&picture);
    paintGL(painter);
    return picture;
}

const QOpenGLPaintDevice *PolygramCanvas::glDevice() const
{
    return m_surface ? m_surface->device() : nullptr;
}

void PolygramCanvas::paintEvent(QPaintEvent *)
{
    // With an OpenGL surface over the whole widget there is nothing of its own to paint.
    if (m_surface)
        return;
    QPainter painter(this);
    paintGL(painter);
}
