#pragma once

#include "data/Inspection.h"

#include <QVector>

struct ChannelLook;

// The filters a channel's curve is drawn through.
class CurveFilters
{
public:
    // The buffer a curve is drawn from, with values at first..last-1 alone
    // where a filter applies.
    static QVector<qint16> filteredSamples(const InspectionChannel &record, const ChannelLook &look,
                                           const QVector<qint16> &samples, int first, int last);
    // Filter 1: subtracts a 30-sample moving average, adds back the mean;
    // leaves dst[0..14] alone.
    static void removeBaseline(const qint16 *src, qint16 *dst, int n);
    // Filter 2: 100-sample moving average; leaves the first and last 50 alone.
    static void movingAverage(const qint16 *src, qint16 *dst, int n);
    // A plain copy; shares the buffer (Qt deep-copies one that cannot be shared).
    static void copySamples(QVector<qint16> &dst, const QVector<qint16> &src);

private:
    // The filters for the positions first..last-1 only.
    static void removeBaseline(const qint16 *src, qint16 *dst, int n, int first, int last);
    static void movingAverage(const qint16 *src, qint16 *dst, int n, int first, int last);
};
