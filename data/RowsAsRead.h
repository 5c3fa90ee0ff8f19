#pragma once

#include "StoreResult.h"

#include <QHash>
#include <QPair>
#include <QString>
#include <QVector>

class InspectionStore;
class StoredBytes;

// What the rows of one subject file held as an examination read or last
// wrote them, by owner and kind, and the check a save makes against them in
// its transaction: a row another program changed, removed or put in is never
// written over, and a file that no longer holds the subject read takes nothing.
class RowsAsRead
{
public:
    // A row a save depends on, and what the examiner is told when it changed.
    // One that must have been read refuses the save when it was not: what
    // the examiner never saw is never replaced.
    struct Check {
        QString owner;
        int kind;
        QString changed;
        bool mustBeRead = false;
    };
    // What a save goes into besides its rows: a subject whose questionnaire
    // is as read, and, for a new test or a recording, one holding no test
    // this examination never saw.
    // Unchecked for an examination read from no file.
    enum class Subject { Unchecked, AsRead, AsReadWithNoUnseenTest };
    // What the examiner is told when the file no longer holds the subject as
    // read: another subject, or the same one with its questionnaire changed.
    struct SubjectChanged {
        QString otherSubject;
        QString questionnaire;
    };

    void note(const QString &owner, int kind, quint64 fingerprint) { m_rows.insert({owner, kind}, fingerprint); }
    // Whether the row was read or written, with what it held then.
    bool noted(const QString &owner, int kind, quint64 &fingerprint) const;
    void clear() { m_rows.clear(); }
    void swap(RowsAsRead &other) { m_rows.swap(other.m_rows); }
    // Ok when the file holds the subject read and every row checked that was
    // read is as noted; else Changed with the check's words, or the store's
    // failure. The questionnaire and tests this program wrote through another
    // of its holders of the file are the subject as read.
    StoreResult check(InspectionStore &store, const QString &file, const QVector<Check> &checks, Subject subject,
                      const SubjectChanged &words) const;
    // Whether the file still holds every test read or written here.
    bool holdsTestsRead(InspectionStore &store, bool &holds) const;
    // Each row noted anew or otherwise since before, as this program's writes.
    void publishSince(const RowsAsRead &before, const QString &file) const;
    // The stored recording of an owner, as noted; kAbsent when there is none.
    bool storedRecording(InspectionStore &store, const QString &owner, quint64 &fingerprint) const;

    // A recording row is known by its size and the head of its channels and
    // samples, which a new recording changes: read without its samples, and
    // beside its structure, which holds the recording time.
    static quint64 recordingFingerprint(StoredBytes &bytes);

private:
    StoreResult checkSubject(InspectionStore &store, const QString &file, Subject subject,
                             const SubjectChanged &words) const;
    bool storedFingerprint(InspectionStore &store, const QString &owner, int kind, quint64 &fingerprint) const;

    QHash<QPair<QString, int>, quint64> m_rows;
};
