#include "RasterPresenter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QWindow>

#include <cstring>

namespace {
const QEvent::Type FrameReady = QEvent::Type(QEvent::registerEventType());

// Both images of one size and format.
void copyRegion(QImage &target, const QImage &source, const QRegion &region)
{
    const int pixel = source.depth() / 8;
    for (const QRect &rect : region.intersected(source.rect())) {
        const size_t bytes = size_t(rect.width()) * pixel;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            std::memcpy(target.scanLine(y) + rect.left() * pixel, source.constScanLine(y) + rect.left() * pixel, bytes);
    }
}
}  // namespace

RasterPresenter::RasterPresenter(QWindow *window)
    : QObject(window)
    , m_window(window)
    , m_store(window)
{
    window->installEventFilter(this);
}

void RasterPresenter::present(const QImage &frame, const QRegion &changed)
{
    if (changed.isEmpty())
        return;
    {
        QMutexLocker lock(&m_mutex);
        if (m_frame.size() != frame.size() || m_frame.format() != frame.format()) {
            m_frame = frame.copy();
            m_pending = m_frame.rect();
        } else {
            copyRegion(m_frame, frame, changed);
            m_pending |= changed;
        }
    }
    // Frames drawn faster than the GUI thread shows them add up their changes.
    if (!m_posted.exchange(true))
        QCoreApplication::postEvent(this, new QEvent(FrameReady));
}

bool RasterPresenter::event(QEvent *event)
{
    if (event->type() != FrameReady)
        return QObject::event(event);
    m_posted = false;
    show(false);
    return true;
}

bool RasterPresenter::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Expose)
        show(true);
    return false;
}

void RasterPresenter::show(bool whole)
{
    if (!m_window->isExposed())
        return;
    const QSize size = m_window->size();
    const QRect all(QPoint(0, 0), size);
    QMutexLocker lock(&m_mutex);
    // A resized store keeps nothing of what it showed.
    const QRegion region = whole || size != m_shownSize ? QRegion(all) : m_pending & all;
    m_pending = QRegion();
    if (region.isEmpty())
        return;
    m_store.resize(size);
    m_shownSize = size;
    m_store.beginPaint(region);
    {
        QPainter screen(m_store.paintDevice());
        screen.setCompositionMode(QPainter::CompositionMode_Source);
        screen.setClipRegion(region);
        // Until a frame of this size is drawn, what lies beyond the last one is white.
        if (m_frame.size() != size)
            screen.fillRect(all, Qt::white);
        screen.drawImage(0, 0, m_frame);
    }
    m_store.endPaint();
    m_store.flush(region);
}
