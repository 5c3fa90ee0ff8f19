#pragma once

#include "CEticaMeasures.h"
#include "data/FilterState.h"

// Beat detector of the pulse channel: a beat starts where the low-passed pulse
// turns upwards. Period is the beat's length in samples, amplitude the mean
// absolute deviation from the beat's start level, level that start level.
class CEticaPulse
{
public:
    void update(double x);
    const CEticaMeasures &measures() const { return m_measures; }

private:
    void startBeat(double x);

    FilterState m_filter;
    double m_previousFiltered = 0.0;
    double m_previousDifference = 0.0;
    int m_beatSamples = 0;
    double m_deviationSum = 0.0;
    CEticaMeasures m_measures;
};
