#include "ProgramWrites.h"

#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>

ProgramWrites &ProgramWrites::thisProgram()
{
    static ProgramWrites program;
    return program;
}

QString ProgramWrites::keyOf(const QString &file)
{
    return QDir::cleanPath(QFileInfo(file).absoluteFilePath());
}

void ProgramWrites::note(const QString &file, const QString &owner, int kind, quint64 fingerprint)
{
    const QMutexLocker lock(&m_mutex);
    m_files[keyOf(file)].insert({owner, kind}, fingerprint);
}

bool ProgramWrites::wrote(const QString &file, const QString &owner, int kind, quint64 fingerprint) const
{
    const QMutexLocker lock(&m_mutex);
    const auto rows = m_files.constFind(keyOf(file));
    if (rows == m_files.constEnd())
        return false;
    const auto row = rows->constFind({owner, kind});
    return row != rows->constEnd() && *row == fingerprint;
}
