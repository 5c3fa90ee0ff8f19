#include "fancy/QTipLabel.h"

namespace Fancy {

QTipLabel::QTipLabel(QWidget *parent)
    : QLabel(parent, Qt::ToolTip | Qt::BypassGraphicsProxyWidget)
{
}

}  // namespace Fancy
