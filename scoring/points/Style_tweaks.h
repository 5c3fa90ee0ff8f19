#pragma once

#include <QProxyStyle>

// The application style without focus rectangles, for the scoring tree.
class Style_tweaks : public QProxyStyle
{
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
};
