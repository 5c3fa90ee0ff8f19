#include "StripDrawnState.h"

namespace {

bool sameMark(const InspectionLabel &a, const InspectionLabel &b)
{
    return a.Group == b.Group && a.Theme == b.Theme && a.TickQStart == b.TickQStart && a.TickQEnd == b.TickQEnd
           && a.TickAStart == b.TickAStart && a.TickAEnd == b.TickAEnd;
}

bool sameMarks(const QVector<InspectionLabel> &a, const QVector<InspectionLabel> &b)
{
    if (a.constData() == b.constData())
        return a.size() == b.size();
    return std::equal(a.cbegin(), a.cend(), b.cbegin(), b.cend(), sameMark);
}

bool sameLook(const ChannelLook &a, const ChannelLook &b)
{
    return a.enable == b.enable && a.penWidth == b.penWidth && a.color == b.color && a.tubeColor == b.tubeColor
           && a.amp2 == b.amp2 && a.filter == b.filter && a.filter2 == b.filter2 && a.inverse == b.inverse;
}

bool sameChannel(const StripDrawnState::Channel &a, const StripDrawnState::Channel &b)
{
    return sameLook(a.look, b.look) && a.offset == b.offset && a.amplify == b.amplify
           && a.sampleCount == b.sampleCount;
}

}  // namespace

StripDrawnState StripDrawnState::of(const Inspection::_Test *test, const QSize &size, qreal pixelRatio)
{
    StripDrawnState state;
    state.test = test;
    state.size = size;
    state.pixelRatio = pixelRatio;
    if (!test)
        return state;
    state.recorded = test->recorded;
    state.pause = test->ia.nIALength;
    state.labels = test->labels;
    state.labelsNULL = test->labelsNULL;
    for (int code = 0; code < ChannelCode::Count; ++code) {
        const InspectionChannel &record = test->channel(code);
        const QVector<qint16> *samples = test->samples(code);
        state.channels[code] = {ChannelLook(record), record.Offset, record.Amplify, samples ? samples->size() : 0};
    }
    return state;
}

bool StripDrawnState::operator==(const StripDrawnState &other) const
{
    return test == other.test && size == other.size && pixelRatio == other.pixelRatio && recorded == other.recorded
           && pause == other.pause && sameMarks(labels, other.labels) && sameMarks(labelsNULL, other.labelsNULL)
           && std::equal(channels.cbegin(), channels.cend(), other.channels.cbegin(), sameChannel);
}
