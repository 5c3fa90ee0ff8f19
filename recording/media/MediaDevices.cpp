#include "recording/media/MediaDevices.h"

#include "recording/media/SystemMediaDevices.h"

MediaDevices::~MediaDevices() = default;

const MediaDevices &MediaDevices::system()
{
    static const SystemMediaDevices devices;
    return devices;
}
