#pragma once

#include <QAction>

class QDockWidget;

namespace Fancy {

// The menu actions of a work window; they have no parent object, this record owns them.
class FancyMainWindowPrivate
{
public:
    FancyMainWindowPrivate();

    QAction menuSeparator1;
    QAction menuSeparator2;
    QAction resetLayoutAction;
    QDockWidget *toolBarDock = nullptr;
    QAction autoHideTitleBarsAction;
};

}  // namespace Fancy
