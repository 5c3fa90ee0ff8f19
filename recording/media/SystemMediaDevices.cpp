#include "recording/media/SystemMediaDevices.h"

#include <QAudioDeviceInfo>
#include <QCameraInfo>

namespace {

MediaDevices::Camera cameraOf(const QCameraInfo &info) { return {info.deviceName(), info.description()}; }

}  // namespace

MediaDevices::Camera SystemMediaDevices::defaultCamera() const { return cameraOf(QCameraInfo::defaultCamera()); }

QVector<MediaDevices::Camera> SystemMediaDevices::cameras() const
{
    QVector<Camera> found;
    const QList<QCameraInfo> infos = QCameraInfo::availableCameras();
    for (const QCameraInfo &info : infos)
        found.append(cameraOf(info));
    return found;
}

QVector<MediaDevices::AudioInput> SystemMediaDevices::audioInputs() const
{
    QVector<AudioInput> found;
    const QList<QAudioDeviceInfo> infos = QAudioDeviceInfo::availableDevices(QAudio::AudioInput);
    // Without a sound server the list holds one null entry, no device at all.
    for (const QAudioDeviceInfo &info : infos) {
        if (!info.isNull())
            found.append({info.deviceName(), info.supportedCodecs()});
    }
    return found;
}
