#pragma once

#include "data/Inspection.h"

#include <QMap>
#include <QSet>
#include <QUuid>
#include <QVector>

// Presentation index (from 0) -> question index -> parameter -> z value.
using MetricZMap = QMap<int, QMap<int, QMap<QUuid, double>>>;
// One row per parameter of the examination's list, one column per question.
using MetricMatrix = QVector<QVector<double>>;

// The arithmetic of metric scoring: standardised measured values summed into
// one score per question, judged by Student's t.
class CMathMetrics
{
public:
    // What the metric window shows of one test. Empty sums: nothing measured.
    struct QuestionScores {
        MetricMatrix values;
        MetricZMap z;
        QVector<double> sums;
        QVector<double> t;            // sums[q] / sigma of the sums; 0 when sigma is 0
        QVector<double> probability;  // level of t for the test's question count; 0 when sigma is 0
    };
    // What the statistics window needs of one test: the question scores (empty
    // when nothing was measured) and the means of the negative and positive ones.
    struct ClassLimits {
        QVector<double> sums;
        double low = 0.0;
        double high = 0.0;
    };

    CMathMetrics() = default;
    virtual ~CMathMetrics() = default;

    // Population variance; NaN for no values, 0 for a spread lost in rounding.
    double variance(const QVector<double> &values) const;
    // The table's level for t at df: below the lowest row 0.1, above the highest
    // 0.999; an untabulated df takes the next lower tabulated one; 0 for NaN or
    // a df below 1 other than -1 (infinity).
    double studentProbability(int df, double t) const;
    // Mean of the values whose product with sign is positive; 0 when none.
    double meanOfSign(const QVector<double> &values, int sign) const;
    // Gives acc the shape of add, then adds add element by element.
    void addVectors(MetricMatrix &acc, const MetricMatrix &add) const;
    // Each row as z-scores over its own values; constant rows give zeros.
    void normalizeRows(const QVector<QVector<qint32>> &raw, MetricMatrix &result) const;
    // score[q] += dK of each enabled parameter times its value at q.
    void weightedSum(const MetricMatrix &values, const QVector<Inspection::_MetricParam> &params,
                     QVector<double> &score) const;
    // Adds up, over the test's presentations, each parameter's values
    // standardised over the questions; leaves the outputs alone when nothing
    // was presented. Reads the test's values without adding any.
    void collectQuestValues(const Inspection &inspection, const Inspection::_Test &test,
                            MetricMatrix &values, MetricZMap &z) const;

    // The metric window's results table of one test.
    QuestionScores scoreQuestions(const Inspection &inspection, const Inspection::_Test &test) const;
    // The statistics window's metric column of one test, without the
    // presentations disabled for the points scoring.
    ClassLimits classLimits(const Inspection &inspection, const Inspection::_Test &test) const;

private:
    double mean(const QVector<double> &values) const;
    int tabulatedDf(int df) const;
    // collectQuestValues over the presentations not in leftOut.
    void collectPresentations(const Inspection &inspection, const Inspection::_Test &test, const QSet<qint32> &leftOut,
                              MetricMatrix &values, MetricZMap &z) const;
    // The value matrix and z map, and the weighted sums when anything was measured.
    QVector<double> questionSums(const Inspection &inspection, const Inspection::_Test &test,
                                 const QSet<qint32> &leftOut, MetricMatrix &values, MetricZMap &z) const;
    QVector<QVector<qint32>> rawValues(const Inspection &inspection, const Inspection::_Test &test,
                                       int presentation) const;
};
