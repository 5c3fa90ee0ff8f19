#pragma once

#include <QtGlobal>

// The two curve filters as plain window sums per position, to hold the
// painter's running sums against. Filter 1 sums only samples the buffer holds.
void naiveRemoveBaseline(const qint16 *src, qint16 *dst, int n);
void naiveMovingAverage(const qint16 *src, qint16 *dst, int n);
