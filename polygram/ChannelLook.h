#pragma once

#include "data/InspectionChannel.h"

#include <QColor>

// The display settings a channel record points at, read once. A record not yet
// bound to the display table reads as hidden, unfiltered and black.
struct ChannelLook {
    explicit ChannelLook(const InspectionChannel &record);

    bool enable = false;
    int penWidth = 1;
    QColor color = Qt::black;
    QColor tubeColor = Qt::white;
    bool amp2 = false;
    bool filter = false;
    bool filter2 = false;
    bool inverse = false;
};
