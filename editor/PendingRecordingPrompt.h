#pragma once

#include "data/StoreResult.h"

class Inspection;
class QString;
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
    // At start: each recovery copy left by an earlier run is offered for its
    // subject file; one not taken now is offered again next time.
    static void offerRecoveryCopies(QWidget *parent, const QString &rootFolder);
};
