#include "ActivePopupMenu.h"

#include <QApplication>
#include <QWidget>

quintptr activePopupMenuId = 0;

ActivePopupMenu::ActivePopupMenu(const QWidget *menu)
    : m_previous(activePopupMenuId)
{
    activePopupMenuId = reinterpret_cast<quintptr>(menu);
}

ActivePopupMenu::~ActivePopupMenu()
{
    activePopupMenuId = m_previous;
}

QWidget *ActivePopupMenu::widget()
{
    if (!activePopupMenuId)
        return nullptr;
    // The id is only compared with live widgets, never dereferenced blindly.
    for (QWidget *candidate : QApplication::allWidgets()) {
        if (reinterpret_cast<quintptr>(candidate) == activePopupMenuId)
            return candidate;
    }
    return nullptr;
}
