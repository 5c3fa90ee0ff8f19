#pragma once

#include <QAction>
#include <QMenu>

// The menu's action of that text; null when it has none.
inline QAction *actionNamed(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

// The action of that text in the menu or any of its submenus; null when none.
inline QAction *actionInMenus(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == text)
            return action;
        if (action->menu()) {
            if (QAction *inner = actionInMenus(action->menu(), text))
                return inner;
        }
    }
    return nullptr;
}
