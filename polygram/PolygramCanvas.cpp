#include "PolygramCanvas.h"

#include "CanvasGLSurface.h"
#include "RenderPath.h"

#include <QImage>
#include <QPainter>
#include <QResizeEvent>

PolygramCanvas::PolygramCanvas(QWidget *parent)
    : QWidget(parent)
{
    if (RenderPath::software()) {
        // paintCanvas covers every pixel.
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
    } else {
        m_surface = new CanvasGLSurface(this);
    }
}

QImage PolygramCanvas::grabFramebuffer()
{
    if (m_surface)
        return m_surface->grabFramebuffer();
    QImage picture(size() * devicePixelRatioF(), QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(devicePixelRatioF());
    QPainter painter(&picture);
    paintCanvas(painter);
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
    paintCanvas(painter);
}

void PolygramCanvas::resizeEvent(QResizeEvent *event)
{
    if (m_surface)
        m_surface->resize(event->size());
    QWidget::resizeEvent(event);
}
