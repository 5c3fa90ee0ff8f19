#include "fancy/FancyTab.h"

#include <QWidget>

namespace Fancy {

FancyTab::FancyTab(QWidget *tabbar, const QIcon &icon, const QString &text)
    : m_icon(icon)
    , m_text(text)
    , m_animator(this, "fader")
    , m_tabbar(tabbar)
{
}

void FancyTab::setFaderValue(float value)
{
    m_fader = value;
    m_tabbar->update();
}

void FancyTab::startHoverFade()
{
    fadeTo(40, 80);
}

void FancyTab::startLeaveFade()
{
    fadeTo(0, 160);
}

// Starts from the current fader, so an interrupted fade turns back smoothly.
void FancyTab::fadeTo(float value, int duration)
{
    m_animator.stop();
    m_animator.setDuration(duration);
    m_animator.setEndValue(value);
    m_animator.start();
}

} // namespace Fancy
