#pragma once

#include "Inspection.h"
#include "InspectionMedia.h"

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
        // their id was recorded again, removed or given other questions, or
        // the copy held another recording under that id.
        QStringList asTestsOfTheirOwn;
        // Those the subject held already, with the same samples and time: an
        // earlier restore placed them.
        QStringList alreadyThere;
        // Videos that could not follow their recording: where they stayed.
        QStringList videosLeft;
        // The copy could not be removed once all its tests were in the subject;
        // the next restore only removes it.
        bool copyLeft = false;
    };

    static QString folder(const QString &rootFolder);
    // Writes the test with its recording into a new copy, named in file, its
    // video carried beside it first (carryVideo; where it stayed in videoLeft,
    // empty when it followed): the copy takes its name only once whole, so it
    // is never listed while being written. The copy's name keeps the time it
    // was made and as much of the subject's name as leaves room for its note
    // and videos.
    static StoreResult save(const QString &rootFolder, const QString &subject, const Inspection::_Test &test,
                            QString &file, QString &videoLeft);
    // The test's video follows it to the copy's companion folder from the
    // subject's, or from where it waited for the copy; where it stayed in left.
    static InspectionMedia::VideoMove carryVideo(const QString &subject, const Inspection::_Test &test,
                                                 const QString &copyFile, QString &left);
    // Where a recording's video waits for its recovery copy when the subject's
    // folder was gone at the recording's end.
    static QString videoHeldFor(const QString &rootFolder, const QString &subject, const Inspection::_Test &test);
    // The copies found, their notes read as far as they are regular files of
    // a path's length; a copy that is no regular file, or placed in the data
    // folder already, is not listed.
    static QVector<Copy> copies(const QString &rootFolder);
    // The copy's tests as the editor names a recorded test.
    static QStringList testsOf(const Copy &copy);
    // The copy's tests with their recordings and videos go into its subject
    // file, none of the subject's recordings replaced and each recording once:
    // one the subject holds already is passed over, so a restore may be tried
    // again. The copy is removed once its samples were read back from that
    // file. The tests go in one transaction: a refusal, TooLarge among them
    // (the subject would pass the bounds its loading enforces), writes nothing.
    static StoreResult restore(const Copy &copy, Placement &placement);
    // The copy becomes a subject file of its own in the data folder, named
    // after its subject (as a subject may be named) and recording time, in
    // file; its videos go with it and the copy is then removed. A subject file
    // of those names that holds the copy's recordings already (an earlier
    // placement cut short) is taken as it is: each recording placed once.
    // Busy while such a file cannot be read. A note beside the copy tells it
    // placed, whatever the placed file is named since. copyLeft: placed, but
    // the copy could not be removed; the next start only removes it.
    static StoreResult placeInDataFolder(const QString &rootFolder, const Copy &copy, QString &file,
                                         QStringList &videosLeft, bool &copyLeft);
    // The copy, its note and its videos.
    static bool drop(const Copy &copy);
    // Removes the copies a placement left behind with their notes.
    static void removePlacedCopies(const QString &rootFolder);

private:
    static QString subjectNoteOf(const QString &file);
    static QString placedNoteOf(const QString &file);
    // The copy and its notes, its videos left where they are.
    static bool removeCopy(const Copy &copy);
};
