#pragma once

#include <QHash>
#include <QMutex>
#include <QPair>
#include <QString>

// What this program wrote into subject files, whichever of its holders of a
// file wrote it: the questionnaire dialog, the subjects dock, a recording's
// end and the editor each read the file apart, and a write by one of them is
// never another program's change to the others.
class ProgramWrites
{
public:
    static ProgramWrites &thisProgram();

    void note(const QString &file, const QString &owner, int kind, quint64 fingerprint);
    // Whether the row holds what this program last wrote into it.
    bool wrote(const QString &file, const QString &owner, int kind, quint64 fingerprint) const;

private:
    using Rows = QHash<QPair<QString, int>, quint64>;
    static QString keyOf(const QString &file);

    mutable QMutex m_mutex;
    QHash<QString, Rows> m_files;
};
