#pragma once

#include "data/Inspection.h"

#include <QPointF>

// The arithmetic of a hand measurement: panel units against channel values,
// and the value a measurement window stands for.
class MetricMeasure
{
public:
    // Where the two corners of a measure kind may lie.
    enum Geometry {
        Horizontal,  // kinds 1, 4, 5: both corners at the first corner's y
        Vertical,    // kind 2: both at the first corner's x
        Free,        // kind 3
    };

    static constexpr double kPanelHeight = 550.0;

    static Geometry geometry(int eMet);
    // Panel y (0 at the top, kPanelHeight at the bottom) of a channel value,
    // or with direction -1 the channel value of a panel y. Codes above 12
    // pass unchanged; an amplification of 0 counts as 1.
    static double valueToPanelY(const Inspection::_Test &test, int code, double value, int direction);
    // Corners in samples from the question's start mark (x) and channel
    // values (y): kind 4 the signal length, kind 5 the rate of the filtered
    // channel, the others the distance of the corners.
    static int measuredValue(const Inspection::_Test &test, const Inspection::_MetricParam &param, int tickQStart,
                             const QPointF &first, const QPointF &second);
};
