#include "fancy/FancyMainWindowPrivate.h"

#include "fancy/FancyMainWindow.h"

namespace Fancy {

FancyMainWindowPrivate::FancyMainWindowPrivate()
    : resetLayoutAction(FancyMainWindow::tr("Reset to Default Layout"))
    , autoHideTitleBarsAction(FancyMainWindow::tr("Automatically Hide View Title Bars"))
{
    menuSeparator1.setSeparator(true);
    menuSeparator2.setSeparator(true);
    autoHideTitleBarsAction.setCheckable(true);
    autoHideTitleBarsAction.setChecked(true);
}

}  // namespace Fancy
