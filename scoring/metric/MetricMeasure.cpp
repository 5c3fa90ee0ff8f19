#include "MetricMeasure.h"

#include "data/ChannelSearchSeries.h"
#include "data/SignalAnalysis.h"

namespace {

constexpr int kKindLength = 4;
constexpr int kKindRate = 5;
// The filtered series of a rate trails the channel by this many samples.
constexpr int kRateShift = 10;

} // namespace

MetricMeasure::Geometry MetricMeasure::geometry(int eMet)
{
    switch (eMet) {
    case 2:
        return Vertical;
    case 3:
        return Free;
    default:
        return Horizontal;
    }
}

double MetricMeasure::valueToPanelY(const Inspection::_Test &test, int code, double value, int direction)
{
    if (code > 12)
        return value;
    const Inspection::_Channel &channel = test.channel(code);
    const double k = kPanelHeight / 500.0;
    const double offset = double(channel.Offset) * k;
    const double amplify = channel.Amplify == 0.0 ? 1.0 : double(channel.Amplify);
    double gain = 4096.0 / (amplify * k);
    if (channel.Inverse && *channel.Inverse)
        gain = -gain;
    if (direction == -1)
        return (kPanelHeight - value - offset) * gain;
    return kPanelHeight - (offset + value / gain);
}

int MetricMeasure::measuredValue(const Inspection::_Test &test, const Inspection::_MetricParam &param, int tickQStart,
                                 const QPointF &first, const QPointF &second)
{
    const int start = tickQStart + int(first.x());
    const int count = int(second.x()) - int(first.x());
    const QVector<qint16> *samples = test.samples(param.nKodChannel);
    switch (param.eMet) {
    case kKindLength:
        return samples && count > 0 ? sumAbsDifferences(*samples, start, count) : 0;
    case kKindRate:
        if (!samples || count <= 0)
            return 0;
        return meanExtremaInterval(channelSearchSeries(test, param.nKodChannel, SeriesFilter::LowPassA, kRateShift, 0),
                                   start, count, -1);
    default:
        return pointDistance(first, second);
    }
}
