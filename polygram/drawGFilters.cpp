// The filters a channel's curve is drawn through, as running window sums.
#include "drawG.h"

#include "ChannelLook.h"

#include <cmath>

namespace {

qint16 toSample(double value)
{
    return qint16(qBound(-32768.0, std::trunc(value), 32767.0));
}

}  // namespace

// The buffer a curve is drawn from: filter 1 for pulse, pressure and the extra
// channel, filter 2 for pressure alone, else the samples as they are. Filtered
// buffers hold values only at the positions first..last-1, which the curve shows.
QVector<qint16> drawG::filteredSamples(const InspectionChannel &record, const ChannelLook &look,
                                       const QVector<qint16> &samples, int first, int last)
{
    const bool baselineChannel =
        record.Kod == ChannelCode::PG || record.Kod == ChannelCode::AD || record.Kod == ChannelCode::ADVANCED;
    QVector<qint16> buffer;
    if (look.filter && baselineChannel) {
        buffer.fill(0, samples.size());
        removeBaseline(samples.constData(), buffer.data(), samples.size(), first, last);
    } else if (!look.filter && look.filter2 && record.Kod == ChannelCode::AD) {
        buffer.fill(0, samples.size());
        movingAverage(samples.constData(), buffer.data(), samples.size(), first, last);
    } else {
        copySamples(buffer, samples);
    }
    return buffer;
}

void drawG::removeBaseline(const qint16 *src, qint16 *dst, int n)
{
    removeBaseline(src, dst, n, 0, n);
}

void drawG::movingAverage(const qint16 *src, qint16 *dst, int n)
{
    movingAverage(src, dst, n, 0, n);
}

// Running window sums: sums of int16 are exact, so each value equals the
// sum over its whole window as the plain formula takes it.
void drawG::removeBaseline(const qint16 *src, qint16 *dst, int n, int first, int last)
{
    if (n <= 0)
        return;
    qint64 total = 0;
    for (int i = 0; i < n; ++i)
        total += src[i];
    const double mean = double(total) / n;
    first = qMax(first, 15);
    last = qMin(last, n);
    if (first >= last)
        return;
    // The window of i is src[i - 15 .. i + 14], cut at the buffer's end; the
    // divisor stays 30 there, as it does for short buffers.
    qint64 window = 0;
    for (int i = first - 15; i < qMin(first + 15, n); ++i)
        window += src[i];
    for (int i = first; i < last; ++i) {
        const double average = double(window) / 30.0;
        dst[i] = toSample(src[i] - average + mean);
        window -= src[i - 15];
        if (i + 15 < n)
            window += src[i + 15];
    }
}

void drawG::movingAverage(const qint16 *src, qint16 *dst, int n, int first, int last)
{
    // dst[j] is the mean of src[j - 50 .. j + 49].
    first = qMax(first, 50);
    last = qMin(last, n - 50);
    if (first >= last)
        return;
    qint64 window = 0;
    for (int i = first - 50; i < first + 50; ++i)
        window += src[i];
    for (int j = first; j < last; ++j) {
        if (j > first)
            window += src[j + 49] - src[j - 51];
        dst[j] = toSample(double(window) / 100.0);
    }
}

void drawG::copySamples(QVector<qint16> &dst, const QVector<qint16> &src)
{
    dst = src;
}
