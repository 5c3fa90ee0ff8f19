#include "CEtica.h"

#include "CEticaBreathing.h"
#include "CEticaPulse.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Spread {
    double mean = 0.0;
    double deviation = 0.0;  // population standard deviation
};

Spread spreadOf(const std::vector<double> &values)
{
    Spread spread;
    for (double value : values)
        spread.mean += value;
    spread.mean /= double(values.size());
    double squares = 0.0;
    for (double value : values)
        squares += (value - spread.mean) * (value - spread.mean);
    spread.deviation = std::sqrt(squares / double(values.size()));
    return spread;
}

}  // namespace

// The running measures of the three channels, updated sample by sample in the
// order pulse, breathing, skin-galvanic.
class CEtica::Channels
{
public:
    Channels(const CEticaInput &input, int analysisLength)
        : m_input(input)
        , m_breathing(analysisLength)
    {
    }

    void update(qint64 position)
    {
        m_pulse.update(sample(CEticaInput::Pulse, position));
        m_breathing.update(sample(CEticaInput::Breathing, position));
        m_skinGalvanic.amplitude = sample(CEticaInput::SkinGalvanic, position);
    }

    Record record() const { return {m_pulse.measures(), m_breathing.measures(), m_skinGalvanic}; }

private:
    double sample(CEticaInput::Channel channel, qint64 position) const
    {
        return m_input.samples[size_t(channel)][int(position)];
    }

    const CEticaInput &m_input;
    CEticaPulse m_pulse;
    CEticaBreathing m_breathing;
    CEticaMeasures m_skinGalvanic;
};

CEtica::CEtica(const CEticaInput &input, const InspectionAnalysisInterval &interval)
    : m_input(input)
    , m_analysisLength(interval.lengthTicks())
    , m_recordCapacity(m_analysisLength / eticaDecimationStep)
    , m_rangeBegin(int(interval.nIABegin) * 20 / eticaDecimationStep)
    , m_rangeEnd(int(interval.nIAEnd) * 20 / eticaDecimationStep)
{
}

CEtica::Outcome CEtica::run(QVector<Row> &rows) const
{
    rows.fill(Row{}, m_input.labelCount());
    if (m_input.hasNegativeSegment())
        return NegativeSegment;
    if (m_input.sampleCount() == 0)
        return EmptyChannel;
    // Without an analysis length no record is kept, so no label has features.
    if (m_analysisLength >= 1)
        walk(rows);
    return Evaluated;
}

// Warm-up up to the first question end, then label by label. The walk ends
// where the shortest channel ends; a label whose analysis length is not
// reached there keeps its zero row.
void CEtica::walk(QVector<Row> &rows) const
{
    const qint64 end = m_input.sampleCount();
    Channels channels(m_input, m_analysisLength);
    qint64 position = 0;
    for (; position < std::min<qint64>(m_input.firstQuestionEnd, end); ++position)
        channels.update(position);

    QVector<Record> records;
    records.reserve(m_recordCapacity);
    for (int label = 0; label < m_input.labelCount() && position < end; ++label) {
        const qint64 segmentEnd = std::min(position + m_input.segmentLengths[label], end);
        records.clear();
        for (int counter = 0; position < segmentEnd; ++position, ++counter) {
            channels.update(position);
            if (position % eticaDecimationStep == 0 && records.size() < m_recordCapacity)
                records.append(channels.record());
            if (counter == m_analysisLength)
                rows[label] = features(records);
        }
    }
}

// Over the records b ... e - 1 of the label, clamped to the records kept; an
// empty range leaves the row zero.
CEtica::Row CEtica::features(const QVector<Record> &records) const
{
    Row row{};
    const int begin = std::max(m_rangeBegin, 0);
    const int end = std::min(m_rangeEnd, int(records.size()));
    if (begin >= end)
        return row;

    const auto spread = [&](CEticaInput::Channel channel, double CEticaMeasures::*measure) {
        std::vector<double> values;
        values.reserve(size_t(end - begin));
        for (int k = begin; k < end; ++k)
            values.push_back(records[k][size_t(channel)].*measure);
        return spreadOf(values);
    };
    const auto putChannel = [&](CEticaInput::Channel channel, int first) {
        double CEticaMeasures::*const measures[] = {&CEticaMeasures::amplitude, &CEticaMeasures::period,
                                                    &CEticaMeasures::level};
        for (int kind = 0; kind < 3; ++kind) {
            const Spread s = spread(channel, measures[kind]);
            row[size_t(first + kind)] = s.deviation;
            row[size_t(first + 3 + kind)] = s.mean;
        }
    };
    putChannel(CEticaInput::Pulse, 0);
    putChannel(CEticaInput::Breathing, 6);
    const Spread skinGalvanic = spread(CEticaInput::SkinGalvanic, &CEticaMeasures::amplitude);
    row[12] = skinGalvanic.deviation;
    row[13] = skinGalvanic.mean;
    return row;
}
