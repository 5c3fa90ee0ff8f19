#pragma once

#include "data/Inspection.h"

#include <QUuid>
#include <QVector>

// The automatic measurement of the catalogue's parameters: for every question
// mark of a test, a measurement window (two corners) and a value found on the
// parameter's channel, stored exactly as a hand measurement would be. A mark
// whose measurement cannot be made gets a record with zero corners and value.
class MetricAutoMeasure
{
public:
    using Params = QVector<Inspection::_MetricParam>;

    // The enabled automatic parameters of the list in their order, each by its
    // channel: 0 skin-galvanic, 2 and 3 breathing, 4, 7 and 9 pulse; others
    // are never measured. Saving is the caller's.
    static void measureTest(const Params &params, Inspection::_Test &test);

    // One record per question mark, replacing what each cell held.
    static void calcParamsGSR(Inspection::_Test &test, const Inspection::_MetricParam &param);
    static void calcParamsPulse(Inspection::_Test &test, const Inspection::_MetricParam &param);
    static void calcParamsBreath(Inspection::_Test &test, const Inspection::_MetricParam &param);

    // Index of the first element strictly between the bounds (either order); -1 when none.
    static int firstBetween(const QVector<int> &list, int a, int b);
    // Index k of the list whose series[start + list[k]] is largest / smallest,
    // the first on ties; -1 for an empty list.
    static int argMax(const QVector<int> &list, const QVector<qint16> &series, int start);
    static int argMin(const QVector<int> &list, const QVector<qint16> &series, int start);

    // The interior element of p with the smallest fall to a neighbouring q
    // (the first q strictly between it and the element before or after), below
    // limit. Indices into p and q; both -1 when none.
    struct Swing {
        int p = -1;
        int q = -1;
    };
    static Swing weakestSwing(const QVector<qint16> &series, int start, const QVector<int> &p,
                              const QVector<int> &q, int limit);
};
