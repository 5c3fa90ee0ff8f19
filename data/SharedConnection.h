#pragma once

#include <QSqlDatabase>
#include <QStringList>

class QSqlError;
struct sqlite3_blob;

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
    // Points the connection at a file and opens it with SQLite's defences for
    // files from elsewhere: no writes to the schema itself, no functions with
    // side effects run from the file's schema, damaged cells caught early. A
    // path that is there but no regular file (a FIFO, a device) is not opened:
    // it would block or never end. The tag tells the users of the connection
    // apart. A file that must exist is never made, also when it goes between
    // a look and the open.
    enum Creation { MayCreate, MustExist };
    static bool openFile(const QString &path, const QString &tag, Creation creation);
    // The files SQLite keeps beside a database: its rollback journal, its
    // write-ahead log and the log's index. A journal left there is rolled into
    // whatever file has the database's name when it is next opened.
    static QStringList sideFiles(const QString &path);
    // How long a statement waits for another program's lock before it fails
    // as busy: short, so a held file is told to the examiner, not waited out.
    static constexpr int kBusyWaitMs = 1500;
    // Whether a statement failed because another connection holds the lock.
    static bool isBusy(const QSqlError &error);
    // The system's error number behind the open connection's last failure
    // (SQLite keeps it beside its own code); 0 when there is none.
    static int systemError();
    // What SQLite's integrity check finds first in the file; empty when it passes.
    static QString integrityProblem(const QString &path, const QString &tag);
    // The blob or text in `column` of a table's row, opened for reading in
    // pieces; not open when the row holds neither or one longer than SQLite's
    // length limit. While a blob larger than SQLite's page cache is open the
    // cache is kept small; a smaller one leaves the cache as it is.
    class Blob
    {
    public:
        Blob(const QString &table, const QString &column, qint64 rowId);
        ~Blob();
        Blob(const Blob &) = delete;
        Blob &operator=(const Blob &) = delete;

        bool isOpen() const { return m_blob != nullptr; }
        int size() const;
        // False when the bytes lie past the end or a page cannot be read.
        bool read(qint64 at, char *into, int length) const;

    private:
        sqlite3_blob *m_blob = nullptr;
        int m_cacheSize = 0;
    };
    // The same read into data in one piece. Through a query the bytes were
    // held thrice at once: in SQLite's page cache, in its value and in Qt's copy.
    static bool readBlob(const QString &table, const QString &column, qint64 rowId, QByteArray &data);
    // Drops the connection. Runs by itself while the application object is
    // being destroyed, before the driver goes, so the program exits quietly.
    static void release();
};
