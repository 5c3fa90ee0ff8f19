#include "fancy/CustomStyle.h"

#include "fancy/ImageGroupBoxOption.h"

#include <QPainter>

namespace Fancy {

namespace {

// Only an option built as ImageGroupBoxOption has the picture fields behind it.
const ImageGroupBoxOption *imageGroupBoxOption(const QStyleOptionComplex *option)
{
    if (option && option->type == QStyleOption::SO_GroupBox && option->version == ImageGroupBoxOption::Version)
        return static_cast<const ImageGroupBoxOption *>(option);
    return nullptr;
}

} // namespace

_CustomStyle::~_CustomStyle() = default;

void _CustomStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                                      const QWidget *widget) const
{
    if (const ImageGroupBoxOption *imageOption = imageGroupBoxOption(option))
        drawPictureGroupBox(imageOption, painter, widget);
    else
        QCommonStyle::drawComplexControl(control, option, painter, widget);
}

void _CustomStyle::drawPictureGroupBox(const ImageGroupBoxOption *option, QPainter *painter,
                                       const QWidget *widget) const
{
    QRect textRect = proxy()->subControlRect(CC_GroupBox, option, SC_GroupBoxLabel, widget);
    const bool withPicture = !option->picture.isNull();
    const int blockWidth = option->pictureSpaceBefore + option->picture.width() + option->pictureSpaceAfter;
    if (withPicture)
        textRect.translate(option->pictureX + blockWidth, 0);

    if (option->subControls & SC_GroupBoxFrame)
        drawFrame(option, textRect, painter, widget);

    if (withPicture) {
        // The block covers the frame line behind the picture.
        const QRect block(option->pictureX, 0, blockWidth, option->picture.height());
        painter->fillRect(block, option->palette.window().color());
        proxy()->drawItemPixmap(painter, block, Qt::AlignCenter, option->picture);
    }

    if ((option->subControls & SC_GroupBoxLabel) && !option->text.isEmpty())
        drawTitle(option, textRect, painter, widget);
}

void _CustomStyle::drawFrame(const ImageGroupBoxOption *option, const QRect &textRect, QPainter *painter,
                             const QWidget *widget) const
{
    QStyleOptionFrame frame;
    frame.QStyleOption::operator=(*option);
    frame.features = option->features;
    frame.lineWidth = option->lineWidth;
    frame.midLineWidth = option->midLineWidth;
    frame.rect = proxy()->subControlRect(CC_GroupBox, option, SC_GroupBoxFrame, widget);

    painter->save();
    QRegion region(option->rect);
    if (!option->text.isEmpty()) {
        QRect title = textRect;
        if (option->subControls & SC_GroupBoxCheckBox) {
            const QRect checkBoxRect = proxy()->subControlRect(CC_GroupBox, option, SC_GroupBoxCheckBox, widget);
            const bool leftToRight = option->direction == Qt::LeftToRight;
            title = checkBoxRect.united(textRect).adjusted(leftToRight ? -4 : 0, 0, leftToRight ? 0 : 4, 0);
        }
        region -= title;
    }
    painter->setClipRegion(region);
    proxy()->drawPrimitive(PE_FrameGroupBox, &frame, painter, widget);
    painter->restore();
}

void _CustomStyle::drawTitle(const ImageGroupBoxOption *option, const QRect &textRect, QPainter *painter,
                             const QWidget *widget) const
{
    const QColor textColor = option->textColor;
    if (textColor.isValid())
        painter->setPen(textColor);
    int alignment = int(option->textAlignment);
    if (!proxy()->styleHint(SH_UnderlineShortcut, option, widget))
        alignment |= Qt::TextHideMnemonic;
    proxy()->drawItemText(painter, textRect, Qt::TextShowMnemonic | Qt::AlignHCenter | alignment, option->palette,
                          option->state & State_Enabled, option->text,
                          textColor.isValid() ? QPalette::NoRole : QPalette::WindowText);
    if (option->state & State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(*option);
        focus.rect = textRect;
        proxy()->drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
    }
}

} // namespace Fancy
