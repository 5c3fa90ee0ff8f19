#pragma once

#include <QVector>
#include <QtGlobal>

// History of the two low-pass filter steps for one signal. The two filters keep
// separate fields, so one record can carry a signal through both.
struct FilterState {
    double s0 = 0.0;  // lowPassFilterB: one step back
    double s1 = 0.0;  // lowPassFilterB: two steps back
    double s2 = 0.0;  // lowPassFilterA: one step back
    double s3 = 0.0;  // lowPassFilterA: two steps back
    double s4 = 0.0;  // lowPassFilterA: three steps back
    QVector<qint32> buffer = QVector<qint32>(30, 0);
};

// Second-order recursive low-pass steps (numerator 1, 2, 1), one call per sample.
// A cuts at about 0.070 of the sampling rate, B at about 0.028.
double lowPassFilterA(FilterState &state, double x);
double lowPassFilterB(FilterState &state, double x);

void resetFilterState(FilterState &state);
void initFilterState(FilterState &state);
