#pragma once

#include <QFile>
#include <QTemporaryDir>

// A throw-away home for one benchmark run, so its settings and subject files
// never touch the user's own.
class BenchHome
{
public:
    BenchHome()
    {
        qputenv("HOME", QFile::encodeName(m_dir.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path() + QStringLiteral("/.config")));
    }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};
