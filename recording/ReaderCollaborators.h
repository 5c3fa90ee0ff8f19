#pragma once

#include <QString>

#include <functional>
#include <memory>

class QMutex;
class QObject;
class TickSource;
class VideoPlayer;
class VideoRecorder;

// What the sensor reader needs from outside; the defaults are the program's own.
struct ReaderCollaborators
{
    // null: the reader's own 50 ms timer thread
    TickSource *ticks = nullptr;
    // empty: the program's folder
    QString pluginFolder;
    // The camera recorder of the given quality; empty: the recorder factory's.
    // A recorder that is null means none is available.
    std::function<std::unique_ptr<VideoRecorder>(int quality)> makeRecorder;
    // null: the video-file player
    std::function<std::unique_ptr<VideoPlayer>()> makePlayer;
    // Told when a played test's video cannot be played; null: nobody.
    std::function<void(const QString &text)> videoUnplayable;
    // Where the end of the loop is posted; null: nowhere.
    QObject *loopEndReceiver = nullptr;
    // The lock of the test's mark lists; null: the reader's own.
    QMutex *markLock = nullptr;
};

