#pragma once

#include <QVector>

#include <functional>

class QAction;
class QMenu;
class QObject;

// The submenus of image height and time scale that the fragment views offer:
// one exclusive, checkable action per value, the current one checked; a
// choice calls choose with its value.
void addScaleMenu(QMenu *menu, const QVector<int> &values, int current, QObject *receiver,
                  const std::function<void(int)> &choose);
void addUnfoldMenu(QMenu *menu, const QVector<int> &values, int current, QObject *receiver,
                   const std::function<void(int)> &choose);
// A checkable action showing a flag; triggering it calls toggle.
QAction *addFlagAction(QMenu *menu, const QString &text, bool checked, QObject *receiver,
                       const std::function<void()> &toggle);
