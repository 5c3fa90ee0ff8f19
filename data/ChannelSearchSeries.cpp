#include "ChannelSearchSeries.h"

#include "DefChannel.h"
#include "FilterState.h"

#include <algorithm>

namespace {

qint16 toSample(double value)
{
    return qint16(std::clamp(value, -32768.0, 32767.0));
}

double filtered(FilterState &state, SeriesFilter filter, double x)
{
    switch (filter) {
    case SeriesFilter::LowPassA:
        return lowPassFilterA(state, x);
    case SeriesFilter::LowPassB:
        return lowPassFilterB(state, x);
    default:
        return x;
    }
}

} // namespace

int channelSearchDivisor(const InspectionTest &test)
{
    return isSixteenBitUnit(test.idsensor) ? 16 : 1;
}

QVector<qint16> channelSearchSeries(const InspectionTest &test, int code, SeriesFilter filter, int shift, int offset)
{
    const QVector<qint16> *samples = test.samples(code);
    if (!samples)
        return {};
    const double divisor = channelSearchDivisor(test);
    QVector<qint16> series(samples->size(), 0);
    FilterState state;
    const int placeShift = filter == SeriesFilter::None ? 0 : shift;
    for (int i = 0; i < samples->size(); ++i) {
        const double value = filtered(state, filter, (*samples)[i] / divisor);
        if (i >= placeShift)
            series[i - placeShift] = toSample(value + offset);
    }
    return series;
}
