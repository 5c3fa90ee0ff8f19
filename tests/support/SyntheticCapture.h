#pragma once

#include "recording/media/CaptureSources.h"

#include <QElapsedTimer>
#include <QImage>
#include <QVideoSurfaceFormat>

#include <memory>

class QTimer;
class SyntheticMicrophone;

// A camera and a microphone without hardware. The test presents frames and
// feeds sound itself, or lets them run in real time: moving noisy pictures
// at 25 per second and a tone of known amplitude.
class SyntheticCapture : public CaptureSources
{
public:
    SyntheticCapture();
    ~SyntheticCapture() override;

    void setCamera(bool present);
    void setMicrophone(bool present, const QAudioFormat &format = QAudioFormat());
    // With an amplitude the sources run by themselves once started.
    void setRealTime(int amplitude);

    bool startCamera(const QString &cameraName, QAbstractVideoSurface *surface) override;
    void stopCamera() override;
    QIODevice *startMicrophone(const QString &microphoneName, const QAudioFormat &wanted,
                               QAudioFormat *actual) override;
    void stopMicrophone() override;

    void present(const QImage &image,
                 QVideoSurfaceFormat::Direction direction = QVideoSurfaceFormat::TopToBottom);
    void feed(const QByteArray &sound);
    QString cameraAsked() const;
    QString microphoneAsked() const;

    // A 640 x 480 picture: a bar that moves with index over noise.
    static QImage movingPicture(int index, QSize size = QSize(640, 480));
    // Samples of a 440 Hz tone in the format, from sample start on.
    static QByteArray tone(int samples, int amplitude, qint64 start, const QAudioFormat &format);
    static QAudioFormat monoFormat(int rate = 22050, int channels = 1);

private:
    void tick();

    bool m_hasCamera = true;
    bool m_hasMicrophone = true;
    QAudioFormat m_format;
    int m_amplitude = 0;
    QAbstractVideoSurface *m_surface = nullptr;
    std::unique_ptr<SyntheticMicrophone> m_microphone;
    std::unique_ptr<QTimer> m_timer;
    QElapsedTimer m_clock;
    qint64 m_samplesFed = 0;
    int m_framesShown = 0;
    QString m_cameraAsked;
    QString m_microphoneAsked;
};
