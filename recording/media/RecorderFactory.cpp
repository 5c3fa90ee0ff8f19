#include "recording/media/RecorderFactory.h"

#include "recording/media/CaptureSources.h"
#include "recording/media/MMRecorder.h"
#include "recording/media/MediaDevices.h"

namespace {

RecorderFactory::Maker &installedMaker()
{
    static RecorderFactory::Maker maker;
    return maker;
}

} // namespace

std::unique_ptr<VideoRecorder> RecorderFactory::make(int quality)
{
    if (installedMaker())
        return installedMaker()(quality);
    return std::make_unique<MMRecorder>(quality);
}

void RecorderFactory::install(Maker maker) { installedMaker() = std::move(maker); }

bool RecorderFactory::cameraListed()
{
    return installedMaker() || !MediaDevices::system().cameras().isEmpty();
}
