#pragma once

#include "InspectionTest.h"

#include <QVector>
#include <QtGlobal>

// The series that the extremum searches run over for one channel of a test.
// A 16-bit unit's samples are first divided by 16, so the searches' run limit
// of ±12046 and an added offset mean what they mean for 12-bit recordings.
enum class SeriesFilter { None, LowPassA, LowPassB };

// What a sample of the test's unit is divided by to reach the 12-bit scale.
int channelSearchDivisor(const InspectionTest &test);

// The channel's samples (empty for a code without samples), optionally passed
// through one filter state run from the first sample, whose output of sample i
// is placed at i - shift for i >= shift (the last shift places stay 0), plus offset.
QVector<qint16> channelSearchSeries(const InspectionTest &test, int code, SeriesFilter filter, int shift, int offset);
