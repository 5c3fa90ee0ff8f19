#pragma once

#include "data/InspectionBallValuation.h"

struct InspectionTest;

// The test's map of a point scale (0 "012", 1 "101", 2 "3210123"); an empty
// map for any other value, so it reads as all scores 0 and every entry in use.
const BallValuationMap &scaleMapOf(const InspectionTest &test, int scale);
