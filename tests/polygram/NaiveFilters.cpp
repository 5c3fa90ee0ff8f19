#include "NaiveFilters.h"

#include <cmath>

namespace {

qint16 saturated(double value)
{
    return qint16(qBound(-32768.0, std::trunc(value), 32767.0));
}

}  // namespace

void naiveRemoveBaseline(const qint16 *src, qint16 *dst, int n)
{
    if (n <= 0)
        return;
    double total = 0;
    for (int i = 0; i < n; ++i)
        total += src[i];
    const double mean = total / n;
    for (int i = 15; i < n; ++i) {
        double sum = 0;
        for (int j = i - 15; j < qMin(i + 15, n); ++j)
            sum += src[j];
        dst[i] = saturated(src[i] - sum / 30.0 + mean);
    }
}

void naiveMovingAverage(const qint16 *src, qint16 *dst, int n)
{
    if (n <= 100)
        return;
    for (int i = 0; i <= n - 101; ++i) {
        double sum = 0;
        for (int j = i; j < i + 100; ++j)
            sum += src[j];
        dst[i + 50] = saturated(sum / 100.0);
    }
}
