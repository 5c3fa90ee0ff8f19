#include "PersoneSearchDockWindow.h"

#include <QListView>
#include <QStandardItemModel>

PersoneSearchDockWindow::PersoneSearchDockWindow(QWidget *parent)
    : QDockWidget(tr("Найденные обследуемые"), parent)
{
    setObjectName(QStringLiteral("PersoneSearchDockWindow"));
    setStyleSheet(QStringLiteral("QDockWidget { font: bold }"));
    setFeatures(QDockWidget::DockWidgetMovable);
    auto *list = new QListView;
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setModel(new QStandardItemModel(list));
    setWidget(list);
}
