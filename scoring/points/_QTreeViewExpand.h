#pragma once

#include <QTreeView>

// The scoring tree: a left press on a test's name expands the test and opens
// or closes all its rows together; other buttons pressed on an item neither
// select it nor move the current cell (the context menu still opens).
class _QTreeViewExpand : public QTreeView
{
    Q_OBJECT
public:
    using QTreeView::QTreeView;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    // Where a left press opens rows: here the column-0 cell of a test.
    virtual bool isTestName(const QModelIndex &index, const QPoint &pos) const;

private:
    void expandTogether(const QModelIndex &test);
};
