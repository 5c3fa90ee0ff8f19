#include "RasterPresenter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QWindow>

namespace {
const QEvent::Type FrameReady = QEvent::Type(QEvent::registerEventType());
}  // namespace

RasterPresenter::RasterPresenter(QWindow *window)
    : QObject(window)
    , m_window(window)
    , m_store(window)
{
    window->installEventFilter(this);
}

void RasterPresenter::present(QImage &frame)
{
    {
        QMutexLocker lock(&m_mutex);
        m_frame.swap(frame);
    }
    // Frames drawn faster than the GUI thread shows them replace each other.
    if (!m_posted.exchange(true))
        QCoreApplication::postEvent(this, new QEvent(FrameReady));
}

bool RasterPresenter::event(QEvent *event)
{
    if (event->type() != FrameReady)
        return QObject::event(event);
    m_posted = false;
    show();
    return true;
}

bool RasterPresenter::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Expose)
        show();
    return false;
}

void RasterPresenter::show()
{
    if (!m_window->isExposed())
        return;
    const QSize size = m_window->size();
    const QRect whole(QPoint(0, 0), size);
    m_store.resize(size);
    m_store.beginPaint(whole);
    {
        QPainter screen(m_store.paintDevice());
        QMutexLocker lock(&m_mutex);
        // Until a frame of this size is drawn, what lies beyond the last one is white.
        if (m_frame.size() != size)
            screen.fillRect(whole, Qt::white);
        screen.drawImage(0, 0, m_frame);
    }
    m_store.endPaint();
    m_store.flush(whole);
}
