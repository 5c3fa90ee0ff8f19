#include "WaitCursor.h"

#include <QApplication>

WaitCursor::WaitCursor() { setWaitCursor(); }

WaitCursor::~WaitCursor() { release(); }

void WaitCursor::release()
{
    if (!m_held)
        return;
    m_held = false;
    QApplication::restoreOverrideCursor();
}

WaitCursor::Pause::Pause()
{
    // Outside any work there is nothing to give way, and nothing to bring back.
    m_paused = QApplication::overrideCursor() != nullptr;
    if (m_paused)
        QApplication::restoreOverrideCursor();
}

WaitCursor::Pause::~Pause()
{
    if (m_paused)
        setWaitCursor();
}

void WaitCursor::setWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
