#pragma once

#include "data/GenericSettings.h"
#include "polygram/RenderPath.h"

// What the program does at start before the review screen exists: the render
// path chosen and the settings file written with its defaults.
inline void prepareLikeTheProgram()
{
    RenderPath::decide();
    GenericSettings settings;
    settings.load();
    settings.save();
}
