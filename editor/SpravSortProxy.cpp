#include "SpravSortProxy.h"

SpravSortProxy::SpravSortProxy(QObject *parent)
    : QSortFilterProxyModel(parent)
{
}

bool SpravSortProxy::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const bool leftContainer = left.data(Qt::DecorationRole).isValid();
    const bool rightContainer = right.data(Qt::DecorationRole).isValid();
    if (leftContainer != rightContainer)
        return leftContainer;
    // QString compares UTF-16 code units, not by locale.
    return left.data(Qt::DisplayRole).toString() < right.data(Qt::DisplayRole).toString();
}
