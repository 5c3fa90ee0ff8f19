#include "recording/media/Player_VideoSurface.h"

#include "recording/media/Player.h"

Player_VideoSurface::Player_VideoSurface(qint64 startMs, Player *player)
    : m_startMs(startMs)
    , m_player(player)
{
}

QList<QVideoFrame::PixelFormat> Player_VideoSurface::supportedPixelFormats(
    QAbstractVideoBuffer::HandleType) const
{
    return {QVideoFrame::Format_RGB32};
}

bool Player_VideoSurface::present(const QVideoFrame &frame)
{
    QVideoFrame mapped(frame);
    if (mapped.pixelFormat() != QVideoFrame::Format_RGB32 || !mapped.map(QAbstractVideoBuffer::ReadOnly))
        return true;
    const qint64 needed = qint64(mapped.bytesPerLine()) * (mapped.height() - 1) + qint64(mapped.width()) * 4;
    const bool whole = mapped.bits() && mapped.width() > 0 && mapped.height() > 0
        && mapped.bytesPerLine() >= mapped.width() * 4 && mapped.mappedBytes() >= needed;
    const bool pullForward = whole
        && m_player->storeFrame(mapped.bits(), mapped.width(), mapped.height(), mapped.bytesPerLine(), m_startMs);
    mapped.unmap();
    if (pullForward)
        m_player->seekLater(m_startMs);
    return true;
}
