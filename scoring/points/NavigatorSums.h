#pragma once

#include "data/InspectionBallValuation.h"

#include <QColor>
#include <QVector>

struct InspectionTest;

// The navigator's figures of one test in one scale map, all in single
// precision: each channel's weighted points per presentation (0 for a
// disabled one), the channel totals T and their sum G, and the three
// coefficients of each channel on the test's control question.
class NavigatorSums
{
public:
    enum Coefficient { Informativeness, Generality, Specificity };

    NavigatorSums(const InspectionTest &test, const BallValuationMap &scale);

    // Weighted points of channel c in presentation p (from 1).
    float points(int channel, int presentation) const { return m_points[channel].at(presentation - 1); }
    float total(int channel) const { return m_totals[channel]; }
    float grandTotal() const { return m_grandTotal; }
    // The test has one neutral question at least, exactly one control
    // question that is not its first, and no test question.
    // "Кинф" needs besides a positive G.
    bool has(Coefficient kind) const;
    float coefficient(Coefficient kind, int channel) const { return m_coefficients[kind][channel]; }

    // The text colour of a coefficient's band; invalid where none is set.
    static QColor bandColor(Coefficient kind, float value);

private:
    void computeCoefficients(const InspectionTest &test, const BallValuationMap &scale, int control);

    QVector<float> m_points[3];
    float m_totals[3] = {};
    float m_grandTotal = 0.0f;
    bool m_hasCoefficients = false;
    float m_coefficients[3][3] = {};
};
