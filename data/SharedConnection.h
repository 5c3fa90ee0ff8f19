#pragma once

#include <QSqlDatabase>

// The one database connection that every subject file and the reference-book
// database share. Each operation points it at its file, opens it, runs its
// statements and closes it again.
class SharedConnection
{
public:
    // The connection (driver QSQLITE, the default connection), made real on first use.
    static QSqlDatabase &database();
    // Drops the connection. Runs by itself while the application object is
    // being destroyed, before the driver goes, so the program exits quietly.
    static void release();
};
