#include "PointerTracker.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QWidget>

PointerTracker::PointerTracker(QWidget *viewport) : QObject(viewport)
{
    viewport->setMouseTracking(true);
    viewport->installEventFilter(this);
}

bool PointerTracker::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Enter:
        m_inside = true;
        m_position = static_cast<QEnterEvent *>(event)->pos();
        break;
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
        m_inside = true;
        m_position = static_cast<QMouseEvent *>(event)->pos();
        break;
    case QEvent::Leave:
        m_inside = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
