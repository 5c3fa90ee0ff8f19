#pragma once

// Points entries for the tests of the points records and sums.
#include "data/Inspection.h"

#include <QJsonArray>
#include <QJsonObject>

namespace BallFixtures {

inline Inspection::_BallValuation ball(int group, int quest, int gsr, int fpg, int rg, bool enabled = true)
{
    Inspection::_BallValuation entry;
    entry.iGroup = group;
    entry.iQuest = quest;
    entry.GSRPar = gsr;
    entry.FPGPar = fpg;
    entry.nRG = rg;
    entry.bEnable = enabled;
    return entry;
}

// Files the entry under the presentation and question it names itself.
inline void putBall(BallValuationMap &scale, const Inspection::_BallValuation &entry)
{
    scale[entry.iGroup][entry.iQuest] = entry;
}

// The scale's entries as JSON for the reference scripts, each with the
// presentation and question keys it lies under as "key".
inline QJsonArray entriesWithKeys(const BallValuationMap &scale)
{
    QJsonArray entries;
    for (auto group = scale.cbegin(); group != scale.cend(); ++group) {
        for (auto quest = group->cbegin(); quest != group->cend(); ++quest) {
            QJsonObject object;
            quest->toJson(object);
            object.insert("key", QJsonArray{group.key(), quest.key()});
            entries.append(object);
        }
    }
    return entries;
}

}  // namespace BallFixtures
