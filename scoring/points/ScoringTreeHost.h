#pragma once

#include "data/Inspection.h"

class QModelIndex;

// What the scoring tree's delegate reads of its window while painting, so a
// change of mode or examination shows at the next paint.
class ScoringTreeHost
{
public:
    enum InputMode { Navigator = 0, Expert = 1 };

    virtual ~ScoringTreeHost() = default;

    virtual int inputMode() const = 0;
    virtual Inspection *inspection() const = 0;

    // The test of the index's top-level row, by the test index that row
    // carries in QuestKey::Role (tests without a recording have no row, so
    // the row number is no test index); null when there is no such test.
    Inspection::_Test *testOfTreeIndex(const QModelIndex &index) const;
};
