#pragma once

#include "recording/media/MediaDevices.h"

// Cameras and microphones a test makes up.
class FakeMediaDevices : public MediaDevices
{
public:
    Camera standard;
    QVector<Camera> all;
    QVector<AudioInput> inputs;

    Camera defaultCamera() const override { return standard; }
    QVector<Camera> cameras() const override { return all; }
    QVector<AudioInput> audioInputs() const override { return inputs; }
};
