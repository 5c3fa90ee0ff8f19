#include "app/_QImageGroupBox.h"

#include "fancy/CustomStyle.h"
#include "fancy/ImageGroupBoxOption.h"

#include <QPainter>

_QImageGroupBox::_QImageGroupBox(const QPixmap &picture, const QString &title, QWidget *parent)
    : QGroupBox(title, parent)
    , m_picture(picture)
{
}

void _QImageGroupBox::paintEvent(QPaintEvent *)
{
    // The option carries its own version, so the style reads the picture fields
    // only from an option made here.
    Fancy::ImageGroupBoxOption option;
    initStyleOption(&option);
    option.picture = m_picture;
    option.pictureX = m_pictureX;
    option.pictureSpaceBefore = m_spaceBefore;
    option.pictureSpaceAfter = m_spaceAfter;

    const Fancy::_CustomStyle style;
    QPainter painter(this);
    style.drawComplexControl(QStyle::CC_GroupBox, &option, &painter, this);
}
