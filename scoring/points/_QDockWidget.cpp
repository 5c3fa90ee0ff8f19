#include "_QDockWidget.h"

#include "data/ActivePopupMenu.h"

#include <QEvent>
#include <QTimer>

namespace {

constexpr int kRestoreInterval = 500;
constexpr double kEnlargement = 0.9;

}  // namespace

_QDockWidget::_QDockWidget(const QString &title, QWidget *parent) : QDockWidget(title, parent) {}

bool _QDockWidget::event(QEvent *event)
{
    if (event->type() == QEvent::Enter) {
        m_pointerInside = true;
        if (m_floating && !m_restoreTimer) {
            m_restoreTimer = new QTimer(this);
            connect(m_restoreTimer, &QTimer::timeout, this, &_QDockWidget::updateTime);
            m_restoreTimer->start(kRestoreInterval);
            enlarge();
        }
    } else if (event->type() == QEvent::Leave) {
        m_pointerInside = false;
    }
    return QDockWidget::event(event);
}

void _QDockWidget::remember()
{
    m_oldMaximum = maximumSize();
    m_oldMinimum = minimumSize();
    m_oldSize = size();
}

// Docked at the top or bottom the dock grows upwards, else sideways.
void _QDockWidget::enlarge()
{
    QWidget *parent = parentWidget();
    if (!parent)
        return;
    if (width() == parent->width()) {
        const int target = int(parent->height() * kEnlargement);
        if (target != height()) {
            remember();
            setMinimumHeight(target);
            setMaximumHeight(target);
        }
    } else {
        const int target = int(parent->width() * kEnlargement);
        if (target != width()) {
            remember();
            setMinimumWidth(target);
            setMaximumWidth(target);
        }
    }
}

void _QDockWidget::updateTime()
{
    if (activePopupMenuId != 0 || m_pointerInside || isHidden())
        return;
    shrinkNow();
}

void _QDockWidget::shrinkNow()
{
    if (!m_restoreTimer)
        return;
    if (!m_oldSize.isEmpty()) {
        setMinimumSize(m_oldSize);
        setMaximumSize(m_oldSize);
        QTimer::singleShot(0, this, &_QDockWidget::returnToOldMaxMinSizes);
    }
    m_restoreTimer->stop();
    m_restoreTimer->deleteLater();
    m_restoreTimer = nullptr;
}

void _QDockWidget::returnToOldMaxMinSizes()
{
    if (m_oldSize.isEmpty())
        return;
    setMinimumSize(m_oldMinimum);
    setMaximumSize(m_oldMaximum);
    m_oldMinimum = QSize(0, 0);
    m_oldSize = QSize(0, 0);
}
