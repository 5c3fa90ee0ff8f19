#pragma once

#include "ScoringTreeFill.h"

// The expert tree: per recorded test one row per question with its weighted
// points in every presentation, their sum and a check box of the question's
// scores in use, and under each question its three channel rows with the raw
// scores and the channel's weighted total.
class ExpertTreeFill : public ScoringTreeFill
{
public:
    using ScoringTreeFill::ScoringTreeFill;

    QVector<int> columnWidths() const override;
    // The background of raw scores by the question's kind.
    static QColor kindBackground(int type);

protected:
    void fillTest(QStandardItem *row, int testIndex, const InspectionTest &test) override;
    QStringList trailingHeaders() const override;
    int shadedColumns() const override { return presentationColumns() + 1; }
    int childRows(const InspectionTest &test) const override { return test.themis.size(); }

private:
    // weighted: the question's weighted points, one per presentation.
    void fillQuestion(QStandardItem *question, int testIndex, const InspectionTest &test, int quest,
                      const float *weighted) const;
    void fillChannel(QStandardItem *channelRow, int testIndex, const InspectionTest &test, int quest, int channel) const;
    void dressQuestion(QStandardItem *question, int testIndex, const InspectionTest &test, int quest) const;
    Qt::CheckState checkState(const InspectionTest &test, int quest) const;
    // Score colours in scales 101 and 3210123, the given colour in 012.
    QBrush scoreBrush(float score, const QColor &in012) const;
};
