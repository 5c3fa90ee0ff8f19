#pragma once

#include "ChannelLook.h"
#include "data/ChannelCode.h"
#include "data/Inspection.h"

#include <QSize>
#include <QVector>

#include <array>

// What a squeezed whole-test picture depends on, taken when it is drawn and
// compared at each paint: the marks share their arrays with the test's, so an
// unchanged test compares in a few steps.
struct StripDrawnState {
    struct Channel {
        ChannelLook look{InspectionChannel{}};
        double offset = 0.0;
        double amplify = 0.0;
        int sampleCount = 0;
    };

    const Inspection::_Test *test = nullptr;
    QSize size;
    qreal pixelRatio = 1.0;
    bool recorded = false;
    double pause = 0.0;
    QVector<InspectionLabel> labels;
    QVector<InspectionLabel> labelsNULL;
    std::array<Channel, ChannelCode::Count> channels;

    static StripDrawnState of(const Inspection::_Test *test, const QSize &size, qreal pixelRatio);
    bool operator==(const StripDrawnState &other) const;
    bool operator!=(const StripDrawnState &other) const { return !(*this == other); }
};
