#include "BallValuationSums.h"

#include "InspectionTest.h"

namespace {

// Calls visit for every entry of the map that is in use and not in a disabled
// presentation, presentations and questions in ascending order.
template<typename Visit>
void forEachCountedEntry(const InspectionTest &test, const BallValuationMap &scale, Visit visit)
{
    for (const QMap<qint32, InspectionBallValuation> &questions : scale) {
        for (const InspectionBallValuation &entry : questions) {
            if (entry.bEnable && !test.valuationBall_GroupsDisabled.contains(entry.iGroup))
                visit(entry);
        }
    }
}

// The channel's scores of the counted entries that the filter takes.
template<typename Filter>
int sumChannel(const InspectionTest &test, const BallValuationMap &scale, int channel, Filter takes)
{
    quint32 sum = 0;  // wraps like 32-bit integers instead of overflowing
    forEachCountedEntry(test, scale, [&](const InspectionBallValuation &entry) {
        if (takes(entry))
            sum += quint32(entry.score(channel));
    });
    return qint32(sum);
}

// The entry's weighted scores added to sum, КГР, ПГ, Дых in turn, each score
// converted to float before its product.
float addWeighted(float sum, const InspectionBallValuation &entry, const float *weights)
{
    sum = sum + float(entry.GSRPar) * weights[0];
    sum = sum + float(entry.FPGPar) * weights[1];
    return sum + float(entry.nRG) * weights[2];
}

}  // namespace

int sumBallByQuest(const InspectionTest &test, const BallValuationMap &scale, int quest, int channel)
{
    return sumChannel(test, scale, channel,
                      [quest](const InspectionBallValuation &entry) { return entry.iQuest == quest; });
}

int sumBallByGroup(const InspectionTest &test, const BallValuationMap &scale, int group, int channel)
{
    return sumChannel(test, scale, channel, [group](const InspectionBallValuation &entry) {
        return entry.iQuest >= 0 && (group < 0 || entry.iGroup == group);
    });
}

float weightedBallSum(const InspectionTest &test, const BallValuationMap &scale, int quest, int group)
{
    float sum = 0.0f;
    forEachCountedEntry(test, scale, [&](const InspectionBallValuation &entry) {
        if (entry.iQuest == quest && entry.iGroup == group)
            sum = addWeighted(sum, entry, test.valuationBall_ChannelK);
    });
    return sum;
}

float sumBallMap(const InspectionTest &test, const BallValuationMap &scale, int group, int quest)
{
    const float *weights = test.valuationBall_ChannelK;
    float sum = 0.0f;
    forEachCountedEntry(test, scale, [&](const InspectionBallValuation &entry) {
        if (entry.iQuest != quest || (group >= 0 && entry.iGroup != group))
            return;
        const float pulseAndSkin = float(entry.FPGPar) * weights[1] + float(entry.GSRPar) * weights[0];
        sum = sum + (pulseAndSkin + float(entry.nRG) * weights[2]);
    });
    return sum;
}

QVector<float> weightedBallTable(const InspectionTest &test, const BallValuationMap &scale, int quests, int presentations)
{
    QVector<float> table(qMax(0, quests) * qMax(0, presentations), 0.0f);
    forEachCountedEntry(test, scale, [&](const InspectionBallValuation &entry) {
        if (entry.iQuest < 0 || entry.iQuest >= quests || entry.iGroup < 1 || entry.iGroup > presentations)
            return;
        float &sum = table[entry.iQuest * presentations + entry.iGroup - 1];
        sum = addWeighted(sum, entry, test.valuationBall_ChannelK);
    });
    return table;
}
