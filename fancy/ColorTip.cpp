#include "fancy/ColorTip.h"

#include <QPainter>

namespace Fancy {

ColorTip::ColorTip(QWidget *parent)
    : QTipLabel(parent)
{
    resize(40, 40);
}

void ColorTip::setTipContent(const QVariant &content)
{
    colour = content.value<QColor>();
    tile = QPixmap(20, 20);
    tile.fill(Qt::white);
    QPainter painter(&tile);
    const QColor check(220, 220, 220, 255);
    painter.fillRect(0, 0, 10, 10, check);
    painter.fillRect(10, 10, 10, 10, check);
}

bool ColorTip::takesInput() const
{
    return false;
}

int ColorTip::displayTimeMs() const
{
    return 4000;
}

void ColorTip::placeAt(const QPoint &, QWidget *)
{
    update();
}

bool ColorTip::handlesContentKind(int kind) const
{
    return kind == ColorContent;
}

bool ColorTip::hasSameContent(int kind, const QVariant &content) const
{
    return kind == ColorContent && content == QVariant(colour);
}

void ColorTip::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    QPainter painter(this);
    // The outline contrasts with the swatch: lighter around dark colours, darker otherwise.
    const QColor outline = colour.value() < 101 ? colour.lighter(150) : colour.darker(200);
    painter.setPen(QPen(outline, 1));
    painter.setBrush(colour);
    const QRect swatch(0, 0, width() - 1, height() - 1);
    painter.drawTiledPixmap(swatch, tile);
    painter.drawRect(swatch);
}

}  // namespace Fancy
