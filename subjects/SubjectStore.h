#pragma once

#include <QString>
#include <QStringList>

// The subject store on disk: folders, and subject files named by the subject
// with the extension ".qmz", each with its recordings in the companion folder
// "__1__" beside it. Windows ask; this changes the disk.
class SubjectStore
{
public:
    static const int kNameAttempts = 100;

    // Makes the first folder of pattern with %1 = 0 … 99 that mkdir accepts;
    // its path, or empty when none could be made.
    static QString createFolder(const QString &parent, const QString &pattern);
    // The first subject file of pattern with %0 = 0 … 99 that does not exist;
    // empty when all exist.
    static QString freeSubjectPath(const QString &folder, const QString &pattern);

    enum class NameProblem { None, Unchanged, Empty, Separator, LeadingDot, Control, TooLong, Taken, Failed };
    // What makes a typed name unusable for an entry (trimmed first).
    static NameProblem checkName(const QString &text);
    // The UTF-8 bytes of the longest file name the entry would own under the
    // typed name: a folder's own name; for a subject its pre-test videos
    // (name, ".", the time stamp, ".avi") or its tests' videos.
    static int longestOwnedName(const QString &path, const QString &text, bool folder);
    // The file system's longest file name in bytes in that folder.
    static int nameLimit(const QString &folder);
    // The path an entry takes when renamed to the typed text.
    static QString renamedPath(const QString &path, const QString &text, bool folder);
    // Renames the entry to the typed text; the new path, or empty with the
    // problem set. A subject is renamed only when every file it owns can
    // follow the new name.
    static QString rename(const QString &path, const QString &text, bool folder, NameProblem *problem);

    // The subject's files in the order they go to the trash: the subject file,
    // its tests' videos that exist, then its own pre-test recordings and
    // speech files. Listing never creates "__1__".
    static QStringList subjectFiles(const QString &subjectPath);
    // Moves the subject's files to the trash, stopping at the first that
    // cannot be moved: its path, or empty when all went.
    static QString trashSubject(const QString &subjectPath);
};
