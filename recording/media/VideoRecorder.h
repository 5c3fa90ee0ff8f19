#pragma once

#include <QString>

// The camera and microphone recorder as its users see it: the acquisition of
// a new recording, the photo dialog and the pre-test conversation.
class VideoRecorder
{
public:
    virtual ~VideoRecorder() = default;

    // Starts capturing from the named camera and microphone, writing the video
    // file at path; with an empty path only frames, clock and level run.
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

    // Whether a speech file is open.
    virtual bool isRecording() const = 0;
    // Opens a speech file that takes the recording's sound from now on; the
    // result of writing its header, negative on failure.
    virtual int openAudioFile(const QString &file) = 0;
    // Closes the speech file, when one is open.
    virtual void closeOutput() = 0;
};
