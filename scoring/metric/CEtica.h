#pragma once

#include "CEticaInput.h"
#include "CEticaMeasures.h"
#include "data/InspectionAnalysisInterval.h"

#include <QVector>

#include <array>

// Fourteen reaction features per label of one test, from its pulse, breathing
// and skin-galvanic channels: running measures of each channel are recorded
// every half second after the label's question end and, once the analysis
// length has passed, reduced to means and standard deviations over the
// analysis interval.
class CEtica
{
public:
    static constexpr int featureCount = 14;
    // Pulse 0-5 and breathing 6-11: deviations of amplitude, period, level, then
    // their means; skin-galvanic 12-13: deviation and mean of its level.
    using Row = std::array<double, featureCount>;

    enum Outcome {
        Evaluated,        // every label whose analysis length was reached has features
        EmptyChannel,     // a channel has no samples: all rows zero
        NegativeSegment,  // marks out of order: refused, all rows zero
    };

    CEtica(const CEticaInput &input, const InspectionAnalysisInterval &interval);

    // One zero-filled row per label, filled where the label could be evaluated.
    Outcome run(QVector<Row> &rows) const;

    int analysisLength() const { return m_analysisLength; }
    int recordCapacity() const { return m_recordCapacity; }  // for tests
    int rangeBegin() const { return m_rangeBegin; }  // for tests
    int rangeEnd() const { return m_rangeEnd; }  // for tests

private:
    using Record = std::array<CEticaMeasures, CEticaInput::ChannelCount>;
    class Channels;

    void walk(QVector<Row> &rows) const;
    Row features(const QVector<Record> &records) const;

    CEticaInput m_input;
    int m_analysisLength;
    int m_recordCapacity;
    int m_rangeBegin;
    int m_rangeEnd;
};
