#pragma once

#include <QString>

// The note beside a recovery copy: the path of the subject file the copy
// belongs to. Written by the program, but read as a file from elsewhere: a
// damaged folder or another program may have left anything in its place.
class RecoveryNote
{
public:
    // A path's length at most.
    static constexpr qint64 kMaxBytes = 4096;

    // The note's text; false, reading nothing, when the note is no regular
    // file (a FIFO would block the read, a link to a device never end it) or
    // longer than a path.
    static bool read(const QString &file, QString &text);
    // The subject file the note names, trimmed and canonical, when it is an
    // existing regular .qmz file, no link, in the data folder or below it;
    // empty otherwise. The recovery folder lies beside the data folder, so
    // neither a copy nor its note is ever taken.
    static QString subjectIn(const QString &rootFolder, const QString &note);
    // Whether the path is a regular file itself, not a link to one.
    static bool isPlainFile(const QString &path);
};
