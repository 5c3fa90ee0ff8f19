#pragma once

#include <QColor>
#include <QIcon>
#include <QStyle>

class QPainter;
class QPoint;
class QRect;
class QStyleOption;

namespace Fancy {

// Look of the mode selector and the action bar: the panel colour and the
// colours derived from it, the caption font size, and cached pictures (panel
// gradient, icons with a drop shadow, arrows) kept in QPixmapCache.
class PanelStyle
{
public:
    PanelStyle() = delete;

    static qreal tabFontSize();

    static QColor panelColor(bool light);
    static QColor panelHighlight(bool light);
    static QColor panelShadow(bool light);
    static QColor panelBorder(bool light);

    static void setPanelColor(const QColor &colour);
    static QColor requestedPanelColor();

    static void paintVerticalGradient(QPainter *painter, const QRect &spanRect, const QRect &clipRect,
                                      bool light);
    static void paintIconWithShadow(const QIcon &icon, const QRect &rect, QPainter *painter, QIcon::Mode mode,
                                    int radius, const QColor &colour, const QPoint &offset);
    static void paintArrow(QStyle::PrimitiveElement element, QPainter *painter, const QStyleOption *option);

    // Cache keys, exposed so a caller can tell what a repaint will reuse.
    static QString verticalGradientKey(const QRect &spanRect, const QRect &clipRect, bool light);
    static QString iconShadowKey(const QIcon &icon, QIcon::Mode mode, int height);
    static QString arrowKey(QStyle::PrimitiveElement element, const QStyleOption *option, int size, int ratio);
};

} // namespace Fancy
