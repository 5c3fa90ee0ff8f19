#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <memory>

class PlainFile;
class QMediaPlayer;

// Says, once for each file, that a test's video cannot be played: the file is
// no regular file of a size the program takes, the back end refuses it, or it
// gives no frame. A file that gave frames plays on as far as it can, untold. The file is checked without waiting and without following a
// link, and the player is given the checked file itself.
class VideoTrouble : public QObject
{
    Q_OBJECT

public:
    // Larger than any recording the program makes.
    static constexpr qint64 kMaxVideoBytes = qint64(64) << 30;
    // Long enough for a busy machine's first frame.
    static constexpr int kNoFrameMs = 10000;

    explicit VideoTrouble(QObject *parent = nullptr);
    ~VideoTrouble() override;

    // Watches the player's errors for every file it is given from now on.
    void watch(QMediaPlayer *player);
    // Checks the file for a new playback; the path to give the player (the
    // checked file itself) or, when it cannot be played, empty, and told so.
    QString check(const QString &path);
    // A frame came: the file plays.
    void frameCame();
    static QString sentence(const QString &cause);

signals:
    // Queued: never inside the call that found it.
    void unplayable(const QString &text);

private:
    void tell(const QString &cause);

    QMediaPlayer *m_player = nullptr;
    std::unique_ptr<PlainFile> m_file;
    QTimer m_noFrame;
    bool m_told = false;
    // Set by the back end's thread where it presents frames.
    std::atomic<bool> m_framed{false};
};
