#pragma once

#include "recording/media/VideoPlayer.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class QMediaPlayer;
class Player_VideoSurface;
class VideoTrouble;

// Plays a recorded test's video file into the process-wide frame holder, from
// which the playback threads take the latest frame. The QMediaPlayer is only
// ever touched on the thread this object lives on: seek, stop and setPaused
// called from another thread are queued to it, and position is answered from
// a copy the player keeps up to date.
class Player : public QObject, public VideoPlayer
{
    Q_OBJECT

public:
    explicit Player(QObject *parent = nullptr);
    // Must run on the thread the player lives on.
    ~Player() override;

    void open(const QString &path, qint64 startMs, const Unplayable &unplayable) override;
    void stop() override;
    // Starts playback when the player is stopped; a paused player only moves.
    void seek(qint64 ms) override;
    qint64 position() const;
    void setPaused(bool paused) override;

    // Returns the latest frame's size in bytes (0 while none has come) and
    // always writes its width and height (0 while none has come). The pixels,
    // 32-bit each in packed lines, are copied only when dest holds at least
    // that many bytes, so a too-small buffer is never written.
    int takeFrame(int *width, int *height, void *dest, int capacity, double *seconds) const override;

private:
    friend class Player_VideoSurface;

    // Called by the surface with a mapped RGB32 frame; true when playback has
    // yet to reach startMs and must be pulled forward to it.
    bool storeFrame(const uchar *bits, int width, int height, int bytesPerLine, qint64 startMs);
    // Queued even on the player's own thread: the surface asks for it while
    // the back end is inside present.
    void seekLater(qint64 ms);
    void seekNow(qint64 ms);
    template<typename Call>
    void onPlayerThread(Call call);

    // Goes last: the surface tells it of every frame.
    std::unique_ptr<VideoTrouble> m_trouble;
    std::unique_ptr<Player_VideoSurface> m_surface;
    std::unique_ptr<QMediaPlayer> m_player;
    std::atomic<qint64> m_position{0};
};
