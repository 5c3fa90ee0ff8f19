#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

// The pre-test conversation texts of subject files, read once per version of
// each file: repaints and tool tips ask for every visible subject again and again.
class PreTestTextCache
{
public:
    // The stored text, empty for a folder, a missing, damaged or foreign file.
    QString text(const QString &path);
    // Forgets a file, so its next request reads it anew.
    void drop(const QString &path);
    void clear() { m_entries.clear(); }
    // Switched off, every request reads the file (for measuring).
    void setEnabled(bool enabled);
    int size() const { return m_entries.size(); }

private:
    // The stored text, or why it could not be read (read false).
    static QString readText(const QString &path, bool *read = nullptr);

    struct Entry {
        QDateTime modified;
        qint64 size = -1;
        QString text;
    };
    QHash<QString, Entry> m_entries;
    bool m_enabled = true;
};
