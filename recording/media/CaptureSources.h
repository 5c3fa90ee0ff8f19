#pragma once

#include <QAudioFormat>
#include <QString>

class QAbstractVideoSurface;
class QIODevice;

// Where a recorder's pictures and sound come from: the machine's camera and
// microphone, or made-up ones. Called on the recorder's thread only.
class CaptureSources
{
public:
    virtual ~CaptureSources();

    // Starts delivering camera frames into surface; false when there is no camera.
    virtual bool startCamera(const QString &cameraName, QAbstractVideoSurface *surface) = 0;
    virtual void stopCamera() = 0;
    // Starts the microphone in pull mode and tells its actual format; null
    // when there is no microphone.
    virtual QIODevice *startMicrophone(const QString &microphoneName, const QAudioFormat &wanted,
                                       QAudioFormat *actual) = 0;
    virtual void stopMicrophone() = 0;
};
