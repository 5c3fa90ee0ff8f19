#pragma once

#include "StoreResult.h"

#include <QString>

#include <functional>

class Inspection;
class QWidget;
struct InspectionTest;

// How a read of a subject's rows that did not succeed is told: with its
// cause, and under another program's lock with a retry offered. What could
// not be read is never shown as empty.
class ReadRefusal
{
public:
    // The message; what names what was not read (a test, a list of tests).
    static QString text(const StoreResult &result, const QString &path, const QString &what);
    // Tells a refusal; true when, under a lock, the examiner asks to retry.
    static bool tell(QWidget *parent, const StoreResult &result, const QString &path, const QString &what);
    // Runs read; each refusal is told, under a lock with Retry (read runs
    // again) or Cancel. The last read's result.
    static StoreResult settle(QWidget *parent, const QString &path, const QString &what,
                              const std::function<StoreResult()> &read);
    // The test's marks and scores read anew as the file holds them, after a
    // refused save (Inspection::rereadTest), and settled as above. An
    // examination read from no file holds all it has and reads nothing.
    // True when read.
    static bool rereadTest(QWidget *parent, Inspection &inspection, InspectionTest &test);
    // The same for a whole recording not in memory yet.
    static bool readRecording(QWidget *parent, Inspection &inspection, InspectionTest &test);
};
