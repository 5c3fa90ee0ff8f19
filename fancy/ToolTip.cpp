#include "fancy/ToolTip.h"

#include "fancy/ColorTip.h"
#include "fancy/TextTip.h"
#include "fancy/WidgetTip.h"

#include <QApplication>
#include <QColor>
#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QScreen>
#include <QWindow>

namespace Fancy {

namespace {

QTipLabel *createTip(int kind)
{
    switch (kind) {
    case TextContent:
        return new TextTip;
    case WidgetContent:
        return new WidgetTip;
    default:
        return new ColorTip;
    }
}

// Qt's own length for a tool-tip fade.
constexpr int FadeMs = 150;

}  // namespace

ToolTip *ToolTip::shared()
{
    static ToolTip instance;
    return &instance;
}

ToolTip::ToolTip()
{
    showTimer.setSingleShot(true);
    hideDelayTimer.setSingleShot(true);
    connect(&showTimer, &QTimer::timeout, this, &ToolTip::hideNow);
    connect(&hideDelayTimer, &QTimer::timeout, this, &ToolTip::hideNow);
}

ToolTip::~ToolTip()
{
    // At program exit the application, and every widget with it, may already be gone.
    if (!QCoreApplication::instance())
        return;
    QCoreApplication::instance()->removeEventFilter(this);
    delete tip.data();
}

void ToolTip::showText(const QPoint &pos, const QString &text, QWidget *widget, const QRect &rect)
{
    if (text.isEmpty())
        hideLater();
    else
        showContent(pos, text, TextContent, widget, rect);
}

void ToolTip::showColor(const QPoint &pos, const QColor &colour, QWidget *widget, const QRect &rect)
{
    if (!colour.isValid())
        hideLater();
    else
        showContent(pos, colour, ColorContent, widget, rect);
}

void ToolTip::showWidget(const QPoint &pos, QWidget *content, QWidget *widget, const QRect &rect)
{
    if (!content)
        hideLater();
    else
        showContent(pos, QVariant::fromValue(content), WidgetContent, widget, rect);
}

void ToolTip::hideLater()
{
    if (!hideDelayTimer.isActive())
        hideDelayTimer.start(300);
}

void ToolTip::moveTip(const QPoint &pos, QWidget *widget)
{
    if (tipShown())
        placeOnScreen(pos, widget);
}

bool ToolTip::tipShown() const
{
    return tip && tip->isVisible();
}

bool ToolTip::pinWidgetTip(QWidget *w, QWidget *parent)
{
    for (QWidget *ancestor = w ? w->parentWidget() : nullptr; ancestor;
         ancestor = ancestor->parentWidget()) {
        if (auto *widgetTip = qobject_cast<WidgetTip *>(ancestor)) {
            widgetTip->releaseHostedWidget(parent);
            hideLater();
            return true;
        }
    }
    return false;
}

QScreen *ToolTip::screenFor(const QPoint &pos, QWidget *widget)
{
    QScreen *primary = QGuiApplication::primaryScreen();
    QScreen *screen = nullptr;
    if (primary->virtualSiblings().size() > 1)
        screen = QGuiApplication::screenAt(pos);
    else if (widget)
        screen = widget->screen();
    return screen ? screen : primary;
}

void ToolTip::showContent(const QPoint &pos, const QVariant &content, int kind, QWidget *widget,
                          const QRect &rect)
{
    if (!admitRequest(pos, content, kind, widget, rect))
        return;
    QScreen *screen = screenFor(pos, widget);
    tip = createTip(kind);
    tip->createWinId();
    tip->windowHandle()->setScreen(screen);
    tip->setTipContent(content);
    arm(pos, widget, rect);
    QCoreApplication::instance()->installEventFilter(this);
    reveal();
}

// Updates or keeps a shown tip that can take the request; false when the request is done.
bool ToolTip::admitRequest(const QPoint &pos, const QVariant &content, int kind, QWidget *widget,
                           const QRect &rect)
{
    if (tipShown() && tip->handlesContentKind(kind)) {
        const QPoint localPos = widget ? widget->mapFromGlobal(pos) : pos;
        if (differsFrom(localPos, content, kind, widget)) {
            tip->setTipContent(content);
            arm(pos, widget, rect);
        }
        return false;
    }
    // Any earlier tip goes, shown or not, so no stray tip window outlives its turn.
    if (tip)
        hideNow();
    return true;
}

void ToolTip::arm(const QPoint &pos, QWidget *widget, const QRect &rect)
{
    tip->placeAt(pos, widget);
    placeOnScreen(pos, widget);
    setAnchor(widget, rect);
    hideDelayTimer.stop();
    showTimer.start(tip->displayTimeMs());
}

void ToolTip::setAnchor(QWidget *widget, const QRect &rect)
{
    if (!rect.isNull() && !widget) {
        qWarning("ToolTip::show: Cannot pass null widget if rect is set");
        return;
    }
    anchorWidget = widget;
    anchorRect = rect;
}

bool ToolTip::differsFrom(const QPoint &localPos, const QVariant &content, int kind,
                          QWidget *widget) const
{
    if (!tip->hasSameContent(kind, content))
        return true;
    if (widget != anchorWidget)
        return true;
    if (anchorRect.isNull())
        return false;
    return !anchorRect.contains(localPos);
}

void ToolTip::placeOnScreen(const QPoint &pos, QWidget *widget)
{
    const QRect screen = screenFor(pos, widget)->geometry();
    const int w = tip->width();
    const int h = tip->height();
    const int pastRight = screen.right() + 1;
    const int pastBottom = screen.bottom() + 1;
    int x = pos.x() + 2;
    int y = pos.y() + 21;
    if (x + w > pastRight)
        x = pos.x() - 2 - w;
    if (y + h > pastBottom)
        y = pos.y() - 3 - h;
    if (y < screen.top())
        y = screen.top();
    if (x + w > pastRight)
        x = pastRight - w;
    if (x < screen.left())
        x = screen.left();
    if (y + h > pastBottom)
        y = pastBottom - h;
    tip->move(x, y);
}

void ToolTip::reveal()
{
    // Both tip effects of the platform settings come in as the same short fade.
    if (QApplication::isEffectEnabled(Qt::UI_FadeTooltip)
        || QApplication::isEffectEnabled(Qt::UI_AnimateTooltip)) {
        auto *fade = new QPropertyAnimation(tip, "windowOpacity", tip);
        fade->setDuration(FadeMs);
        fade->setStartValue(0.0);
        fade->setEndValue(tip->windowOpacity());
        tip->setWindowOpacity(0.0);
        fade->start(QAbstractAnimation::DeleteWhenStopped);
    }
    tip->show();
}

void ToolTip::hideNow()
{
    if (tip) {
        tip->close();
        tip->deleteLater();
        tip = nullptr;
    }
    showTimer.stop();
    hideDelayTimer.stop();
    QCoreApplication::instance()->removeEventFilter(this);
}

void ToolTip::onPointerButton(QObject *watched)
{
    if (tip && (!tip->takesInput() || !liesInTip(static_cast<QWidget *>(watched))))
        hideNow();
}

bool ToolTip::liesInTip(QWidget *widget) const
{
    return widget && (widget == tip || tip->isAncestorOf(widget));
}

bool ToolTip::eventFilter(QObject *watched, QEvent *event)
{
    if (!watched->isWidgetType())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        onPointerButton(watched);
        break;
    case QEvent::MouseMove:
        if (watched == anchorWidget && !anchorRect.isNull()
            && !anchorRect.contains(static_cast<QMouseEvent *>(event)->localPos().toPoint()))
            hideLater();
        break;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        if (tip && !tip->takesInput())
            hideNow();
        break;
    case QEvent::Enter:
        if (tip && watched == tip && tip->takesInput() && hideDelayTimer.isActive())
            hideDelayTimer.stop();
        break;
    case QEvent::Leave:
        if (tip && watched == tip) {
            if (!liesInTip(QApplication::focusWidget()))
                hideLater();
        }
        break;
    default:
        break;
    }
    return false;
}

}  // namespace Fancy
