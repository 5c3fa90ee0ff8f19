#pragma once

#include <QColor>

// The three classes a question's value falls into in the statistics table, by
// the rule of its column; an exact 0 is grey in every column.
class StatValueClass
{
public:
    enum Class { Green, Grey, Red };

    // Below 0 green, from 0 up to the fit's quality grey, from the quality on red.
    static Class statistical(double value, double quality);
    // The seven- and three-step scales: negative red, positive green.
    static Class signedPoints(double sum);
    // The 012 scale: up to 5 green, above it red.
    static Class points012(double sum);
    // Metric sums: up to the mean of the negative sums green, from the mean
    // of the positive ones on red, grey between.
    static Class metric(double value, double low, double high);

    static QColor color(Class valueClass);
};
