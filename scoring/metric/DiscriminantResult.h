#pragma once

#include "CEtica.h"
#include "StatEntry.h"

#include <QVector>

#include <array>
#include <bitset>
#include <vector>

// One fit of the two-class discriminant over the feature rows of an
// examination: control presentations against the others, excluded ones only
// scored. Features are standardised within each presentation first, so that
// what counts is how a question stands out among its neighbours.
class DiscriminantResult
{
public:
    static constexpr int featureCount = CEtica::featureCount;
    using Row = CEtica::Row;
    using Mask = std::bitset<featureCount>;

    int controlCount = 0;
    int excludedCount = 0;
    double quality = 0.0;  // T / sqrt(T² + 4), the threshold of the red class
    double tTotal = 0.0;
    double rTotal = 0.0;
    Row featureR{};
    Row featureT{};
    QVector<double> scores;  // one per entry; positive reads as a control-like reaction
    Mask mask;
    // The features by falling t, and the composite's coefficient of each one
    // over the features standardised on the fitting entries.
    std::array<int, featureCount> order{};
    Row weights{};

    // Each feature in use as deviations from its presentation's mean, in
    // units of the presentation's deviation; unused features are 0.
    static QVector<Row> standardizeByGroup(const QVector<Row> &rows, const QVector<StatEntry> &entries,
                                           Mask mask);
    // False when there is no control entry or no entry of the other class.
    bool discriminate(const QVector<Row> &rows, const QVector<StatEntry> &entries, Mask mask);

private:
    struct Fitting;
    void combine(const Fitting &fitting, const std::array<std::vector<double>, featureCount> &s);
    void score(const QVector<Row> &z);
};
