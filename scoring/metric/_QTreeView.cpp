#include "_QTreeView.h"

_QTreeView::~_QTreeView() = default;

bool _QTreeView::isTestName(const QModelIndex &index, const QPoint &pos) const
{
    return index.column() == 0 && visualRect(index).contains(pos);
}
