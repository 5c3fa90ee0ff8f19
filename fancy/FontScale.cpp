#include "FontScale.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace Fancy {

namespace {

double s_factor = 1.0;

QRect screenRoom(const QWidget *widget)
{
    const QScreen *screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

}  // namespace

void FontScale::apply(double factor)
{
    QFont scaled = QApplication::font();
    scaled.setPointSizeF(scaled.pointSizeF() * factor);
    QApplication::setFont(scaled);
    s_factor = factor;
}

double FontScale::factor()
{
    return s_factor;
}

int FontScale::px(int pixels)
{
    return s_factor > 1.0 ? int(std::lround(pixels * s_factor)) : pixels;
}

int FontScale::px(int pixels, int limit)
{
    return std::max(pixels, std::min(px(pixels), limit));
}

int FontScale::screenWidth(const QWidget *widget)
{
    return screenRoom(widget).width();
}

int FontScale::screenHeight(const QWidget *widget)
{
    return screenRoom(widget).height();
}

}  // namespace Fancy
