#include "fancy/FancyMainWindow.h"

#include "fancy/FancyMainWindowPrivate.h"

#include <QContextMenuEvent>
#include <QDockWidget>
#include <QMenu>

#include <algorithm>

namespace Fancy {

FancyMainWindow::FancyMainWindow(QWidget *parent)
    : QMainWindow(parent)
    , d(new FancyMainWindowPrivate)
{
    connect(&d->resetLayoutAction, &QAction::triggered, this, &FancyMainWindow::resetLayout);
}

FancyMainWindow::~FancyMainWindow()
{
    delete d;
}

QList<QDockWidget *> FancyMainWindow::childDocks() const
{
    return findChildren<QDockWidget *>();
}

void FancyMainWindow::fillDockMenu(QMenu *menu)
{
    QList<QAction *> actions;
    for (QDockWidget *dock : childDocks()) {
        if (dock->property("managed_dockwidget").isNull() && dock->parentWidget() == this)
            actions.append(dock->toggleViewAction());
    }
    std::stable_sort(actions.begin(), actions.end(), [](const QAction *a, const QAction *b) {
        return a->text().toLower() < b->text().toLower();
    });
    menu->addActions(actions);
    menu->addAction(&d->menuSeparator1);
    menu->addAction(&d->autoHideTitleBarsAction);
    menu->addAction(&d->menuSeparator2);
    menu->addAction(&d->resetLayoutAction);
}

bool FancyMainWindow::autoHideTitleBars() const
{
    return d->autoHideTitleBarsAction.isChecked();
}

QAction *FancyMainWindow::menuSeparator1() const
{
    return &d->menuSeparator1;
}

QAction *FancyMainWindow::menuSeparator2() const
{
    return &d->menuSeparator2;
}

QAction *FancyMainWindow::resetLayoutAction() const
{
    return &d->resetLayoutAction;
}

QAction *FancyMainWindow::autoHideTitleBarsAction() const
{
    return &d->autoHideTitleBarsAction;
}

QDockWidget *FancyMainWindow::toolBarDock() const
{
    return d->toolBarDock;
}

void FancyMainWindow::setToolBarDock(QDockWidget *dock)
{
    d->toolBarDock = dock;
}

void FancyMainWindow::setDockActionsVisible(bool v)
{
    for (QDockWidget *dock : childDocks())
        dock->toggleViewAction()->setVisible(v);
    d->autoHideTitleBarsAction.setVisible(v);
    d->menuSeparator1.setVisible(v);
    d->menuSeparator2.setVisible(v);
    d->resetLayoutAction.setVisible(v);
}

void FancyMainWindow::onDockActionTriggered()
{
    auto *dock = qobject_cast<QDockWidget *>(sender() ? sender()->parent() : nullptr);
    if (dock && dock->isVisible())
        dock->raise();
}

void FancyMainWindow::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu;
    fillDockMenu(&menu);
    menu.exec(event->globalPos());
}

void FancyMainWindow::showEvent(QShowEvent *)
{
    updateDockVisibility(true);
}

void FancyMainWindow::hideEvent(QHideEvent *)
{
    updateDockVisibility(false);
}

// Floating docks are windows of their own and would stay on screen without their
// work window; docked ones come and go with it anyway.
void FancyMainWindow::updateDockVisibility(bool visible)
{
    for (QDockWidget *dock : childDocks()) {
        if (!dock->isFloating())
            continue;
        if (visible)
            dock->setVisible(dock->property("DockWidgetActiveState").toBool());
        else
            dock->hide();
    }
}

}  // namespace Fancy
