#pragma once

#include <QString>

struct sqlite3;

// SQLite's exclusive lock on an existing database file, taken through a
// connection of its own with a short wait and held while the object lives:
// no other program is then inside a transaction on the file, so the file and
// a journal beside it may be replaced. A missing file, or one that is no
// regular file, is neither made nor locked.
class DatabaseFileLock
{
public:
    explicit DatabaseFileLock(const QString &path);
    ~DatabaseFileLock();
    DatabaseFileLock(const DatabaseFileLock &) = delete;
    DatabaseFileLock &operator=(const DatabaseFileLock &) = delete;

    bool isHeld() const { return m_held; }
    // Another connection held a lock beyond the wait.
    bool isBusy() const { return m_busy; }

private:
    sqlite3 *m_database = nullptr;
    bool m_held = false;
    bool m_busy = false;
};
