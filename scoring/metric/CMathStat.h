#pragma once

#include "CEtica.h"
#include "DiscriminantResult.h"
#include "StatEntry.h"
#include "data/Inspection.h"

#include <QStringList>
#include <QVector>

// Statistical scoring of a whole examination: fourteen reaction features per
// recorded presentation, and one discriminant fitted over all tests that says
// how much each presentation resembles the reactions to control questions
// rather than those to neutral ones. Built on the stack for one computation.
class CMathStat
{
public:
    using Row = CEtica::Row;
    // Where the pulse features come from; the alternatives only when recorded.
    enum PulseMode { PulseFromPG = 0, PulseFromAD = 1, PulseFromAdvanced = 2 };

    QVector<Row> rows;           // one feature row per entry
    QVector<StatEntry> entries;  // each test's labels together, in label order
    QVector<double> scores;      // one per entry, from the last successful fit
    double quality = 0.0;
    QVector<double> correlations;  // combined r, then r of the 14 features
    QVector<double> tValues;       // combined T, then t of the 14 features
    Inspection *inspection = nullptr;
    int count = 0;
    int controlCount = 0;
    int excludedCount = 0;
    int featureMask = -1;  // bits 0-13: features in use

    // The recorded tests the last run could not read, and why; while any
    // is unread nothing is computed.
    QStringList unread;
    StoreResult unreadResult;

    // What the statistics window runs: the features, then the plain fit.
    void calcAll(Inspection *examination);
    // Rebuilds rows and entries from every recorded test, loading samples
    // that are not in memory yet; true when any entry was made. False with
    // no entries when a recording cannot be read (named in unread).
    bool runEtica(bool useUpperBreathing, int pulseMode);
    // iterate: presentations whose control questions all score negative are
    // marked rejected in the plan and the fit is repeated without them.
    // resetMask: starts from all features and drops those of low t.
    bool calcDiscriminant(bool iterate, bool resetMask);

    int findEntry(const QUuid &testId, int group, int quest) const;
    // Presentation p (from 0) of question q in test t; 0.0 when not scored.
    double valueAt(int t, int p, int q) const;
    // Mean over the presentations of question q of test t that are not
    // marked skipped or rejected nor disabled for the points scoring; 0.0
    // when there is none.
    double questMean(int t, int q) const;
    double questValue(Inspection::_Test *test, int q, int firstIndex, const QVector<double> &scores) const;

private:
    bool readRecordings();
    void appendTest(Inspection::_Test &test, int &offset, bool useUpperBreathing, int pulseMode);
    bool fit(DiscriminantResult &result);
    bool rejectPresentations();
    // Over the entries first ... end - 1 of one presentation.
    bool controlsAllNegative(int first, int end) const;
    void reject(int first, int end);
    bool narrowMask(const DiscriminantResult &result);
};
