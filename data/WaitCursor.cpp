#include "WaitCursor.h"

#include <QApplication>

WaitCursor::WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

WaitCursor::~WaitCursor() { release(); }

void WaitCursor::release()
{
    if (!m_held)
        return;
    m_held = false;
    QApplication::restoreOverrideCursor();
}
