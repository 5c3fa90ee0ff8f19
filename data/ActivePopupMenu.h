#pragma once

#include <QtGlobal>

class QWidget;

// The pop-up menu being executed, 0 when none: windows set it around their
// pop-up menus, and the Escape key and the points window's docks stay inactive
// while it names a menu.
extern quintptr activePopupMenuId;

// Marks a menu as the executing pop-up for the guard's lifetime.
class ActivePopupMenu
{
public:
    explicit ActivePopupMenu(const QWidget *menu);
    ~ActivePopupMenu();
    ActivePopupMenu(const ActivePopupMenu &) = delete;
    ActivePopupMenu &operator=(const ActivePopupMenu &) = delete;

    // The widget named by activePopupMenuId while it still exists, else null.
    static QWidget *widget();

private:
    quintptr m_previous;
};
