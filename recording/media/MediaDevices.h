#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The cameras and microphones the system offers, as the settings dialog lists
// them. Behind an interface so tests can offer devices a build machine lacks.
class MediaDevices
{
public:
    struct Camera {
        QString deviceName;
        QString description;
    };
    struct AudioInput {
        QString name;
        QStringList codecs;
    };

    virtual ~MediaDevices();

    // The system's default camera; both texts empty when there is none.
    virtual Camera defaultCamera() const = 0;
    // Every camera, in the system's order, the default one among them.
    virtual QVector<Camera> cameras() const = 0;
    // Every audio input device, in the system's order, with its supported codecs.
    virtual QVector<AudioInput> audioInputs() const = 0;

    // The devices of this machine, through Qt Multimedia.
    static const MediaDevices &system();
};
