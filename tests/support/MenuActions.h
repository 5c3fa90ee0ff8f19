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
