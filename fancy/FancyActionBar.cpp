#include "fancy/FancyActionBar.h"

#include "fancy/FancyToolButton.h"

#include <QAction>
#include <QPaintEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace Fancy {

FancyActionBar::FancyActionBar(QWidget *parent)
    : QWidget(parent)
    , actionsLayout(new QVBoxLayout)
{
    setObjectName(QStringLiteral("actionbar"));
    auto *outer = new QVBoxLayout;
    outer->addLayout(actionsLayout);
    outer->addSpacing(8);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    setLayout(outer);
    setContentsMargins(0, 2, 0, 0);
}

void FancyActionBar::insertActionButton(int index, QAction *action)
{
    auto *button = new FancyToolButton(this);
    button->setDefaultAction(action);
    connect(action, &QAction::changed, button, &FancyToolButton::actionChanged);
    actionsLayout->insertWidget(index, button);
}

void FancyActionBar::prependAction(QAction *action)
{
    insertActionButton(0, action);
}

QVBoxLayout *FancyActionBar::buttonsLayout() const
{
    return actionsLayout;
}

QSize FancyActionBar::minimumSizeHint() const
{
    return sizeHint();
}

void FancyActionBar::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    QRect area = event->rect();
    area.setBottom(area.bottom() - 1);
    painter.save();
    QLinearGradient gradient(area.topLeft(), area.topRight());
    gradient.setColorAt(0.0, QColor(255, 255, 255, 64));
    gradient.setColorAt(1.0, QColor(255, 255, 255, 140));
    painter.fillRect(area, gradient);
    painter.restore();
}

}  // namespace Fancy
