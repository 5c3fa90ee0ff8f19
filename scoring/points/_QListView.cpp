#include "_QListView.h"

#include "QuestKey.h"

#include <QMouseEvent>
#include <QWheelEvent>

_QListView::_QListView(QWidget *parent) : QListView(parent) {}

bool _QListView::hitsCloseSquare(const QRect &rect, const QPoint &pos)
{
    return pos.x() >= rect.right() - (CloseSquare - 1) && pos.x() <= rect.right() && pos.y() >= rect.top()
        && pos.y() < rect.top() + CloseSquare;
}

void _QListView::onResize()
{
    emit notifyResize(false);
}

void _QListView::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->pos());
    if (event->button() == Qt::LeftButton && index.isValid() && hitsCloseSquare(visualRect(index), event->pos())) {
        QuestKey key;
        key.fromJson(index.data(QuestKey::Role).toJsonObject());
        emit notifyCloseQuest(this, key.iTest, key.iGroup, key.iQuest);
        return;
    }
    QListView::mousePressEvent(event);
}

// The row of images lies sideways: the wheel's turn is handed on with its axes
// exchanged, so the horizontal scroll bar takes it.
void _QListView::wheelEvent(QWheelEvent *event)
{
    const QPoint pixels(event->pixelDelta().y(), event->pixelDelta().x());
    const QPoint angle(event->angleDelta().y(), event->angleDelta().x());
    QWheelEvent sideways(event->position(), event->globalPosition(), pixels, angle, event->buttons(),
                         event->modifiers(), event->phase(), event->inverted(), event->source());
    QListView::wheelEvent(&sideways);
    event->setAccepted(sideways.isAccepted());
}

void _QListView::resizeEvent(QResizeEvent *event)
{
    QListView::resizeEvent(event);
    emit notifyResize(false);
}
