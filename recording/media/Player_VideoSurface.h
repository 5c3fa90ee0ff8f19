#pragma once

#include <QAbstractVideoSurface>

class Player;

// Hands every presented frame to its Player's frame holder.
class Player_VideoSurface : public QAbstractVideoSurface
{
    Q_OBJECT

public:
    Player_VideoSurface(qint64 startMs, Player *player);

    QList<QVideoFrame::PixelFormat> supportedPixelFormats(
        QAbstractVideoBuffer::HandleType type = QAbstractVideoBuffer::NoHandle) const override;
    bool present(const QVideoFrame &frame) override;

private:
    qint64 m_startMs;
    Player *m_player;
};
