#pragma once

#include <QtGlobal>

// One row of the table of Student's t: |T| stays below t with probability level.
struct StudentRow {
    qint32 df;  // degrees of freedom; -1 stands for infinity
    double level;
    double t;
};

// Grouped by df (1 ... 30, 40, 60, 120, -1), 13 rising levels per group.
constexpr int studentTableSize = 442;
constexpr int studentLevelsPerDf = 13;
extern const StudentRow studentTable[studentTableSize];
