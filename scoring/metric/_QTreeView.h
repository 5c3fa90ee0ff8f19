#pragma once

#include "scoring/points/_QTreeViewExpand.h"

// The metric results tree: a left press on the name of any row with rows
// under it opens it and opens or closes those rows together.
class _QTreeView : public _QTreeViewExpand
{
    Q_OBJECT
public:
    using _QTreeViewExpand::_QTreeViewExpand;
    ~_QTreeView() override;

protected:
    bool isTestName(const QModelIndex &index, const QPoint &pos) const override;
};
