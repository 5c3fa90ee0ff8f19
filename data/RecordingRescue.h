#pragma once

#include "Inspection.h"

#include <QString>
#include <QStringList>
#include <QVector>

// Recovery copies of recordings that could not be saved into their subject
// file: each one a subject file of its own, in a folder beside the data
// folder, with a note naming the subject file it belongs to beside it. A copy
// stays until it is restored into that file, placed in the data folder as a
// subject of its own, or dropped.
class RecordingRescue
{
public:
    struct Copy {
        QString file;
        // The subject file as the note names it; empty when the note is damaged.
        QString note;
        // The subject file the copy goes back into, as found in the data
        // folder; empty when the note names none there.
        QString subject;
        // The note is no regular file, too long or empty.
        bool damaged = false;
    };
    // The tests of a copy as they were placed by a restore.
    struct Placement {
        // As the editor names them, with their recording time.
        QStringList intoTheirTests;
        // Those that went in as tests of their own: the subject's test of
        // their id was recorded again, removed or given other questions.
        QStringList asTestsOfTheirOwn;
    };

    static QString folder(const QString &rootFolder);
    // Writes the test with its recording into a new copy, named in file.
    static StoreResult save(const QString &rootFolder, const QString &subject, const Inspection::_Test &test,
                            QString &file);
    // The copies found, their notes read as far as they are regular files of
    // a path's length; a copy that is no regular file is not listed.
    static QVector<Copy> copies(const QString &rootFolder);
    // The copy's tests as the editor names a recorded test.
    static QStringList testsOf(const Copy &copy);
    // The copy's tests with their recordings go into its subject file, none
    // of the subject's recordings replaced; the copy is removed once they were
    // read back from that file. TooLarge when the subject would then pass the
    // bounds its loading enforces: nothing is written.
    static StoreResult restore(const Copy &copy, Placement &placement);
    // The copy becomes a subject file of its own in the data folder, named
    // after its subject and recording time, in file; the copy is then removed.
    static StoreResult placeInDataFolder(const QString &rootFolder, const Copy &copy, QString &file);
    static bool drop(const Copy &copy);
    // The test, its recording with it, becomes one of its own: a new
    // identifier, no tie to a test elsewhere.
    static void makeTestOfItsOwn(Inspection::_Test &test);

private:
    static QString subjectNoteOf(const QString &file);
};
