#pragma once

#include "PersoneDockWindow.h"

#include <QStyledItemDelegate>

class QTreeView;

// Draws and renames the entries of the subject tree: subjects without icon
// and extension, folders in colours by their place in the tree, a comment
// icon where a subject has a pre-test text.
class PersoneDockWindow::_FolderStyledItemDelegate : public QStyledItemDelegate
{
public:
    _FolderStyledItemDelegate(QTreeView *tree, PersoneDockWindow *dock);

    // Entry i of the 512 folder colours.
    static QColor folderColour(int entry);
    // The colour a folder entry takes by its row and depth in the file model.
    static QColor colourOf(const QModelIndex &sourceIndex);

    bool eventFilter(QObject *object, QEvent *event) override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    bool isFolder(const QModelIndex &index) const;
    bool isDataRoot(const QModelIndex &index) const;
    void setGradient(QStyleOptionViewItem *option, const QModelIndex &folder) const;

    QTreeView *m_tree;
    PersoneDockWindow *m_dock;
};
