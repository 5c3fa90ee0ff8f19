#include "PointsScale.h"

#include "data/InspectionTest.h"

const BallValuationMap &scaleMapOf(const InspectionTest &test, int scale)
{
    static const BallValuationMap none;
    switch (scale) {
    case 0:
        return test.valuationBall_012;
    case 1:
        return test.valuationBall_101;
    case 2:
        return test.valuationBall_3210123;
    default:
        return none;
    }
}
