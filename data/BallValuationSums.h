#pragma once

#include "InspectionBallValuation.h"

#include <QVector>

struct InspectionTest;

// Sums over one scale map of a test's points. An entry is chosen by its own
// iGroup and iQuest, not by the keys it lies under; an entry not in use
// (bEnable false) or whose iGroup is a disabled presentation counts nowhere,
// as the scoring windows grey both.
// The channel group is 0 КГР, 1 ПГ or 2 Дых; any other gives a sum of 0.

// The channel's scores of question quest over all presentations.
int sumBallByQuest(const InspectionTest &test, const BallValuationMap &scale, int quest, int channel);

// The channel's scores in presentation group, or in every presentation when
// group is negative; entries of negative question indexes are left out.
int sumBallByGroup(const InspectionTest &test, const BallValuationMap &scale, int group, int channel);

// The scores of question quest in presentation group times the test's channel
// weights, summed in single precision as КГР, ПГ, Дых entry by entry.
float weightedBallSum(const InspectionTest &test, const BallValuationMap &scale, int quest, int group);

// The statistics window's sum of question quest in presentation group, or in
// every presentation when group is negative: each entry weighted as
// (ПГ + КГР) + Дых in single precision, then added, which may differ from
// weightedBallSum in the last bit.
float sumBallMap(const InspectionTest &test, const BallValuationMap &scale, int group, int quest);

// weightedBallSum of every question 0..quests-1 in every presentation
// 1..presentations, from one walk of the map: element
// [quest * presentations + presentation - 1].
QVector<float> weightedBallTable(const InspectionTest &test, const BallValuationMap &scale, int quests, int presentations);
