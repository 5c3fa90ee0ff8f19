#include "fancy/FancyTabBar.h"

#include "fancy/FancyTab.h"
#include "fancy/PanelStyle.h"

#include <QHelpEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleFactory>
#include <QToolTip>

namespace Fancy {

namespace {

// Below this height a tab shows its caption only.
const int iconTabHeight = 36;

} // namespace

FancyTabBar::FancyTabBar(QWidget *parent)
    : QWidget(parent)
    , m_style(QStyleFactory::create(QStringLiteral("windows")))
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    setStyle(m_style);
    setMinimumWidth(44);
    setAttribute(Qt::WA_Hover, true);
    setAttribute(Qt::WA_MouseTracking, true);
    setFocusPolicy(Qt::NoFocus);
    m_triggerTimer.setSingleShot(true);
    connect(&m_triggerTimer, &QTimer::timeout, this, &FancyTabBar::emitCurrentIndex);
}

FancyTabBar::~FancyTabBar()
{
    qDeleteAll(m_tabs);
    delete m_style;
}

QSize FancyTabBar::sizeHint() const
{
    const QSize extent = tabExtent(false);
    return QSize(extent.width(), extent.height() * m_tabs.count());
}

QSize FancyTabBar::minimumSizeHint() const
{
    const QSize extent = tabExtent(true);
    return QSize(extent.width(), extent.height() * m_tabs.count());
}

void FancyTabBar::insertTab(int index, const QIcon &icon, const QString &label)
{
    m_tabs.insert(index, new FancyTab(this, icon, label));
    updateGeometry();
}

FancyTab *FancyTabBar::tab(int index) const
{
    return isValidIndex(index) ? m_tabs.at(index) : nullptr;
}

void FancyTabBar::setTabEnabled(int index, bool enable)
{
    if (!isValidIndex(index))
        return;
    m_tabs.at(index)->setEnabled(enable);
    update(tabRect(index));
}

bool FancyTabBar::isTabEnabled(int index) const
{
    return isValidIndex(index) && m_tabs.at(index)->isEnabled();
}

void FancyTabBar::setTabToolTip(int index, const QString &toolTip)
{
    if (isValidIndex(index))
        m_tabs.at(index)->setToolTip(toolTip);
}

bool FancyTabBar::isSelectable(int index) const
{
    return isValidIndex(index) && m_tabs.at(index)->isEnabled();
}

void FancyTabBar::selectTab(int index)
{
    if (!isSelectable(index))
        return;
    m_currentIndex = index;
    update();
    emit currentChanged(m_currentIndex);
}

void FancyTabBar::emitCurrentIndex()
{
    emit currentChanged(m_currentIndex);
}

QFont FancyTabBar::captionFont(const QFont &base) const
{
    QFont font = base;
    font.setPointSizeF(PanelStyle::tabFontSize());
    font.setWeight(QFont::Bold);
    return font;
}

QSize FancyTabBar::tabExtent(bool minimum) const
{
    const QFontMetrics metrics(captionFont(font()));
    int maxTextWidth = 0;
    for (const FancyTab *tab : m_tabs)
        maxTextWidth = qMax(maxTextWidth, metrics.horizontalAdvance(tab->text()));
    const int width = qMax(maxTextWidth - 20, 70);
    return QSize(width, metrics.height() + (minimum ? 8 : 40));
}

QRect FancyTabBar::tabRect(int index) const
{
    const QSize extent = tabExtent(false);
    int h = extent.height();
    // Too many tabs for the column: they share its height.
    if (h * m_tabs.count() > height())
        h = height() / m_tabs.count();
    return QRect(0, index * h, extent.width(), h);
}

int FancyTabBar::tabAt(const QPoint &position) const
{
    for (int i = 0; i < m_tabs.count(); ++i)
        if (tabRect(i).contains(position))
            return i;
    return -1;
}

bool FancyTabBar::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && isValidIndex(m_hoverIndex)) {
        const QString toolTip = m_tabs.at(m_hoverIndex)->toolTip();
        if (!toolTip.isEmpty()) {
            QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), toolTip, this);
            return true;
        }
    }
    return QWidget::event(event);
}

void FancyTabBar::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    const int index = tabAt(event->pos());
    if (!isSelectable(index))
        return;
    m_currentIndex = index;
    update();
    // The mode switches from the event loop, after the press has been handled.
    m_triggerTimer.start(0);
}

void FancyTabBar::mouseMoveEvent(QMouseEvent *event)
{
    const int newHover = tabAt(event->pos());
    if (newHover == m_hoverIndex)
        return;
    if (isValidIndex(m_hoverIndex))
        m_tabs.at(m_hoverIndex)->startLeaveFade();
    m_hoverIndex = newHover;
    if (isValidIndex(m_hoverIndex))
        m_tabs.at(m_hoverIndex)->startHoverFade();
}

void FancyTabBar::enterEvent(QEvent *)
{
    m_hoverIndex = -1;
}

