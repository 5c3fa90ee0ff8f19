#include "app/SplashPlayer.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QMediaPlayer>
#include <QMouseEvent>
#include <QScreen>
#include <QUrl>

namespace {

// Looking for a video sink, GStreamer's DRM sink opens display devices one after
// the other, seconds on a machine whose display is no DRM device. Ranked out
// before the first media object of the process exists; a ranking the user set wins.
void rankOutDisplayProbes()
{
    if (!qEnvironmentVariableIsSet("GST_PLUGIN_FEATURE_RANK"))
        qputenv("GST_PLUGIN_FEATURE_RANK", "kmssink:NONE");
}

}  // namespace

SplashPlayer::SplashPlayer(QWidget *parent)
    : QVideoWidget(parent)
{
    rankOutDisplayProbes();
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    // A splash still on screen must not hold the program open after the main window.
    setAttribute(Qt::WA_QuitOnClose, false);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        resize(sizeForScreen(screen->geometry().size()));
    // A coarse timer may fire up to 5 % late, past the promised limit.
    m_limit.setTimerType(Qt::PreciseTimer);
    m_limit.setSingleShot(true);
    m_limit.setInterval(MaxShowMs);
    connect(&m_limit, &QTimer::timeout, this, &SplashPlayer::finish);
}

SplashPlayer::~SplashPlayer()
{
    delete m_player;
}

QString SplashPlayer::videoPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/vugVORKEL.avi");
}

QSize SplashPlayer::sizeForScreen(const QSize &screen)
{
    const int h = screen.width() / 4;
    return QSize(16 * h / 9, h);
}

void SplashPlayer::play()
{
    play(videoPath());
}

void SplashPlayer::play(const QString &path)
{
    QFile file(path);
    if (m_player || !file.open(QIODevice::ReadOnly))
        return;
    file.close();

    m_player = new QMediaPlayer;
    m_player->setVideoOutput(this);
    m_player->setMedia(QUrl::fromLocalFile(path));
    connect(m_player, &QMediaPlayer::positionChanged, this, &SplashPlayer::positionChanged);
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::EndOfMedia || status == QMediaPlayer::InvalidMedia)
            finish();
    });
    connect(m_player, QOverload<QMediaPlayer::Error>::of(&QMediaPlayer::error), this, &SplashPlayer::finish);

    show();
    m_limit.start();
    m_player->play();
    m_player->setPlaybackRate(2.0);
}

void SplashPlayer::positionChanged(qlonglong progress)
{
    // The duration reads 0 until the back end knows it.
    const qint64 duration = m_player->duration();
    if (duration > 0 && progress >= duration)
        finish();
}

void SplashPlayer::mousePressEvent(QMouseEvent *event)
{
    // Clicks neither close the splash nor reach what lies below it.
    event->accept();
}

void SplashPlayer::finish()
{
    m_limit.stop();
    m_player->stop();
    close();
}
