#pragma once

#include "CEticaMeasures.h"
#include "data/FilterState.h"

#include <array>
#include <vector>

// Cycle detector and window statistics of the breathing channel. A cycle starts
// where the low-passed breathing turns upwards, unless that comes sooner than
// half the mean of the last three cycles. Every tenth sample the last cycle's
// length of raw samples gives the level (mean), the amplitude (mean absolute
// deviation) and the period measure (line length per sample over amplitude).
class CEticaBreathing
{
public:
    // The ring keeps the last windowLength samples (at least one).
    explicit CEticaBreathing(int windowLength);

    void update(double x);
    const CEticaMeasures &measures() const { return m_measures; }
    // The last three accepted cycle lengths, oldest first.
    const std::array<int, 3> &cycleLengths() const { return m_cycles; }  // for tests

private:
    void detectCycle(double x);
    void store(double x);
    double slot(int index) const;
    void evaluateWindow();

    int m_windowLength;
    FilterState m_filter;
    double m_previousFiltered = 0.0;
    double m_previousDifference = 0.0;
    int m_sinceCycleStart = 0;
    std::array<int, 3> m_cycles{};
    std::vector<double> m_ring;
    int m_write = 0;
    int m_phase = 0;
    CEticaMeasures m_measures;
};
