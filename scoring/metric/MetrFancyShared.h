#pragma once

// What the files of the metric window share about its results tree.

#include <QModelIndex>

namespace MetrFancy {

// The role of a cell's key.
constexpr int kUidRole = Qt::UserRole + 1;

// Columns before the first parameter: name, sum, t, probability.
constexpr int kFirstParamColumn = 4;

// The picture's scales offered, in percent.
const int kScales[] = {100, 80, 60, 40, 20};

// The test's index in the examination, carried by the top-level row of the index.
inline int testIndexOf(const QModelIndex &index)
{
    if (!index.isValid())
        return -1;
    QModelIndex top = index;
    while (top.parent().isValid())
        top = top.parent();
    bool isNumber = false;
    const int test = top.siblingAtColumn(0).data(kUidRole).toInt(&isNumber);
    return isNumber ? test : -1;
}

} // namespace MetrFancy
