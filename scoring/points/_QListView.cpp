#include "_QListView.h"

#include "QuestKey.h"

#include <QMouseEvent>
#include <QPixmap>
#include <QStyle>
#include <QWheelEvent>

_QListView::_QListView(QWidget *parent) : QListView(parent) {}

bool _QListView::hitsCloseSquare(const QRect &rect, const QPoint &pos)
{
    return pos.x() >= rect.right() - (CloseSquare - 1) && pos.x() <= rect.right() && pos.y() >= rect.top()
        && pos.y() < rect.top() + CloseSquare;
}

// As the item delegate places the picture inside the item's rectangle.
QRect _QListView::imageRect(const QModelIndex &index) const
{
    QStyleOptionViewItem option = viewOptions();
    option.rect = visualRect(index);
    option.index = index;
    option.features |= QStyleOptionViewItem::HasDecoration;
    option.decorationSize = index.data(Qt::DecorationRole).value<QPixmap>().size();
    return style()->subElementRect(QStyle::SE_ItemViewItemDecoration, &option, this);
}

void _QListView::onResize()
{
    emit notifyResize(false);
}

void _QListView::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->pos());
    if (event->button() == Qt::LeftButton && index.isValid() && hitsCloseSquare(imageRect(index), event->pos())) {
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
