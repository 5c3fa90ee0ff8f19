#include "ContextPoligrammeWidget.h"

#include "SweepTable.h"

#include <QMouseEvent>
#include <QOpenGLPaintDevice>
#include <QPainter>
#include <QStyle>
#include <QWheelEvent>

ContextPoligrammeWidget::ContextPoligrammeWidget(QWidget *parent)
    : QOpenGLWidget(parent)
{
}

ContextPoligrammeWidget::~ContextPoligrammeWidget()
{
    // The device's resources belong to this widget's context.
    if (!m_device)
        return;
    makeCurrent();
    delete m_device;
    doneCurrent();
}

void ContextPoligrammeWidget::setTest(Inspection::_Test *test)
{
    m_picture.test = test;
    m_picture.position = 0;
    update();
}

void ContextPoligrammeWidget::onChangeUnfold(int iSel)
{
    m_picture.sweep = SweepTable::sweep(iSel);
    update();
}

void ContextPoligrammeWidget::onUpdatePositionFromView(int ipos)
{
    m_picture.position = ipos;
    update();
}

void ContextPoligrammeWidget::paintGL()
{
    const qreal ratio = devicePixelRatioF();
    const QSize deviceSize = size() * ratio;
    if (!m_device || m_device->size() != deviceSize) {
        delete m_device;
        m_device = new QOpenGLPaintDevice(deviceSize);
        m_device->setDevicePixelRatio(ratio);
    }
    m_picture.scrollBarExtent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    // Composed by the raster engine: the OpenGL one puts aliased one-pixel
    // outlines a pixel to the left of where the box and frame belong.
    QImage picture(deviceSize, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    {
        QPainter composer(&picture);
        m_picture.paint(composer, size());
    }
    QPainter painter(m_device);
    painter.drawImage(QPoint(0, 0), picture);
}

bool ContextPoligrammeWidget::event(QEvent *e)
{
    if (!isVisible())
        return true;
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        if (m_picture.test)
            startDrag(static_cast<QMouseEvent *>(e)->localPos());
        break;
    case QEvent::MouseButtonRelease:
        endDrag();
        break;
    case QEvent::MouseMove:
        if (m_picture.test && m_dragging) {
            const int x = int(static_cast<QMouseEvent *>(e)->localPos().x());
            emit updatePositionFromContext(m_picture.tickAt(x - m_grabOffset, width()));
        }
        break;
    default:
        break;
    }
    return QOpenGLWidget::event(e);
}

void ContextPoligrammeWidget::wheelEvent(QWheelEvent *e)
{
    emit updatePositionFromContextWeel(-e->angleDelta().y());
}

void ContextPoligrammeWidget::startDrag(const QPointF &point)
{
    const QPoint at(int(point.x()), int(point.y()));
    const QRect box = m_picture.visibleBox(size());
    if (!box.contains(at))
        return;
    m_dragging = true;
    m_grabOffset = at.x() - box.left();
    grabKeyboard();
}

void ContextPoligrammeWidget::endDrag()
{
    m_dragging = false;
    m_grabOffset = -1;
    releaseKeyboard();
}
