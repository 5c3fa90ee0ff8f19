#pragma once

#include <QByteArray>
#include <QString>

class QMainWindow;
class QSettings;

// A window's geometry and dock state as the store keeps them: keys
// "geo_data" and "layout_data" (with a suffix where one group holds a
// second window's) under the window's group.
struct WindowLayout {
    QByteArray geometry;
    QByteArray state;

    // The layout in the group settings stands in.
    static WindowLayout read(const QSettings &settings, const QString &suffix = QString());
    static void write(QSettings &settings, const QMainWindow &window, const QString &suffix = QString());
    // Opens the store, reads or writes the group's layout, and (on writing) syncs.
    static WindowLayout load(const QString &group);
    static void save(const QString &group, const QMainWindow &window);

    // The dock state, then the geometry, each where one is kept; true when the state was taken.
    bool restore(QMainWindow &window) const;
};
