#include "SpravTreeView.h"

#include "SpravDockWindow.h"
#include "SpravItems.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>
#include <QStandardItemModel>

SpravTreeView::SpravTreeView(SpravDockWindow *dock, const DragLook &look)
    : m_dock(dock),
      m_look(look)
{
    setDragDropOverwriteMode(false);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setHeaderHidden(true);
    setSortingEnabled(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

QMimeData *SpravTreeView::prepareDrag()
{
    QStandardItem *item = selectionModel() ? m_dock->itemAt(selectionModel()->currentIndex()) : nullptr;
    if (!item || SpravItems::isContainer(item))
        return nullptr;
    QMimeData *data = m_dock->dragData(item);
    m_ownDrag = data;
    m_dragSource = data ? QPersistentModelIndex(item->index()) : QPersistentModelIndex();
    return data;
}

bool SpravTreeView::isOwnDrag(const QDropEvent *event) const
{
    return m_ownDrag && event->mimeData() == m_ownDrag.data();
}

QPixmap SpravTreeView::dragPixmap(const QModelIndex &index) const
{
    QStyleOptionViewItem option = viewOptions();
    const QSize size = itemDelegate()->sizeHint(option, index);
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setFont(font());
    painter.setPen(index.data(Qt::ForegroundRole).value<QBrush>().color());
    painter.drawText(pixmap.rect(), Qt::AlignLeft | Qt::AlignVCenter, index.data().toString());
    return pixmap;
}

QPixmap SpravTreeView::cursorPixmap(Qt::DropAction action, int height) const
{
    const bool move = action == Qt::MoveAction;
    QPixmap pixmap(120, qMax(height, 1));
    pixmap.fill(move ? Qt::cyan : Qt::white);
    QPainter painter(&pixmap);
    painter.setFont(font());
    painter.setPen(Qt::black);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, move ? m_look.moveText : m_look.copyText);
    return pixmap;
}

void SpravTreeView::startDrag(Qt::DropActions supportedActions)
{
    Q_UNUSED(supportedActions);
    QMimeData *data = prepareDrag();
    if (!data)
        return;
    const QPixmap picture = dragPixmap(selectionModel()->currentIndex());
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(picture);
    drag->setDragCursor(cursorPixmap(Qt::CopyAction, picture.height()), Qt::CopyAction);
    drag->setDragCursor(cursorPixmap(Qt::MoveAction, picture.height()), Qt::MoveAction);
    const int hotY = m_look.centredHotSpot ? picture.height() / 2 : picture.height();
    drag->setHotSpot(QPoint(picture.width() / 2, hotY));
    // The drop side stores and removes; nothing is left to do here.
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
}

QStandardItem *SpravTreeView::containerAt(const QPointF &pos) const
{
    QStandardItem *item = m_dock->itemAt(indexAt(pos.toPoint()));
    return item && SpravItems::isContainer(item) ? item : nullptr;
}

void SpravTreeView::setDropFrame(const QRect &frame)
{
    m_dropFrame = frame;
    viewport()->update();
}

void SpravTreeView::dragEnterEvent(QDragEnterEvent *event)
{
    if (!m_dock->acceptsDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(isOwnDrag(event) ? Qt::MoveAction : Qt::CopyAction);
    event->accept();
}

void SpravTreeView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!m_dock->acceptsDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    const QModelIndex index = indexAt(event->posF().toPoint());
    // The base view scrolls and, knowing none of these formats, refuses the drop.
    QTreeView::dragMoveEvent(event);
    if (containerAt(event->posF())) {
        setDropFrame(visualRect(index));
        event->setDropAction(isOwnDrag(event) ? Qt::MoveAction : Qt::CopyAction);
        event->accept();
    } else {
        setDropFrame(QRect());
    }
}

void SpravTreeView::dragLeaveEvent(QDragLeaveEvent *event)
{
    setDropFrame(QRect());
    QTreeView::dragLeaveEvent(event);
}

void SpravTreeView::dropEvent(QDropEvent *event)
{
    setDropFrame(QRect());
    QStandardItem *target = containerAt(event->posF());
    if (!m_dock->acceptsDrop(event->mimeData()) || !target) {
        event->ignore();
        return;
    }
    const bool move = isOwnDrag(event);
    // A refill since the drag began leaves no source row to remove.
    const bool sourceShown = m_dragSource.isValid() && m_dragSource.model() == m_dock->model();
    QStandardItem *source = move && sourceShown ? m_dock->model()->itemFromIndex(m_dragSource) : nullptr;
    event->setDropAction(move ? Qt::MoveAction : Qt::CopyAction);
    event->accept();
    m_dock->dropData(target, event->mimeData(), source);
}

void SpravTreeView::paintEvent(QPaintEvent *event)
{
    QTreeView::paintEvent(event);
    if (m_dropFrame.isNull())
        return;
    QPainter painter(viewport());
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    for (int inset = 1; inset <= 3; ++inset)
        painter.drawRect(m_dropFrame.adjusted(inset, inset, -inset, -inset));
}
