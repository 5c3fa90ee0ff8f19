#include "recording/media/VideoTrouble.h"

#include "data/PlainFile.h"

#include <QMediaPlayer>

VideoTrouble::VideoTrouble(QObject *parent)
    : QObject(parent)
{
    m_noFrame.setSingleShot(true);
    m_noFrame.setInterval(kNoFrameMs);
    connect(&m_noFrame, &QTimer::timeout, this, [this] {
        // A player held in pause before its first frame has not failed.
        if (!m_framed && m_player && m_player->state() == QMediaPlayer::PlayingState)
            tell(tr("за %1 с не показано ни одного кадра").arg(kNoFrameMs / 1000));
    });
}

VideoTrouble::~VideoTrouble() = default;

void VideoTrouble::watch(QMediaPlayer *player)
{
    m_player = player;
    connect(player, QOverload<QMediaPlayer::Error>::of(&QMediaPlayer::error), this, [this] {
        const QString words = m_player->errorString();
        tell(words.isEmpty() ? tr("ошибка воспроизведения") : words);
    });
    connect(player, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::InvalidMedia)
            tell(m_player->errorString().isEmpty() ? tr("формат файла не распознан") : m_player->errorString());
        else if (status == QMediaPlayer::EndOfMedia && !m_framed)
            tell(tr("в файле нет ни одного кадра"));
    });
}

QString VideoTrouble::check(const QString &path)
{
    m_told = false;
    m_framed = false;
    m_noFrame.stop();
    m_file = std::make_unique<PlainFile>(path, kMaxVideoBytes);
    if (!m_file->isOpen() || m_file->size() == 0) {
        tell(m_file->isOpen() ? tr("файл пуст") : m_file->refusal());
        return QString();
    }
    m_noFrame.start();
    return m_file->heldPath();
}

void VideoTrouble::frameCame() { m_framed = true; }

QString VideoTrouble::sentence(const QString &cause)
{
    return tr("Видеозапись теста не воспроизводится: %1").arg(cause);
}

void VideoTrouble::tell(const QString &cause)
{
    if (m_told || m_framed)
        return;
    m_told = true;
    m_noFrame.stop();
    const QString text = sentence(cause);
    QMetaObject::invokeMethod(this, [this, text] { emit unplayable(text); }, Qt::QueuedConnection);
}
