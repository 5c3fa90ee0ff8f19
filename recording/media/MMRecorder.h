#pragma once

#include "recording/media/VideoRecorder.h"

#include <QAudioFormat>
#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QVector>

#include <atomic>
#include <memory>

class AviWriter;
class CaptureSources;
class QIODevice;
class QThread;
class SpeechFile;
struct SwrContext;

// Records camera and microphone into one video file on a thread of its own,
// and meanwhile offers the latest frame, its clock and the microphone level.
// The clock follows the file: sound samples kept since the first camera frame.
class MMRecorder : public QObject, public VideoRecorder
{
    Q_OBJECT

public:
    static constexpr int BlockBytes = 2048;
    static constexpr int ReadBytes = 4096;
    static constexpr int BufferBytes = 1048576;

    // Without sources the machine's camera and microphone are used.
    explicit MMRecorder(int quality, std::unique_ptr<CaptureSources> sources = nullptr);
    ~MMRecorder() override;

    // Names the file and devices of the next capture start without starting
    // the thread: for callers that run the slots on their own thread.
    void prepare(const QString &outputFile, const QString &cameraName, const QString &microphoneName);
    void start(const QString &outputFile, const QString &cameraName, const QString &microphoneName) override;
    void stop() override;
    int takeFrame(int *width, int *height, void *dest, int capacity, double *seconds, double *level) override;
    bool wroteFile() const override;
    QString failure() const override;

    bool isRecording() const override;
    int openAudioFile(const QString &file) override;
    void closeOutput() override;
    // Bytes of sound waiting for the next block.
    int bufferedBytes() const;  // for tests

public slots:
    void onStartedThread();
    void onFinishedThread();
    void onAudioReadyRead();

private:
    void openOutput();
    void releaseOutput();
    void startMicrophone();
    void readSound();
    void appendSound(const char *data, int bytes);
    void measureLevel();
    bool takeHolderFrame();
    void encodeBlock();
    bool videoAheadOfAudio() const;
    void setFailure(const QString &text);

    std::unique_ptr<CaptureSources> m_sources;
    bool m_ownsSurface = false;
    std::atomic<int> m_elapsedMs{0};
    std::atomic<double> m_level{0.0};
    int m_frameWidth = 0;
    QVector<quint32> m_pixels;
    QString m_outputFile;
    QString m_cameraName;
    QString m_microphoneName;
    QThread *m_thread = nullptr;
    QIODevice *m_audioDevice = nullptr;
    QAudioFormat m_microphoneFormat;
    SwrContext *m_converter = nullptr;
    int m_audioFill = 0;
    QByteArray m_audioBuffer;
    qint64 m_audioPts = 0;
    qint64 m_videoFrames = 0;
    std::unique_ptr<AviWriter> m_output;
    std::unique_ptr<SpeechFile> m_speech;
    mutable QMutex m_speechMutex;
    mutable QMutex m_resultMutex;
    bool m_wroteFile = false;
    QString m_failure;
    int m_quality;
};
