#include "_QTreeViewExpand.h"

#include <QMouseEvent>

void _QTreeViewExpand::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->localPos().toPoint();
    const QModelIndex index = indexAt(pos);
    if (!index.isValid()) {
        QTreeView::mousePressEvent(event);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (isTestName(index, pos)) {
        expandTogether(index);
        return;
    }
    QTreeView::mousePressEvent(event);
}

bool _QTreeViewExpand::isTestName(const QModelIndex &index, const QPoint &pos) const
{
    return !index.parent().isValid() && index.column() == 0 && visualRect(index).contains(pos);
}

// Opens the test; its rows all open when none is open, else all close.
void _QTreeViewExpand::expandTogether(const QModelIndex &test)
{
    const int rows = model()->rowCount(test);
    if (rows == 0)
        return;
    expand(test);
    bool anyOpen = false;
    for (int row = 0; row < rows && !anyOpen; ++row)
        anyOpen = isExpanded(model()->index(row, 0, test));
    for (int row = 0; row < rows; ++row)
        setExpanded(model()->index(row, 0, test), !anyOpen);
}
