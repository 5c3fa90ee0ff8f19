#pragma once

#include "CheckedTemporaryFile.h"

#include <QByteArray>
#include <QString>

// A file written whole, then put in place: written under a temporary name
// beside its destination and renamed over it at commit, so the destination
// holds the old file or the whole new one, never a part, also after a power
// cut: the file is on the disk before it is renamed. A link found at the
// destination is replaced, never followed. The new file gets the permissions
// a newly made file would have, not the temporary file's owner-only ones.
// Any write that failed or came up short makes the commit refuse.
class WholeFile
{
public:
    explicit WholeFile(const QString &destination);

    // Makes the temporary file and opens it for writing.
    bool open();
    // What is written, under its temporary name.
    QTemporaryFile &file() { return m_temporary; }
    // Closes the file and renames it over the destination; false leaves the
    // destination as it was and removes the temporary file, but for a failed
    // sync of the folder after the rename: the destination then holds the new
    // file, which may not outlive a power cut.
    bool commit();
    // Whether commit renamed the new file over the destination, also when it
    // then failed.
    bool isInPlace() const { return m_inPlace; }
    // Why open, a write or commit failed, in words for the examiner; empty
    // while nothing failed.
    QString failure() const;

    // Writes bytes whole to the destination; empty when done, else why not.
    static QString write(const QString &destination, const QByteArray &bytes);

    // The template of the temporary name a file is written under beside its
    // destination, carrying a mark of this program's own.
    static QString temporaryTemplate(const QString &destination);
    // Removes the temporary files that writes cut short (the program killed)
    // left in the data folder and every folder below it: files under this
    // program's temporary names that no write holds locked. Nothing else, no
    // other program's temporary, no link followed.
    static void removeLeftovers(const QString &dataFolder);

    // The process's file-creation mask, read once without changing it: the
    // mask is process-wide, and setting it to read it would race with other
    // threads making files.
    static unsigned creationMask();

private:
    QString m_destination;
    CheckedTemporaryFile m_temporary;
    int m_errorNumber = 0;
    bool m_inPlace = false;
};
