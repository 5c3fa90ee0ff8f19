#include "PersoneLinkDockWindow.h"

#include <QListView>
#include <QStandardItemModel>

PersoneLinkDockWindow::PersoneLinkDockWindow(QWidget *parent)
    : QDockWidget(tr("Ярлыки выбранных обследуемых"), parent), m_list(new QListView)
{
    setObjectName(QStringLiteral("PersoneLinkDockWindow"));
    setStyleSheet(QStringLiteral("QDockWidget { font: bold }"));
    setFeatures(QDockWidget::DockWidgetMovable);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setModel(new QStandardItemModel(m_list));
    setWidget(m_list);
}

void PersoneLinkDockWindow::clearSelection()
{
    m_list->selectionModel()->clear();
}

void PersoneLinkDockWindow::onCreatePersoneLinkAndVerify(QString file)
{
    Q_UNUSED(file);
}
