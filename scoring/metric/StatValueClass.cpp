#include "StatValueClass.h"

namespace {

// Zero means nothing scored, whatever side of a limit it falls on.
StatValueClass::Class unlessZero(double value, StatValueClass::Class byRule)
{
    return value == 0.0 ? StatValueClass::Grey : byRule;
}

}  // namespace

StatValueClass::Class StatValueClass::statistical(double value, double quality)
{
    return unlessZero(value, value < 0.0 ? Green : value < quality ? Grey : Red);
}

StatValueClass::Class StatValueClass::signedPoints(double sum)
{
    return sum < 0.0 ? Red : sum > 0.0 ? Green : Grey;
}

StatValueClass::Class StatValueClass::points012(double sum)
{
    return unlessZero(sum, sum <= 5.0 ? Green : Red);
}

StatValueClass::Class StatValueClass::metric(double value, double low, double high)
{
    return unlessZero(value, value <= low ? Green : value < high ? Grey : Red);
}

QColor StatValueClass::color(Class valueClass)
{
    switch (valueClass) {
    case Green:
        return QColor(80, 150, 80);
    case Red:
        return QColor(150, 80, 80);
    default:
        return QColor(180, 180, 180);
    }
}
