#pragma once

#include "recording/media/VideoRecorder.h"

#include <QImage>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <functional>

// A camera and microphone without hardware: frames of the size the test sets,
// every byte the test's fill value, or the test's picture, on the test's clock
// and level. It notes the calls made to it, and writes a small file at each
// path it is to record into.
class FakeRecorder : public VideoRecorder
{
public:
    ~FakeRecorder() override;
    void start(const QString &path, const QString &camera, const QString &microphone) override;
    void stop() override;
    int takeFrame(int *width, int *height, void *dest, int capacity, double *seconds, double *level) override;
    bool wroteFile() const override;
    QString failure() const override;
    bool isRecording() const override;
    int openAudioFile(const QString &file) override;
    void closeOutput() override;

    void setFrame(int width, int height, char fill = 'v');
    // Frames of this picture from now on; a null image: no frame.
    void setImage(const QImage &image);
    void setClock(double seconds);
    void setLevel(double level);
    void setFailure(const QString &failure);
    // What openAudioFile answers from now on; negative: it fails.
    void setAudioFileResult(int result);
    QString path() const;
    // The speech files opened, in order.
    QStringList audioFiles() const;
    // "start <path>|<camera>|<microphone>", "stop", "openAudioFile <file>", "closeOutput".
    QStringList calls() const;
    // Told the calls when the recorder is destroyed by its owner.
    std::function<void(const QStringList &calls)> whenDestroyed;
    bool stopped() const;

private:
    mutable QMutex m_mutex;
    QString m_path;
    bool m_started = false;
    bool m_stopped = false;
    int m_width = 0;
    int m_height = 0;
    char m_fill = 'v';
    double m_seconds = 0.0;
    double m_level = 0.0;
    QString m_failure;
    int m_audioFileResult = 0;
    bool m_speechOpen = false;
    QStringList m_audioFiles;
    QImage m_image;
    QStringList m_calls;
};
