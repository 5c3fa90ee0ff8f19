#pragma once

#include "data/ChannelUI.h"
#include "data/GenericSettings.h"
#include "polygram/RenderPath.h"

// What the program does at start before any screen exists: the render path
// chosen, the channel display table loaded and the settings file written with
// its defaults.
inline void prepareLikeTheProgram()
{
    RenderPath::decide();
    initChannelsUI();
    GenericSettings settings;
    settings.load();
    settings.save();
}
