#pragma once

#include "InspectionAnalysisInterval.h"
#include "InspectionBallValuation.h"
#include "InspectionChannel.h"
#include "InspectionLabel.h"
#include "InspectionMetricParam.h"
#include "InspectionMetricValuation.h"
#include "InspectionOrder.h"
#include "InspectionTest.h"
#include "InspectionTheme.h"

#include <QString>
#include <QVector>

// The examination of one subject: the tests of one subject file.
class Inspection
{
public:
    using _Test = InspectionTest;
    using _Theme = InspectionTheme;
    using _Order = InspectionOrder;
    using _Label = InspectionLabel;
    using _Channel = InspectionChannel;
    using _AnalysisInterval = InspectionAnalysisInterval;
    using _BallValuation = InspectionBallValuation;
    using _MetricParam = InspectionMetricParam;
    using _MetricValuation = InspectionMetricValuation;

    Inspection() = default;
    explicit Inspection(const QString &path) : sPathFile(path) {}

    QVector<_Test> tests;
    QString sPathFile;
    QString preTestText;
    QVector<_MetricParam> metricParams;

    // The test at an index, or null when the index names none (indexes arrive through signals).
    _Test *test(int index) { return index >= 0 && index < tests.size() ? &tests[index] : nullptr; }
};
