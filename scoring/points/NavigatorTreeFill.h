#pragma once

#include "NavigatorSums.h"
#include "ScoringTreeFill.h"

// The navigator tree: per recorded test its three channel rows with the
// weighted points of every presentation, the channel totals and the
// coefficients "Кинф", "Кобщ" and "Кспециф".
class NavigatorTreeFill : public ScoringTreeFill
{
public:
    using ScoringTreeFill::ScoringTreeFill;

    QVector<int> columnWidths() const override;
    static QString toolTip(NavigatorSums::Coefficient kind);

protected:
    void fillTest(QStandardItem *row, int testIndex, const InspectionTest &test) override;
    QStringList trailingHeaders() const override;
    int shadedColumns() const override { return presentationColumns() + 4; }
    int childRows(const InspectionTest &) const override { return 3; }

private:
    CellLook pointsLook(const InspectionTest &test, int presentation, float points) const;
    void putCoefficients(QStandardItem *channelRow, const NavigatorSums &sums, int channel) const;
};
