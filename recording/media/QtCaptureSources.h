#pragma once

#include "recording/media/CaptureSources.h"

#include <memory>

class QAudioInput;
class QCamera;

// The machine's camera and microphone through Qt Multimedia.
class QtCaptureSources : public CaptureSources
{
public:
    QtCaptureSources();
    ~QtCaptureSources() override;

    bool startCamera(const QString &cameraName, QAbstractVideoSurface *surface) override;
    void stopCamera() override;
    QIODevice *startMicrophone(const QString &microphoneName, const QAudioFormat &wanted,
                               QAudioFormat *actual) override;
    void stopMicrophone() override;

private:
    std::unique_ptr<QCamera> m_camera;
    std::unique_ptr<QAudioInput> m_microphone;
};
