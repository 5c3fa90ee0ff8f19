#include "CMathMetrics.h"

#include "StudentTable.h"

#include <QtMath>

#include <cmath>

double CMathMetrics::mean(const QVector<double> &values) const
{
    double sum = 0.0;
    for (double x : values)
        sum += x;
    return sum / values.size();
}

double CMathMetrics::variance(const QVector<double> &values) const
{
    if (values.isEmpty())
        return qQNaN();
    // Deviations from the mean rather than sums of squares: equal values must
    // give 0, not a rounding residue that may even be negative.
    const double m = mean(values);
    double squares = 0.0;
    double largest = 0.0;
    for (double x : values) {
        squares += (x - m) * (x - m);
        largest = qMax(largest, qAbs(x));
    }
    const double result = squares / values.size();
    return std::sqrt(result) < 1e-12 * largest ? 0.0 : result;
}

int CMathMetrics::tabulatedDf(int df) const
{
    if (df == -1)
        return df;
    int best = 0;
    for (int i = 0; i < studentTableSize; i += studentLevelsPerDf) {
        const int rowDf = studentTable[i].df;
        if (rowDf > 0 && rowDf <= df)
            best = qMax(best, rowDf);
    }
    return best;
}

double CMathMetrics::studentProbability(int df, double t) const
{
    const int rowDf = tabulatedDf(df);
    if (rowDf == 0 || std::isnan(t))
        return 0.0;
    double level = 0.0;
    for (const StudentRow &row : studentTable) {
        if (row.df != rowDf)
            continue;
        if (row.t >= t)
            return row.level;
        level = row.level;
    }
    return level;  // beyond the highest level of the row
}

double CMathMetrics::meanOfSign(const QVector<double> &values, int sign) const
{
    double sum = 0.0;
    int count = 0;
    for (double x : values) {
        if (x * sign > 0) {
            sum += x;
            ++count;
        }
    }
    return count == 0 ? 0.0 : sum / count;
}

void CMathMetrics::addVectors(MetricMatrix &acc, const MetricMatrix &add) const
{
    acc.resize(add.size());
    for (int i = 0; i < add.size(); ++i) {
        acc[i].resize(add[i].size());
        for (int j = 0; j < add[i].size(); ++j)
            acc[i][j] += add[i][j];
    }
}

void CMathMetrics::normalizeRows(const QVector<QVector<qint32>> &raw, MetricMatrix &result) const
{
    result.resize(raw.size());
    for (int i = 0; i < raw.size(); ++i) {
        QVector<double> row;
        row.reserve(raw[i].size());
        for (qint32 x : raw[i])
            row.append(x);
        result[i] = QVector<double>(row.size(), 0.0);
        if (row.isEmpty())
            continue;
        const double m = mean(row);
        const double s = std::sqrt(variance(row));
        if (s == 0.0)
            continue;
        for (int j = 0; j < row.size(); ++j)
            result[i][j] = (row[j] - m) / s;
    }
}

void CMathMetrics::weightedSum(const MetricMatrix &values, const QVector<Inspection::_MetricParam> &params,
                               QVector<double> &score) const
{
    if (values.isEmpty())
        return;
    QVector<double> weights;
    for (int k = 0; k < values.size(); ++k)
        weights.append(k < params.size() && params[k].bEnable ? params[k].dK : 0.0);
    const int questions = values.first().size();
    score.resize(questions);
    for (int q = 0; q < questions; ++q) {
        for (int k = 0; k < values.size(); ++k)
            score[q] = weights[k] * values[k].value(q) + score[q];
    }
}

QVector<QVector<qint32>> CMathMetrics::rawValues(const Inspection &inspection, const Inspection::_Test &test,
                                                 int presentation) const
{
    // value() reads without inserting: a missing cell counts 0 and must not
    // turn into a stored record.
    const auto byQuestion = test.valuationMetric.value(presentation);
    QVector<QVector<qint32>> raw;
    for (const Inspection::_MetricParam &param : inspection.metricParams) {
        QVector<qint32> row(test.themis.size(), 0);
        for (int q = 0; q < row.size(); ++q)
            row[q] = byQuestion.value(q).value(param.uid).nValue;
        raw.append(row);
    }
    return raw;
}

void CMathMetrics::collectQuestValues(const Inspection &inspection, const Inspection::_Test &test,
                                      MetricMatrix &values, MetricZMap &z) const
{
    collectPresentations(inspection, test, {}, values, z);
}

void CMathMetrics::collectPresentations(const Inspection &inspection, const Inspection::_Test &test,
                                        const QSet<qint32> &leftOut, MetricMatrix &values, MetricZMap &z) const
{
    const QVector<Inspection::_MetricParam> &params = inspection.metricParams;
    const int presentations = test.presentationCount();
    for (int p = 1; p <= presentations; ++p) {
        if (leftOut.contains(p))
            continue;
        MetricMatrix zRows;
        normalizeRows(rawValues(inspection, test, p), zRows);
        for (int q = 0; q < test.themis.size(); ++q) {
            for (int k = 0; k < params.size(); ++k)
                z[p - 1][q][params[k].uid] = zRows[k][q];
        }
        addVectors(values, zRows);
    }
}

QVector<double> CMathMetrics::questionSums(const Inspection &inspection, const Inspection::_Test &test,
                                           const QSet<qint32> &leftOut, MetricMatrix &values, MetricZMap &z) const
{
    QVector<double> sums;
    collectPresentations(inspection, test, leftOut, values, z);
    if (!values.isEmpty())
        weightedSum(values, inspection.metricParams, sums);
    return sums;
}

CMathMetrics::QuestionScores CMathMetrics::scoreQuestions(const Inspection &inspection,
                                                          const Inspection::_Test &test) const
{
    QuestionScores scores;
    scores.sums = questionSums(inspection, test, {}, scores.values, scores.z);
    if (scores.sums.isEmpty())
        return scores;
    const double sigma = std::sqrt(variance(scores.sums));
    for (double sum : scores.sums) {
        const double t = sigma == 0.0 ? 0.0 : sum / sigma;
        scores.t.append(t);
        scores.probability.append(sigma == 0.0 ? 0.0 : studentProbability(test.themis.size(), t));
    }
    return scores;
}

CMathMetrics::ClassLimits CMathMetrics::classLimits(const Inspection &inspection, const Inspection::_Test &test) const
{
    ClassLimits limits;
    MetricMatrix values;
    MetricZMap z;
    limits.sums = questionSums(inspection, test, test.valuationBall_GroupsDisabled, values, z);
    limits.low = meanOfSign(limits.sums, -1);
    limits.high = meanOfSign(limits.sums, +1);
    return limits;
}
