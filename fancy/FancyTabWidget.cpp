#include "fancy/FancyTabWidget.h"

#include "fancy/FancyColorButton.h"
#include "fancy/FancyTabBar.h"
#include "fancy/PanelStyle.h"
#include "fancy/StyledBar.h"

#include <QBoxLayout>
#include <QPainter>
#include <QStackedLayout>
#include <QStatusBar>
#include <QStyle>

namespace Fancy {

FancyTabWidget::FancyTabWidget(QWidget *parent)
    : QWidget(parent)
    , m_tabBar(new FancyTabBar(this))
{
    m_selectionWidget = createSelectionWidget();

    m_modesStack = new QStackedLayout;
    m_statusBar = new QStatusBar;
    m_statusBar->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    auto *pageLayout = new QVBoxLayout;
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    pageLayout->addLayout(m_modesStack);
    pageLayout->addWidget(m_statusBar);

    auto *mainLayout = new QHBoxLayout(this);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(1);
    mainLayout->addWidget(m_selectionWidget);
    mainLayout->addLayout(pageLayout);

    connect(m_tabBar, &FancyTabBar::currentChanged, this, &FancyTabWidget::showWidget);
}

FancyTabWidget::~FancyTabWidget() = default;

// The left column: the panel bar with the colour hot zone, the tabs, and the corner widgets.
QWidget *FancyTabWidget::createSelectionWidget()
{
    auto *selectionWidget = new QWidget(this);
    auto *selectionLayout = new QVBoxLayout;
    selectionLayout->setSpacing(0);
    selectionLayout->setContentsMargins(0, 0, 0, 0);

    auto *bar = new StyledBar;
    auto *barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(0, 0, 0, 0);
    barLayout->setSpacing(0);
    auto *colorButton = new FancyColorButton(this);
    colorButton->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
    barLayout->addWidget(colorButton);

    selectionLayout->addWidget(bar, 0);
    selectionLayout->addWidget(m_tabBar, 1);
    selectionWidget->setLayout(selectionLayout);
    selectionWidget->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);

    m_cornerWidgetContainer = new QWidget(this);
    m_cornerWidgetContainer->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
    m_cornerWidgetContainer->setAutoFillBackground(false);
    auto *cornerLayout = new QVBoxLayout(m_cornerWidgetContainer);
    cornerLayout->setSpacing(0);
    cornerLayout->setContentsMargins(0, 0, 0, 0);
    cornerLayout->addStretch();
    selectionLayout->addWidget(m_cornerWidgetContainer, 0);
    return selectionWidget;
}

void FancyTabWidget::insertModeTab(int index, QWidget *page, const QIcon &icon, const QString &label)
{
    m_modesStack->insertWidget(index, page);
    m_tabBar->insertTab(index, icon, label);
}

void FancyTabWidget::enableTab(int index, bool enable)
{
    m_tabBar->setTabEnabled(index, enable);
}

bool FancyTabWidget::isTabEnabled(int index) const
{
    return m_tabBar->isTabEnabled(index);
}

void FancyTabWidget::setTabToolTip(int index, const QString &toolTip)
{
    m_tabBar->setTabToolTip(index, toolTip);
}

int FancyTabWidget::currentTab() const
{
    return m_tabBar->currentIndex();
}

QLayout *FancyTabWidget::cornerLayout() const
{
    return m_cornerWidgetContainer->layout();
}

void FancyTabWidget::addCornerWidget(QWidget *widget)
{
    cornerLayout()->addWidget(widget);
}

void FancyTabWidget::insertCornerWidget(int pos, QWidget *widget)
{
    static_cast<QVBoxLayout *>(cornerLayout())->insertWidget(pos, widget);
}

int FancyTabWidget::cornerWidgetCount() const
{
    return cornerLayout()->count();
}

bool FancyTabWidget::isSelectionWidgetVisible() const
{
    return !m_selectionWidget->isHidden();
}

void FancyTabWidget::setCurrentIndex(int index)
{
    m_tabBar->selectTab(index);
}

void FancyTabWidget::setSelectionWidgetVisible(bool visible)
{
    m_selectionWidget->setVisible(visible);
}

void FancyTabWidget::showWidget(int index)
{
    emit currentAboutToShow(index);
    m_modesStack->setCurrentIndex(index);
    emit currentChanged(index);
}

void FancyTabWidget::paintEvent(QPaintEvent *)
{
    if (!m_selectionWidget->isVisible())
        return;
    QPainter painter(this);
    QRect rect = m_selectionWidget->rect();
    rect.setRight(m_selectionWidget->width());
    rect = QStyle::visualRect(layoutDirection(), geometry(), rect);
    PanelStyle::paintVerticalGradient(&painter, rect, rect, false);
    painter.setPen(PanelStyle::panelBorder(false));
    painter.drawLine(rect.topRight(), rect.bottomRight());
    painter.setPen(QColor(255, 255, 255, 40));
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
}

} // namespace Fancy
