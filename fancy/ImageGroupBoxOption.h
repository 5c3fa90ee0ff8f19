#pragma once

#include <QPixmap>
#include <QStyleOptionGroupBox>

namespace Fancy {

// A group-box option with a small picture before the title. It carries a
// version of its own, so a style can tell it from a plain group-box option
// (which has none of these fields) before reading them.
struct ImageGroupBoxOption : public QStyleOptionGroupBox
{
    enum StyleOptionVersion { Version = QStyleOptionGroupBox::Version + 0x4947 };

    ImageGroupBoxOption()
        : QStyleOptionGroupBox(Version)
    {
    }

    QPixmap picture;
    int pictureX = 0;          // where the picture block begins, widget coordinates
    int pictureSpaceBefore = 0;
    int pictureSpaceAfter = 0;
};

} // namespace Fancy
