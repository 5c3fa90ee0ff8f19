#include "PersoneSearchDockWindow.h"

#include <QListView>
#include <QStandardItemModel>

PersoneSearchDockWindow::PersoneSearchDockWindow(QWidget *parent)
    : QDockWidget(tr("Найденные обследуемые"), parent), m_list(new QListView)
{
    setObjectName(QStringLiteral("PersoneSearchDockWindow"));
    setStyleSheet(QStringLiteral("QDockWidget { font: bold }"));
    setFeatures(QDockWidget::DockWidgetMovable);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setModel(new QStandardItemModel(m_list));
    setWidget(m_list);
}

void PersoneSearchDockWindow::clearSelection()
{
    m_list->selectionModel()->clear();
}
