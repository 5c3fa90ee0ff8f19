#pragma once

#include <QString>

// The camera and microphone recorder of a new recording as the acquisition
// sees it.
class VideoRecorder
{
public:
    virtual ~VideoRecorder() = default;

    // Starts writing the video file from the named camera and microphone.
    virtual void start(const QString &path, const QString &camera, const QString &microphone) = 0;
    // Ends the recording and waits until the file is closed.
    virtual void stop() = 0;
    // Writes the latest frame's width and height (0 while none has come), the
    // seconds recorded and the microphone level; copies the 4-byte pixels into
    // dest only when they fit capacity. Returns the frame's size in bytes.
    virtual int takeFrame(int *width, int *height, void *dest, int capacity, double *seconds, double *level) = 0;
    // Whether this run wrote its file.
    virtual bool wroteFile() const = 0;
    // What went wrong with the file, for the examiner; empty when nothing did.
    virtual QString failure() const = 0;
};
