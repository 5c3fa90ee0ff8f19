#pragma once

#include <QStyledItemDelegate>

// Edits key and folder names without "/", TAB or line breaks: a "/" would make
// new folders of the name and a TAB or line break would make its line unreadable.
class _TagNameDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
};
