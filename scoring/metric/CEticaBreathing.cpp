#include "CEticaBreathing.h"

#include <algorithm>
#include <cmath>

CEticaBreathing::CEticaBreathing(int windowLength)
    : m_windowLength(std::max(1, windowLength))
    , m_ring(size_t(m_windowLength), 0.0)
{
}

void CEticaBreathing::update(double x)
{
    ++m_sinceCycleStart;
    m_phase = (m_phase + 1) % eticaDecimationStep;
    detectCycle(x);
    store(x);
    if (m_phase == 0)
        evaluateWindow();
}

void CEticaBreathing::detectCycle(double x)
{
    const double filtered = lowPassFilterB(m_filter, x);
    const double difference = filtered - m_previousFiltered;
    // Integer division of the integer lengths: a sixth of the three summed.
    const int shortest = (m_cycles[0] + m_cycles[1] + m_cycles[2]) / 6;
    if (difference > 0.0 && m_previousDifference <= 0.0 && m_sinceCycleStart > shortest) {
        m_cycles = {m_cycles[1], m_cycles[2], m_sinceCycleStart};
        m_sinceCycleStart = 0;
    }
    if (m_cycles[2] == 0)
        m_cycles[2] = 1;
    m_previousDifference = difference;
    m_previousFiltered = filtered;
}

void CEticaBreathing::store(double x)
{
    if (m_write == m_windowLength)
        m_write = 0;
    m_ring[size_t(m_write++)] = x;
}

// The window reaches from the write index back; index W is the slot the ring
// writes next, slot 0.
double CEticaBreathing::slot(int index) const
{
    if (index < 0)
        index += m_windowLength;
    else if (index == m_windowLength)
        index = 0;
    return m_ring[size_t(index)];
}

void CEticaBreathing::evaluateWindow()
{
    m_cycles[2] = std::min(m_cycles[2], m_windowLength);
    const int length = m_cycles[2];  // at least 1: a zero cycle became 1

    double sum = 0.0;
    for (int k = 0; k < length; ++k)
        sum += slot(m_write - k);
    const double mean = sum / length;

    double deviationSum = 0.0;
    for (int k = 0; k < length; ++k)
        deviationSum += std::abs(slot(m_write - k) - mean);
    double deviation = deviationSum / length;
    if (deviation <= 0.0)
        deviation = 1.0;

    double lineLength = 0.0;
    for (int k = 1; k <= length; ++k)
        lineLength += std::abs(slot(m_write - k) - slot(m_write - k + 1));
    const double index = (64.0 * lineLength / length) / deviation;

    m_measures.amplitude = deviation;
    m_measures.period = std::min(index, double(m_windowLength));
    m_measures.level = mean;
}
