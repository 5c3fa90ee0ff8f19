#pragma once

#include "data/ChannelCode.h"

#include <QtGlobal>

#include <array>

// One sample of every channel, indexed by ChannelCode. The caller clears it before
// each readFrame; a device writes only the codes its unit delivers.
using SensorFrame = std::array<qint16, ChannelCode::Count>;
