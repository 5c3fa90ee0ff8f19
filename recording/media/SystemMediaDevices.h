#pragma once

#include "recording/media/MediaDevices.h"

// Cameras and microphones as Qt Multimedia reports them.
class SystemMediaDevices : public MediaDevices
{
public:
    Camera defaultCamera() const override;
    QVector<Camera> cameras() const override;
    QVector<AudioInput> audioInputs() const override;
};
