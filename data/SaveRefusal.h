#pragma once

#include "StoreResult.h"

#include <QString>

#include <functional>

class QWidget;

// How a refused save or delete of a subject's rows is worded for the
// examiner, and what the examiner makes of it.
class SaveRefusal
{
public:
    // Why, in the examiner's words: the lock, the file gone, another
    // program's change, or the cause the system gave.
    static QString reason(const StoreResult &result, const QString &path);
    // The whole message for a refused edit of the subject at path; edit,
    // when given, names what was not saved (the test whose marks moved).
    static QString text(const StoreResult &result, const QString &path, bool canClose,
                        const QString &edit = QString());

    // Tells a refused edit of a subject no longer open: it is not kept anywhere.
    static void tellLost(QWidget *parent, const StoreResult &result, const QString &path);

    enum class Outcome {
        Saved,         // in the file, at once or once retried
        Dropped,       // not in the file: the caller shows what the file holds
        Kept,          // the file is gone: the edit stays in memory
        CloseSubject,  // the file is gone and the examiner closes the subject
    };
    // Tells a refusal, each time it happens, and asks what it offers: under a
    // lock to retry (running save again) or to drop the edit; with the file
    // gone to close the subject (when canClose) or keep the edit in memory.
    static Outcome settle(QWidget *parent, const QString &path, StoreResult result,
                          const std::function<StoreResult()> &save, bool canClose = true,
                          const QString &edit = QString());

private:
    static QString failure(const StoreResult &result, const QString &path, const QString &edit = QString());
};
