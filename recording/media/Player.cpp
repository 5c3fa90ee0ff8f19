#include "recording/media/Player.h"

#include "recording/media/Player_VideoSurface.h"
#include "recording/media/SoundOutput.h"
#include "recording/media/VideoTrouble.h"
#include "data/Diagnostics.h"

#include <QMediaPlayer>
#include <QMutex>
#include <QThread>
#include <QUrl>

#include <cstring>
#include <vector>

namespace {

// The latest frame of whichever player presented last, for the playback threads.
struct FrameHolder
{
    QMutex mutex;
    std::vector<quint32> pixels;
    int width = 0;
    int height = 0;
    qint64 timeMs = 0;
};

FrameHolder &frameHolder()
{
    static FrameHolder holder;
    return holder;
}

// Often enough for the playback threads' copy of the position.
constexpr int kPositionNotifyMs = 20;

} // namespace

Player::Player(QObject *parent)
    : QObject(parent)
{
    FrameHolder &holder = frameHolder();
    QMutexLocker lock(&holder.mutex);
    holder.width = 0;
    holder.height = 0;
    holder.timeMs = 0;
}

Player::~Player()
{
    if (m_player)
        m_player->stop();
    // The player goes first: it must not present to a deleted surface.
    m_player.reset();
    m_surface.reset();
}

void Player::open(const QString &path, qint64 startMs, const Unplayable &unplayable)
{
    m_player.reset();
    m_trouble = std::make_unique<VideoTrouble>();
    if (unplayable)
        connect(m_trouble.get(), &VideoTrouble::unplayable, this, [unplayable](const QString &text) { unplayable(text); });
    const QString checked = m_trouble->check(path);
    if (checked.isEmpty())
        return;
    if (SoundOutput::prepareSink())
        qCInfo(vugMedia).noquote() << SoundOutput::silentNote();
    m_surface = std::make_unique<Player_VideoSurface>(startMs, this);
    m_player = std::make_unique<QMediaPlayer>(nullptr, QMediaPlayer::VideoSurface);
    m_player->setNotifyInterval(kPositionNotifyMs);
    connect(m_player.get(), &QMediaPlayer::positionChanged, this, [this](qint64 ms) { m_position = ms; });
    m_position = 0;
    m_trouble->watch(m_player.get());
    m_player->setVideoOutput(m_surface.get());
    m_player->setMedia(QUrl::fromLocalFile(checked));
    m_player->play();
}

template<typename Call>
void Player::onPlayerThread(Call call)
{
    QMetaObject::invokeMethod(this, call, Qt::AutoConnection);
}

void Player::stop()
{
    onPlayerThread([this] {
        if (m_player)
            m_player->stop();
    });
}

void Player::seek(qint64 ms)
{
    onPlayerThread([this, ms] { seekNow(ms); });
}

void Player::seekLater(qint64 ms)
{
    QMetaObject::invokeMethod(this, [this, ms] { seekNow(ms); }, Qt::QueuedConnection);
}

void Player::seekNow(qint64 ms)
{
    if (!m_player)
        return;
    m_player->setPosition(ms);
    m_position = ms;
    if (m_player->state() == QMediaPlayer::StoppedState)
        m_player->play();
}

qint64 Player::position() const
{
    if (QThread::currentThread() == thread() && m_player)
        return m_player->position();
    return m_position;
}

void Player::setPaused(bool paused)
{
    onPlayerThread([this, paused] {
        if (!m_player)
            return;
        if (paused)
            m_player->pause();
        else
            m_player->play();
    });
}

bool Player::storeFrame(const uchar *bits, int width, int height, int bytesPerLine, qint64 startMs)
{
    const qint64 now = position();
    FrameHolder &holder = frameHolder();
    QMutexLocker lock(&holder.mutex);
    holder.width = width;
    holder.height = height;
    holder.pixels.resize(size_t(width) * size_t(height));
    // The back end may pad its lines; the holder keeps them packed.
    for (int y = 0; y < height; ++y)
        std::memcpy(holder.pixels.data() + size_t(y) * size_t(width), bits + qint64(y) * bytesPerLine,
                    size_t(width) * 4);
    m_trouble->frameCame();
    const bool beforeStart = startMs > now;
    holder.timeMs = beforeStart ? 0 : now;
    return beforeStart;
}

int Player::takeFrame(int *width, int *height, void *dest, int capacity, double *seconds) const
{
    FrameHolder &holder = frameHolder();
    QMutexLocker lock(&holder.mutex);
    const int bytes = holder.width * holder.height * 4;
    if (width)
        *width = holder.width;
    if (height)
        *height = holder.height;
    if (dest && bytes > 0 && capacity >= bytes)
        std::memcpy(dest, holder.pixels.data(), size_t(bytes));
    if (seconds)
        *seconds = bytes > 0 ? holder.timeMs / 1000.0 : 0.0;
    return bytes;
}
