#pragma once

#include <QTreeView>

// The subject tree. A subject's tool tip shows only over the square at the
// right end of its row, where the comment icon is drawn.
class _PersoneDock_TreeView : public QTreeView
{
    Q_OBJECT
public:
    using QTreeView::QTreeView;

    // The square at the right end of an entry's rectangle, as wide as the row is high.
    static QRect commentSquare(const QRect &entry);

protected:
    bool viewportEvent(QEvent *event) override;
};
