#include "CEticaPulse.h"

#include <cmath>

void CEticaPulse::update(double x)
{
    const double filtered = lowPassFilterA(m_filter, x);
    const double difference = filtered - m_previousFiltered;
    m_previousFiltered = filtered;

    ++m_beatSamples;
    m_deviationSum += std::abs(x - m_measures.level);
    if (m_previousDifference * difference < 0.0 && difference >= 0.0)
        startBeat(x);
    m_previousDifference = difference;
}

void CEticaPulse::startBeat(double x)
{
    m_measures.period = m_beatSamples;
    m_measures.amplitude = m_deviationSum / m_beatSamples;
    m_measures.level = x;
    m_beatSamples = 0;
    m_deviationSum = 0.0;
}
