#pragma once

// Tests with measured metric values, for the metric statistics tests.
#include "data/Inspection.h"

namespace MetricFixtures {

// A test of the given questions whose recording holds the given number of
// presentations (one mark per question and presentation).
inline Inspection::_Test presentedTest(int questions, int presentations)
{
    Inspection::_Test test(QStringLiteral("measured"));
    for (int q = 0; q < questions; ++q)
        test.addTestTheme(QStringLiteral("Вопрос %1").arg(q + 1));
    for (int p = 1; p <= presentations; ++p) {
        for (int q = 0; q < questions; ++q) {
            Inspection::_Label label;
            label.Group = qint16(p);
            label.Theme = qint16(q);
            test.labels.append(label);
        }
    }
    return test;
}

inline Inspection::_MetricParam param(double weight, bool enabled = true)
{
    Inspection::_MetricParam result;
    result.uid = QUuid::createUuid();
    result.dK = weight;
    result.bEnable = enabled;
    return result;
}

inline void putValue(Inspection::_Test &test, int presentation, int question, const QUuid &uid, qint32 value)
{
    Inspection::_MetricValuation entry;
    entry.iGroup = presentation;
    entry.iQuest = question;
    entry.uidParam = uid;
    entry.nValue = value;
    test.valuationMetric[presentation][question][uid] = entry;
}

}  // namespace MetricFixtures
