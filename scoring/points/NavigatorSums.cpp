#include "NavigatorSums.h"

#include "data/BallValuationSums.h"
#include "data/InspectionTest.h"

namespace {

// The band of a coefficient: below 0.1, 0.3, 0.4 and 0.5, or 0.5 and above.
// The lower bounds are doubles, 0.5 is a float, as the examiners' tables have
// always been read: 3/10 in single precision (0.3000000119) is 0.3 or more.
int band(float value)
{
    const double wide = value;
    if (wide < 0.1)
        return 0;
    if (wide < 0.3)
        return 1;
    if (wide < 0.4)
        return 2;
    return value < 0.5f ? 3 : 4;
}

}  // namespace

NavigatorSums::NavigatorSums(const InspectionTest &test, const BallValuationMap &scale)
{
    const int presentations = test.presentationCount();
    for (int channel = 0; channel < 3; ++channel) {
        QVector<float> &row = m_points[channel];
        row.resize(presentations);
        for (int presentation = 1; presentation <= presentations; ++presentation) {
            if (!test.valuationBall_GroupsDisabled.contains(presentation))
                row[presentation - 1] = float(sumBallByGroup(test, scale, presentation, channel))
                    * test.valuationBall_ChannelK[channel];
            m_totals[channel] += row[presentation - 1];
        }
    }
    m_grandTotal = m_totals[0] + m_totals[1] + m_totals[2];

    const int control = test.indexOfThemeType(QuestionKind::Control);
    m_hasCoefficients = test.countThemesOfType(QuestionKind::Neutral) >= 1
        && test.countThemesOfType(QuestionKind::Control) == 1 && test.countThemesOfType(QuestionKind::Test) == 0
        && control >= 1;
    if (m_hasCoefficients)
        computeCoefficients(test, scale, control);
}

void NavigatorSums::computeCoefficients(const InspectionTest &test, const BallValuationMap &scale, int control)
{
    float controlPoints[3];
    for (int channel = 0; channel < 3; ++channel)
        controlPoints[channel] = test.valuationBall_ChannelK[channel] * float(sumBallByQuest(test, scale, control, channel));
    const float controlSum = controlPoints[0] + controlPoints[1] + controlPoints[2];
    for (int channel = 0; channel < 3; ++channel) {
        const float points = controlPoints[channel];
        const float total = m_totals[channel];
        m_coefficients[Informativeness][channel] = controlSum != 0.0f ? points / controlSum : 0.0f;
        m_coefficients[Generality][channel] = m_grandTotal != 0.0f ? total / m_grandTotal : 0.0f;
        m_coefficients[Specificity][channel] = total != 0.0f ? points / total : 0.0f;
    }
}

bool NavigatorSums::has(Coefficient kind) const
{
    return m_hasCoefficients && (kind != Informativeness || m_grandTotal > 0.0f);
}

QColor NavigatorSums::bandColor(Coefficient kind, float value)
{
    static const QColor none;
    static const QColor bands[3][5] = {
        {Qt::red, Qt::red, Qt::darkYellow, Qt::green, Qt::green},
        {none, Qt::red, Qt::darkYellow, Qt::darkYellow, Qt::red},
        {none, Qt::red, Qt::darkYellow, Qt::green, Qt::green},
    };
    return bands[kind][band(value)];
}
