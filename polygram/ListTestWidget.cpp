#include "ListTestWidget.h"

#include "fancy/FontScale.h"

QSize ListTestWidget::sizeHint() const
{
    const QSize hint = QListWidget::sizeHint();
    return {Fancy::FontScale::px(hint.width()), hint.height()};
}
