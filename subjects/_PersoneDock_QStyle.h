#pragma once

#include "PersoneDockWindow.h"

#include <QProxyStyle>

// The subject tree's branches: grey triangles for folders with entries and
// thin guide lines for the rest.
class PersoneDockWindow::_QStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
};
