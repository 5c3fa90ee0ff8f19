#pragma once

#include "Inspection.h"

#include <QString>
#include <QVector>

// Recovery copies of recordings that could not be saved into their subject
// file: each one a subject file of its own, in a folder beside the data
// folder, with the path of the subject file it belongs to beside it. A copy
// stays until it is restored into that file or dropped.
class RecordingRescue
{
public:
    struct Copy {
        QString file;
        QString subject;
    };

    static QString folder(const QString &rootFolder);
    // Writes the test with its recording into a new copy, named in file.
    static StoreResult save(const QString &rootFolder, const QString &subject, const Inspection::_Test &test,
                            QString &file);
    static QVector<Copy> copies(const QString &rootFolder);
    // The copy's tests with their recordings go into its subject file; the
    // copy is removed once all of them are there.
    static StoreResult restore(const Copy &copy);
    static bool drop(const Copy &copy);

private:
    static QString subjectNoteOf(const QString &file);
};
