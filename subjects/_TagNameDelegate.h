#pragma once

#include <QStyledItemDelegate>

// Edits key and folder names without "/", TAB or line breaks: a "/" would make
// new folders of the name and a TAB or line break would make its line unreadable.
// A blank name is refused with a message and the old one kept.
class _TagNameDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
};
