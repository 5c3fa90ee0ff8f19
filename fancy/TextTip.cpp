#include "fancy/TextTip.h"

#include "fancy/ToolTip.h"

#include <QScreen>
#include <QStyleOptionFrame>
#include <QStylePainter>

#include <algorithm>

namespace Fancy {

TextTip::TextTip(QWidget *parent)
    : QTipLabel(parent)
{
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    ensurePolished();
    setMargin(1 + style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth, nullptr, this));
    setFrameStyle(QFrame::NoFrame);
    setAlignment(Qt::AlignLeft);
    setIndent(1);
    setWindowOpacity(style()->styleHint(QStyle::SH_ToolTipLabel_Opacity, nullptr, this) / 255.0);
}

void TextTip::setTipContent(const QVariant &content)
{
    text = content.toString();
}

bool TextTip::takesInput() const
{
    return false;
}

int TextTip::displayTimeMs() const
{
    // Long texts need longer reading: 40 ms for every character past the first hundred.
    return 10000 + 40 * std::max(0, int(text.length()) - 100);
}

void TextTip::placeAt(const QPoint &pos, QWidget *widget)
{
    setText(text);
    const QFontMetrics metrics(font());
    // Fonts with a shallow descent clip their last line without one spare pixel.
    const int extra = (metrics.descent() == 2 && metrics.ascent() > 10) ? 1 : 0;
    setWordWrap(false);
    int width = sizeHint().width();
    const int screenWidth = ToolTip::screenFor(pos, widget)->geometry().width();
    if (width > int(screenWidth * 0.5)) {
        setWordWrap(true);
        width = sizeHint().width();
        if (screenWidth < width)
            width = screenWidth - 10;
    }
    resize(width, heightForWidth(width) + extra);
}

bool TextTip::handlesContentKind(int kind) const
{
    return kind == TextContent;
}

bool TextTip::hasSameContent(int kind, const QVariant &content) const
{
    return kind == TextContent && content.toString() == text;
}

void TextTip::paintEvent(QPaintEvent *event)
{
    {
        QStylePainter painter(this);
        QStyleOptionFrame option;
        option.initFrom(this);
        painter.drawPrimitive(QStyle::PE_PanelTipLabel, option);
    }
    QLabel::paintEvent(event);
}

void TextTip::resizeEvent(QResizeEvent *event)
{
    QStyleHintReturnMask frameMask;
    QStyleOption option;
    option.initFrom(this);
    if (style()->styleHint(QStyle::SH_ToolTip_Mask, &option, this, &frameMask))
        setMask(frameMask.region);
    QLabel::resizeEvent(event);
}

}  // namespace Fancy
