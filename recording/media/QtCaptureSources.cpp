#include "recording/media/QtCaptureSources.h"

#include <QAudioDeviceInfo>
#include <QAudioInput>
#include <QCamera>
#include <QCameraInfo>
#include <QCameraViewfinderSettings>

namespace {

QCameraInfo cameraDescribed(const QString &description)
{
    const QList<QCameraInfo> cameras = QCameraInfo::availableCameras();
    for (const QCameraInfo &camera : cameras) {
        if (camera.description() == description)
            return camera;
    }
    return QCameraInfo::defaultCamera();
}

QAudioDeviceInfo microphoneNamed(const QString &name)
{
    const QList<QAudioDeviceInfo> devices = QAudioDeviceInfo::availableDevices(QAudio::AudioInput);
    for (const QAudioDeviceInfo &device : devices) {
        if (device.deviceName() == name)
            return device;
    }
    return QAudioDeviceInfo::defaultInputDevice();
}

} // namespace

QtCaptureSources::QtCaptureSources() = default;

QtCaptureSources::~QtCaptureSources()
{
    stopMicrophone();
    stopCamera();
}

bool QtCaptureSources::startCamera(const QString &cameraName, QAbstractVideoSurface *surface)
{
    const QCameraInfo info = cameraDescribed(cameraName);
    if (info.isNull())
        return false;
    m_camera = std::make_unique<QCamera>(info);
    if (!m_camera->isAvailable()) {
        m_camera.reset();
        return false;
    }
    m_camera->setViewfinder(surface);
    QCameraViewfinderSettings settings;
    settings.setResolution(640, 480);
    m_camera->setViewfinderSettings(settings);
    m_camera->start();
    return true;
}

void QtCaptureSources::stopCamera()
{
    if (m_camera)
        m_camera->stop();
    m_camera.reset();
}

QIODevice *QtCaptureSources::startMicrophone(const QString &microphoneName, const QAudioFormat &wanted,
                                             QAudioFormat *actual)
{
    const QAudioDeviceInfo device = microphoneNamed(microphoneName);
    if (device.isNull())
        return nullptr;
    const QAudioFormat format = device.isFormatSupported(wanted) ? wanted : device.nearestFormat(wanted);
    m_microphone = std::make_unique<QAudioInput>(device, format);
    QIODevice *input = m_microphone->start();
    if (!input || m_microphone->error() != QAudio::NoError) {
        m_microphone.reset();
        return nullptr;
    }
    *actual = m_microphone->format();
    return input;
}

void QtCaptureSources::stopMicrophone()
{
    if (m_microphone)
        m_microphone->stop();
    m_microphone.reset();
}
