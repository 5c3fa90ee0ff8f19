#pragma once

#include <QSqlDatabase>

// The one database connection that every subject file and the reference-book
// database share. Each operation points it at its file, opens it, runs its
// statements and closes it again.
class SharedConnection
{
public:
    // A connection serves only the thread that made it: while one of these
    // lives, its worker thread has a connection of its own.
    class ThreadConnection
    {
    public:
        ThreadConnection();
        ~ThreadConnection();
        ThreadConnection(const ThreadConnection &) = delete;
        ThreadConnection &operator=(const ThreadConnection &) = delete;

    private:
        QString m_name;
        QSqlDatabase m_database;
    };

    // The connection (driver QSQLITE, the default connection; the thread's
    // own inside a ThreadConnection), made real on first use.
    static QSqlDatabase &database();
    // Drops the connection. Runs by itself while the application object is
    // being destroyed, before the driver goes, so the program exits quietly.
    static void release();
};
