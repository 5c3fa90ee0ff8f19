#pragma once

#include <QVector>
#include <QtGlobal>

// The per-frame arithmetic of the channel alignment: keeps each delivered
// channel's raw values and derives from them a baseline and the deviation from
// it. ПГ and Доп. канал take the mean of the previous 16 frames through a
// 16-point transform; the others a 250-frame ring mean.
class AlignmentSignal
{
public:
    static constexpr int RingLength = 250;
    static constexpr int SpectrumLength = 16;

    explicit AlignmentSignal(int frameLimit);

    int frameLimit() const { return m_frameLimit; }
    // Sizes the buffers of the delivered codes once and clears the ring.
    void start(const QVector<int> &deliveredCodes);
    bool delivers(int code) const;
    // The value v of a delivered code at frame n (0 <= n < frameLimit).
    void addValue(int n, int code, qint16 v);

    const QVector<qint16> &baseline(int code) const { return m_baseline.at(code); }
    const QVector<qint16> &deviation(int code) const { return m_deviation.at(code); }

    // In-place 16-point DFT in single precision: flag -1 forward unscaled,
    // 1 inverse scaled by 1/16, any other forward scaled by 1/16. Always true.
    static bool fft16(float re[SpectrumLength], float im[SpectrumLength], int flag);

private:
    static bool usesSpectrum(int code);
    static qint16 truncated(double value);
    void splitBySpectrum(int n, int code);
    void splitByRingMean(int n, int code, qint16 v);

    int m_frameLimit;
    QVector<QVector<qint16>> m_raw;
    QVector<QVector<qint16>> m_ring;
    QVector<QVector<qint16>> m_deviation;
    QVector<QVector<qint16>> m_baseline;
};
