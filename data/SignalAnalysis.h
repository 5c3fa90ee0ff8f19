#pragma once

#include <QPointF>
#include <QVector>
#include <QtGlobal>

// Numeric routines over a channel's samples (one per 50 ms tick). Every window
// is clamped to the samples that exist, so a window near either end of a
// recording never reads outside the array.

// Sum of |x[i] - x[i - 1]| for i from start to start + count - 1.
int sumAbsDifferences(const QVector<qint16> &samples, int start, int count);

// How a search reports a run of neighbouring qualifying samples.
enum ExtremumMode : int {
    ExtremumRunMiddle = 0,  // the middle of the run
    ExtremumRunStart = 2,   // its first sample
};

// Valleys (samples lower by more than tolerance than both samples halfWidth
// away) and the middles of runs below -12046, as positions relative to start.
// After a valley the next halfWidth samples are not tested.
QVector<int> findLocalMaxima(const QVector<qint16> &samples, int start, int count, int halfWidth,
                             int tolerance, int mode);
// The mirror image: peaks, and runs above 12046.
QVector<int> findLocalMinima(const QVector<qint16> &samples, int start, int count, int halfWidth,
                             int tolerance, int mode);

// Rate per minute of a periodic channel from the mean distance between peaks:
// all distances when n < 0, else at most the first n. 0 when there is no
// distance. The valleys and peaks found go to the optional out vectors.
int meanExtremaInterval(const QVector<qint16> &samples, int start, int length, int n,
                        QVector<int> *valleys = nullptr, QVector<int> *peaks = nullptr);

// Distance truncated to int; a vertical segment (equal x) gives a tenth of it.
int pointDistance(const QPointF &a, const QPointF &b);

// value / 1000 * 60, truncated toward zero.
int toPerMinute(qint16 value);

inline double intToDouble(int value) { return double(value); }
