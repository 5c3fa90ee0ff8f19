#include "ContextPoligrammeWidget.h"

#include "SweepTable.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QWheelEvent>

ContextPoligrammeWidget::ContextPoligrammeWidget(QWidget *parent)
    : PolygramCanvas(parent)
{
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
    // Only the box moves: the squeezed test under it stays.
    const QRect before = m_picture.visibleBox(size());
    m_picture.position = ipos;
    update(QRegion(before.adjusted(-1, -1, 1, 1)) + m_picture.visibleBox(size()).adjusted(-1, -1, 1, 1));
}

void ContextPoligrammeWidget::paintGL(QPainter &painter)
{
    m_picture.scrollBarExtent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    m_picture.paint(painter, size());
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
    return PolygramCanvas::event(e);
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
