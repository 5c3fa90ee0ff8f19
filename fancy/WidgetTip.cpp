#include "fancy/WidgetTip.h"

#include <QVBoxLayout>

namespace Fancy {

WidgetTip::WidgetTip(QWidget *parent)
    : QTipLabel(parent)
    , layout(new QVBoxLayout)
{
    layout->setContentsMargins(0, 0, 0, 0);
    setLayout(layout);
}

void WidgetTip::setTipContent(const QVariant &content)
{
    hosted = content.value<QWidget *>();
}

bool WidgetTip::takesInput() const
{
    return true;
}

int WidgetTip::displayTimeMs() const
{
    return 30000;
}

void WidgetTip::placeAt(const QPoint &pos, QWidget *)
{
    move(pos);
    if (hosted)
        layout->addWidget(hosted);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
}

bool WidgetTip::handlesContentKind(int) const
{
    return false;
}

bool WidgetTip::hasSameContent(int kind, const QVariant &content) const
{
    return kind == WidgetContent && content.value<QWidget *>() == hosted;
}

void WidgetTip::releaseHostedWidget(QWidget *parent)
{
    const QPoint corner = mapToGlobal(QPoint(0, 0));
    QWidget *widget = nullptr;
    if (layout->count() > 0) {
        QLayoutItem *item = layout->takeAt(0);
        widget = item->widget();
        delete item;
    }
    if (!widget)
        return;
    widget->setParent(parent, Qt::Tool | Qt::FramelessWindowHint);
    widget->move(corner);
    widget->show();
    widget->setAttribute(Qt::WA_DeleteOnClose);
}

}  // namespace Fancy
