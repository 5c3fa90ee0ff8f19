#include "SpravItemDelegate.h"

#include "SpravDockWindow.h"
#include "SpravItems.h"
#include "SpravTreeView.h"

#include <QLineEdit>

SpravItemDelegate::SpravItemDelegate(SpravDockWindow *dock, QObject *parent)
    : QStyledItemDelegate(parent),
      m_dock(dock)
{
}

void SpravItemDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    auto *line = qobject_cast<QLineEdit *>(editor);
    QStandardItem *item = m_dock->itemAt(index);
    if (!line || !item)
        return;
    line->setText(SpravItems::editedText(line->text()));
    if (!m_dock->storeEditedText(item, line->text()))
        return;
    QStyledItemDelegate::setModelData(editor, model, index);
    m_dock->view()->scrollTo(m_dock->view()->currentIndex());
}
