#include "WindowLayout.h"

#include "SettingsStore.h"

#include <QMainWindow>
#include <QSettings>

namespace {
QString geometryKey(const QString &suffix) { return QStringLiteral("geo_data") + suffix; }
QString stateKey(const QString &suffix) { return QStringLiteral("layout_data") + suffix; }
}  // namespace

WindowLayout WindowLayout::read(const QSettings &settings, const QString &suffix)
{
    return {settings.value(geometryKey(suffix)).toByteArray(), settings.value(stateKey(suffix)).toByteArray()};
}

void WindowLayout::write(QSettings &settings, const QMainWindow &window, const QString &suffix)
{
    settings.setValue(geometryKey(suffix), window.saveGeometry());
    settings.setValue(stateKey(suffix), window.saveState(0));
}

WindowLayout WindowLayout::load(const QString &group)
{
    auto settings = SettingsStore::open();
    settings->beginGroup(group);
    const WindowLayout layout = read(*settings);
    settings->endGroup();
    return layout;
}

void WindowLayout::save(const QString &group, const QMainWindow &window)
{
    auto settings = SettingsStore::open();
    settings->beginGroup(group);
    write(*settings, window);
    settings->endGroup();
    settings->sync();
}

bool WindowLayout::restore(QMainWindow &window) const
{
    const bool restored = !state.isEmpty() && window.restoreState(state, 0);
    if (!geometry.isEmpty())
        window.restoreGeometry(geometry);
    return restored;
}
