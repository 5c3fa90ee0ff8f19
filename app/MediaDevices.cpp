#include "app/MediaDevices.h"

#include "app/SystemMediaDevices.h"

MediaDevices::~MediaDevices() = default;

const MediaDevices &MediaDevices::system()
{
    static const SystemMediaDevices devices;
    return devices;
}
