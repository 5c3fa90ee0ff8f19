#include "AlignmentSignal.h"

#include "data/ChannelCode.h"

#include <cmath>
#include <utility>

AlignmentSignal::AlignmentSignal(int frameLimit)
    : m_frameLimit(frameLimit)
    , m_raw(ChannelCode::Count)
    , m_ring(ChannelCode::Count)
    , m_deviation(ChannelCode::Count)
    , m_baseline(ChannelCode::Count)
{
}

void AlignmentSignal::start(const QVector<int> &deliveredCodes)
{
    for (int code = 0; code < ChannelCode::Count; ++code) {
        const bool delivered = deliveredCodes.contains(code);
        m_raw[code].fill(0, delivered ? m_frameLimit : 0);
        m_ring[code].fill(0, delivered ? RingLength : 0);
        m_deviation[code].fill(0, delivered ? m_frameLimit : 0);
        m_baseline[code].fill(0, delivered ? m_frameLimit : 0);
    }
}

bool AlignmentSignal::delivers(int code) const
{
    return code >= 0 && code < ChannelCode::Count && !m_raw.at(code).isEmpty();
}

void AlignmentSignal::addValue(int n, int code, qint16 v)
{
    if (!delivers(code) || n < 0 || n >= m_frameLimit)
        return;
    m_ring[code][n % RingLength] = v;
    m_raw[code][n] = v;
    m_deviation[code][n] = v;
    m_baseline[code][n] = v;
    if (usesSpectrum(code)) {
        if (n > SpectrumLength)
            splitBySpectrum(n, code);
    } else {
        splitByRingMean(n, code, v);
    }
}

bool AlignmentSignal::usesSpectrum(int code)
{
    return code == 4 || code == 9;
}

// Toward zero, kept inside the sample range so an extreme swing cannot wrap.
qint16 AlignmentSignal::truncated(double value)
{
    const double t = std::trunc(value);
    return qint16(qBound(-32768.0, t, 32767.0));
}

// Splits the previous 16 frames into their constant part (baseline) and the rest;
// the deviation shown is the rest at the newest of those frames.
void AlignmentSignal::splitBySpectrum(int n, int code)
{
    float re[SpectrumLength];
    float im[SpectrumLength];
    for (int i = 0; i < SpectrumLength; ++i) {
        re[i] = m_raw.at(code).at(n - SpectrumLength + i);
        im[i] = 0.0f;
    }
    fft16(re, im, -1);
    float reA[SpectrumLength], imA[SpectrumLength], reB[SpectrumLength], imB[SpectrumLength];
    for (int i = 0; i < SpectrumLength; ++i) {
        reA[i] = i == 0 ? 0.0f : re[i];
        imA[i] = i == 0 ? 0.0f : im[i];
        reB[i] = i == 0 ? re[i] : 0.0f;
        imB[i] = i == 0 ? im[i] : 0.0f;
    }
    fft16(reA, imA, 1);
    fft16(reB, imB, 1);
    m_deviation[code][n] = truncated(reA[SpectrumLength - 1]);
    m_baseline[code][n] = truncated(reB[SpectrumLength - 1]);
}

void AlignmentSignal::splitByRingMean(int n, int code, qint16 v)
{
    double sum = 0.0;
    for (qint16 entry : m_ring.at(code))
        sum += entry;
    const double mean = sum / RingLength;
    m_baseline[code][n] = truncated(mean);
    m_deviation[code][n] = truncated(v - mean);
}

bool AlignmentSignal::fft16(float re[SpectrumLength], float im[SpectrumLength], int flag)
{
    static const float stepCos[4] = {0.9238795f, 0.70710677f, 0.0f, -1.0f};
    static const float stepSin[4] = {-0.38268343f, -0.70710677f, -1.0f, 0.0f};
    for (int stage = 0; stage < 4; ++stage) {
        const int span = SpectrumLength >> stage;
        const int half = span / 2;
        const float c = stepCos[stage];
        const float d = flag == 1 ? -stepSin[stage] : stepSin[stage];
        float wr = 1.0f;
        float wi = 0.0f;
        for (int j = 0; j < half; ++j) {
            for (int k = j; k < SpectrumLength; k += span) {
                const float ar = re[k], ai = im[k];
                const float br = re[k + half], bi = im[k + half];
                re[k] = ar + br;
                im[k] = ai + bi;
                const float dr = ar - br, di = ai - bi;
                re[k + half] = dr * wr - di * wi;
                im[k + half] = dr * wi + di * wr;
            }
            const float nr = wr * c - wi * d;
            wi = wr * d + wi * c;
            wr = nr;
        }
    }
    static const int pairs[6][2] = {{1, 8}, {2, 4}, {3, 12}, {5, 10}, {7, 14}, {11, 13}};
    for (const auto &pair : pairs) {
        std::swap(re[pair[0]], re[pair[1]]);
        std::swap(im[pair[0]], im[pair[1]]);
    }
    if (flag != -1) {
        for (int i = 0; i < SpectrumLength; ++i) {
            re[i] *= 0.0625f;
            im[i] *= 0.0625f;
        }
    }
    return true;
}
