#include "CEticaInput.h"

#include <algorithm>

int CEticaInput::sampleCount() const
{
    int count = samples[0].size();
    for (const QVector<qint16> &channel : samples)
        count = std::min(count, int(channel.size()));
    return count;
}

bool CEticaInput::hasNegativeSegment() const
{
    return firstQuestionEnd < 0
        || std::any_of(segmentLengths.cbegin(), segmentLengths.cend(), [](qint32 length) { return length < 0; });
}
