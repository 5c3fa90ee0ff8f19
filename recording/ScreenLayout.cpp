#include "ScreenLayout.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
std::function<QRect(int)> &source()
{
    static std::function<QRect(int)> replaced;
    return replaced;
}

QRect screenGeometry(int index)
{
    if (source())
        return source()(index);
    const QList<QScreen *> screens = QGuiApplication::screens();
    return index < screens.size() ? screens.at(index)->geometry() : QRect();
}
}  // namespace

QRect ScreenLayout::secondScreen() { return screenGeometry(1); }

QRect ScreenLayout::firstScreen() { return screenGeometry(0); }

QScreen *ScreenLayout::secondScreenHandle() { return source() ? nullptr : QGuiApplication::screens().value(1); }

void ScreenLayout::replace(std::function<QRect(int)> replacement) { source() = std::move(replacement); }
