#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

// The video of a recorded test as its playback steers it. Made and deleted on
// the GUI thread; the other calls may come from any thread.
class VideoPlayer
{
public:
    virtual ~VideoPlayer() = default;

    // Told, once and on the thread the player was made on, when the video
    // cannot be played or gives no frame: the sentence for the examiner.
    using Unplayable = std::function<void(const QString &text)>;

    // Plays the file from startMs; a file that cannot be played is told, never waited on.
    virtual void open(const QString &path, qint64 startMs, const Unplayable &unplayable) = 0;
    virtual void seek(qint64 ms) = 0;
    virtual void setPaused(bool paused) = 0;
    virtual void stop() = 0;
    // Writes the latest frame's width and height (0 while none has come) and
    // its time; copies its 4-byte pixels into dest only when they fit capacity.
    // Returns the frame's size in bytes.
    virtual int takeFrame(int *width, int *height, void *dest, int capacity, double *seconds) const = 0;
};
