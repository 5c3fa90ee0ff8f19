#pragma once

#include <QStyledItemDelegate>

class SpravDockWindow;

// In-place editing of a reference-book tree: the typed text loses its line
// breaks and tabs and reaches the tree only once the book has stored it.
class SpravItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    SpravItemDelegate(SpravDockWindow *dock, QObject *parent);

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

private:
    SpravDockWindow *m_dock;
};
