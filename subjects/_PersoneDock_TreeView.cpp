#include "_PersoneDock_TreeView.h"

#include <QHelpEvent>
#include <QToolTip>

QRect _PersoneDock_TreeView::commentSquare(const QRect &entry)
{
    const int side = entry.height();
    return QRect(entry.right() - side + 1, entry.top(), side, side);
}

bool _PersoneDock_TreeView::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QTreeView::viewportEvent(event);
    auto *help = static_cast<QHelpEvent *>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString text = index.isValid() ? index.data(Qt::ToolTipRole).toString() : QString();
    if (text.isEmpty() || !commentSquare(visualRect(index)).contains(help->pos())) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
    return true;
}
