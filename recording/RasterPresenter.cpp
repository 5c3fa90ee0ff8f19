#include "RasterPresenter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>
#include <cstring>

namespace {
const QEvent::Type FrameReady = QEvent::Type(QEvent::registerEventType());
constexpr int MostPendingPieces = 200;

// What moves out at one side is lost; the other side keeps its old pixels,
// to be drawn over.
void moveSideways(QImage &image, int dx)
{
    const int pixel = image.depth() / 8;
    const int kept = image.width() - qAbs(dx);
    if (kept <= 0)
        return;
    for (int y = 0; y < image.height(); ++y) {
        uchar *line = image.scanLine(y);
        if (dx < 0)
            std::memmove(line, line - dx * pixel, size_t(kept) * pixel);
        else
            std::memmove(line + dx * pixel, line, size_t(kept) * pixel);
    }
}
}  // namespace

RasterPresenter::RasterPresenter(QWindow *window)
    : QObject(window)
    , m_window(window)
    , m_store(window)
    , m_serverScroll(window)
{
    window->installEventFilter(this);
}

void RasterPresenter::present(const FrameChange &change)
{
    if (change.isEmpty())
        return;
    {
        QMutexLocker lock(&m_mutex);
        // A GUI thread kept busy for long gets one whole frame instead of all the pieces.
        if (m_pending.pieces.size() >= MostPendingPieces) {
            m_pending = FrameChange();
            m_lost = true;
            return;
        }
        // Changes drawn faster than the GUI thread shows them add up: the
        // pieces not shown yet move with the later ones.
        for (FrameChange::Piece &piece : m_pending.pieces)
            piece.at.rx() += change.scroll;
        m_pending.scroll += change.scroll;
        m_pending.pieces += change.pieces;
    }
    if (!m_posted.exchange(true))
        QCoreApplication::postEvent(this, new QEvent(FrameReady));
}

bool RasterPresenter::takeLoss()
{
    const bool missed = m_serverScroll.takeMissed();
    return m_lost.exchange(false) || missed;
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
    if (event->type() != QEvent::Expose)
        return false;
    // The store keeps what it showed while its size stays.
    if (m_window->isExposed() && m_window->size() == m_shownSize && !m_storeBehind)
        m_store.flush(QRect(QPoint(0, 0), m_shownSize));
    else
        lose();
    return false;
}

void RasterPresenter::lose()
{
    QMutexLocker lock(&m_mutex);
    m_pending = FrameChange();
    m_lost = true;
}

void RasterPresenter::show()
{
    // Nothing is kept for a hidden window.
    if (!m_window->isExposed()) {
        lose();
        return;
    }
    const QSize size = m_window->size();
    const bool resized = size != m_shownSize;
    if (resized) {
        m_store.resize(size);
        m_shownSize = size;
    }
    FrameChange change;
    {
        QMutexLocker lock(&m_mutex);
        std::swap(change, m_pending);
    }
    const QRect all(QPoint(0, 0), size);
    // A resized store holds nothing: only a piece covering it all shows.
    if (resized) {
        auto whole = std::find_if(change.pieces.rbegin(), change.pieces.rend(), [&all](const FrameChange::Piece &piece) {
            return QRect(piece.at, piece.image.size()).contains(all);
        });
        if (whole == change.pieces.rend()) {
            lose();
            return;
        }
        change.pieces.erase(change.pieces.begin(), whole.base() - 1);
        change.scroll = 0;
    }
    QRegion drawn;
    for (const FrameChange::Piece &piece : change.pieces)
        drawn |= QRect(piece.at, piece.image.size());
    // The server moves the window's pixels where it can; else a move
    // changes all of it, the store's own image being moved in place.
    const bool serverMoved = change.scroll != 0 && m_serverScroll.move(change.scroll, size.width(), size.height());
    if (change.scroll != 0 && !serverMoved && m_storeBehind) {
        lose();
        return;
    }
    m_storeBehind = (m_storeBehind || serverMoved) && !drawn.contains(all);
    const QRegion painted = change.scroll != 0 && !serverMoved ? QRegion(all) : drawn & all;
    if (painted.isEmpty()) {
        m_serverScroll.flush();
        return;
    }
    m_store.beginPaint(painted);
    QPaintDevice *device = m_store.paintDevice();
    if (change.scroll != 0 && !serverMoved) {
        // A scaled store would move by other than whole pixels of the frame.
        if (device->devType() != QInternal::Image || static_cast<QImage *>(device)->size() != size) {
            m_store.endPaint();
            lose();
            return;
        }
        moveSideways(*static_cast<QImage *>(device), change.scroll);
    }
    {
        QPainter screen(device);
        screen.setCompositionMode(QPainter::CompositionMode_Source);
        for (const FrameChange::Piece &piece : change.pieces)
            screen.drawImage(piece.at, piece.image);
    }
    m_store.endPaint();
    m_store.flush(painted);
}
