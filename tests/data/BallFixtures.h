#pragma once

// Points entries for the tests of the points records and sums.
#include "data/Inspection.h"

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

}  // namespace BallFixtures
