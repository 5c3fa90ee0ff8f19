#pragma once

#include "data/StoreResult.h"

class Inspection;
class QWidget;

// Asks the examiner what becomes of recordings whose save into the subject
// file failed: save again, or write a recovery copy the program offers to
// restore at its next start. Asked again while one is pending.
class PendingRecordingPrompt
{
public:
    // Tries the pending saves once more and asks while any is left. True once
    // no recording is pending; false when the examiner put it off.
    static bool resolve(QWidget *parent, Inspection &inspection);
    // The same right after a save failed so.
    static bool resolve(QWidget *parent, Inspection &inspection, StoreResult failure);
};
