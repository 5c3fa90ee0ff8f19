#pragma once

#include <QCommonStyle>

namespace Fancy {

struct ImageGroupBoxOption;

// Draws a group box whose title is preceded by a picture, for an
// ImageGroupBoxOption; every other option is drawn as the common style does.
// Used on the stack by a widget's paintEvent, never installed.
class _CustomStyle : public QCommonStyle
{
public:
    ~_CustomStyle() override;

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget = nullptr) const override;

private:
    void drawPictureGroupBox(const ImageGroupBoxOption *option, QPainter *painter, const QWidget *widget) const;
    void drawFrame(const ImageGroupBoxOption *option, const QRect &textRect, QPainter *painter,
                   const QWidget *widget) const;
    void drawTitle(const ImageGroupBoxOption *option, const QRect &textRect, QPainter *painter,
                   const QWidget *widget) const;
};

} // namespace Fancy