void FancyTabBar::leaveEvent(QEvent *)
{
    m_hoverIndex = -1;
    for (FancyTab *tab : qAsConst(m_tabs))
        tab->startLeaveFade();
}

void FancyTabBar::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.save();
    const QRect area = event->rect().adjusted(0, 0, 0, -1);
    QLinearGradient gradient(area.topLeft(), area.topRight());
    gradient.setColorAt(0.0, QColor(255, 255, 255, 64));
    gradient.setColorAt(1.0, QColor(255, 255, 255, 140));
    painter.fillRect(area, gradient);
    painter.restore();

    // The current tab goes last, so it paints over its neighbours' edges.
    for (int i = 0; i < m_tabs.count(); ++i)
        if (i != m_currentIndex)
            drawTab(&painter, i);
    if (m_currentIndex != -1)
        drawTab(&painter, m_currentIndex);
}

void FancyTabBar::drawSelectedFrame(QPainter *painter, const QRect &r) const
{
    painter->save();
    QLinearGradient gradient(r.topLeft(), r.topRight());
    gradient.setColorAt(0.0, QColor(255, 255, 255, 140));
    gradient.setColorAt(1.0, QColor(255, 255, 255, 210));
    painter->fillRect(QRect(r.topLeft(), QPoint(r.right(), r.bottom() - 1)), gradient);
    painter->restore();

    painter->setPen(QColor(0, 0, 0, 110));
    painter->drawLine(r.left() + 1, r.top() - 1, r.right(), r.top() - 1);
    painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    painter->setPen(QColor(0, 0, 0, 40));
    painter->drawLine(r.left(), r.top(), r.left(), r.bottom());
    painter->setPen(QColor(255, 255, 255, 50));
    painter->drawLine(r.left(), r.top() - 2, r.right(), r.top() - 2);
    painter->drawLine(r.left(), r.bottom() + 1, r.right(), r.bottom() + 1);
    painter->setPen(QColor(255, 255, 255, 40));
    painter->drawLine(r.left(), r.top(), r.right(), r.top());
    painter->drawLine(r.right(), r.top() + 1, r.right(), r.bottom() - 1);
    painter->drawLine(r.left(), r.bottom() - 1, r.right(), r.bottom() - 1);
}

void FancyTabBar::drawHoverHighlight(QPainter *painter, const QRect &r, float fader) const
{
    painter->save();
    QLinearGradient gradient(r.topLeft(), r.topRight());
    gradient.setColorAt(0.0, Qt::transparent);
    gradient.setColorAt(0.5, QColor(255, 255, 255, int(fader)));
    gradient.setColorAt(1.0, Qt::transparent);
    painter->fillRect(r, gradient);
    painter->setPen(QPen(QBrush(gradient), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter->drawLine(r.topLeft(), r.topRight());
    painter->drawLine(r.bottomLeft(), r.bottomRight());
    painter->restore();
}

void FancyTabBar::drawTab(QPainter *painter, int index) const
{
    if (!isValidIndex(index)) {
        qWarning("invalid index");
        return;
    }
    const FancyTab *tab = m_tabs.at(index);
    const QRect r = tabRect(index);
    const int h = r.bottom() - r.top();
    const bool selected = index == m_currentIndex;
    const bool enabled = tab->isEnabled();
    const bool withIcon = h >= iconTabHeight;

    painter->save();
    if (selected)
        drawSelectedFrame(painter, r);

    const QRect textRect = r.translated(0, withIcon ? -2 : 1);
    QRect iconRect = r;
    painter->setFont(captionFont(painter->font()));
    const int flags = withIcon ? Qt::AlignHCenter | Qt::AlignVCenter | Qt::AlignBottom | Qt::TextWordWrap
                               : Qt::AlignCenter | Qt::TextWordWrap;

    if (!selected && enabled)
        drawHoverHighlight(painter, r, tab->fader());
    if (!enabled)
        painter->setOpacity(0.7);
    if (withIcon) {
        const int textHeight = painter->fontMetrics().boundingRect(rect(), Qt::TextWordWrap, tab->text()).height();
        iconRect.setTop(iconRect.top() + 4);
        iconRect.setBottom(iconRect.bottom() - textHeight);
        PanelStyle::paintIconWithShadow(tab->icon(), iconRect, painter, enabled ? QIcon::Normal : QIcon::Disabled, 3,
                                        QColor(0, 0, 0, 130), QPoint(1, -2));
    }
    painter->setOpacity(1.0);
    if (!enabled)
        painter->setPen(QColor(0xA0, 0xA0, 0xA0));
    else if (selected)
        painter->setPen(QColor(0, 0, 0));
    else
        painter->setPen(QColor(0xE7, 0xE7, 0xE7));
    painter->translate(0, -1);
    painter->drawText(textRect, flags, tab->text());
    painter->restore();
}

} // namespace Fancy
