#include "SharedConnection.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>
#include <QVariant>

#include <sqlite3.h>

namespace {

QSqlDatabase &connection()
{
    static QSqlDatabase database;
    return database;
}

bool isRegularOrMissing(const QString &path)
{
    const QFileInfo file(path);
    return file.isFile() || (!file.exists() && !file.isSymLink());
}

// The handle behind Qt's driver; the driver links the same SQLite library.
sqlite3 *handleOf(const QSqlDatabase &database)
{
    const QVariant handle = database.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

bool defend(QSqlDatabase &database)
{
    sqlite3 *handle = handleOf(database);
    if (!handle || sqlite3_db_config(handle, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr) != SQLITE_OK
        || sqlite3_db_config(handle, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr) != SQLITE_OK
        || sqlite3_busy_timeout(handle, SharedConnection::kBusyWaitMs) != SQLITE_OK)
        return false;
    QSqlQuery pragma(database);
    return pragma.exec(QStringLiteral("PRAGMA cell_size_check=ON"));
}

thread_local QSqlDatabase *threadConnection = nullptr;

// The page cache while a blob larger than it is read.
constexpr int kSmallCacheKiB = 256;

// A pragma's value on the connection; 0 when it cannot be read.
int pragmaValue(const QString &name)
{
    QSqlQuery query(SharedConnection::database());
    return query.exec(QStringLiteral("PRAGMA %1").arg(name)) && query.next() ? query.value(0).toInt() : 0;
}

// SQLite counts a negative cache size in KiB and a positive one in pages.
qint64 cacheBytes(int cacheSize)
{
    if (cacheSize < 0)
        return -qint64(cacheSize) * 1024;
    return qint64(cacheSize) * pragmaValue(QStringLiteral("page_size"));
}

}  // namespace

SharedConnection::ThreadConnection::ThreadConnection()
    : m_name(QStringLiteral("thread-%1").arg(quintptr(QThread::currentThreadId())))
    , m_database(QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name))
{
    threadConnection = &m_database;
}

SharedConnection::ThreadConnection::~ThreadConnection()
{
    threadConnection = nullptr;
    m_database.close();
    m_database = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase &SharedConnection::database()
{
    if (threadConnection)
        return *threadConnection;
    QSqlDatabase &database = connection();
    if (!database.isValid()) {
        database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        qAddPostRoutine(&SharedConnection::release);
    }
    return database;
}

bool SharedConnection::openFile(const QString &path, const QString &tag, Creation creation)
{
    if (path.isEmpty() || !isRegularOrMissing(path))
        return false;
    QSqlDatabase &connection = database();
    connection.setHostName(tag);
    if (creation == MayCreate) {
        connection.setConnectOptions();
        connection.setDatabaseName(path);
    } else {
        // SQLite itself refuses to make it: a check before the open would race
        // with another program deleting the file.
        connection.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        connection.setDatabaseName(QStringLiteral("file://")
                                   + QString::fromLatin1(QUrl::toPercentEncoding(
                                       QFileInfo(path).absoluteFilePath(), QByteArrayLiteral("/")))
                                   + QStringLiteral("?mode=rw"));
    }
    if (!connection.open())
        return false;
    if (defend(connection))
        return true;
    connection.close();
    return false;
}

QStringList SharedConnection::sideFiles(const QString &path)
{
    return {path + QStringLiteral("-journal"), path + QStringLiteral("-wal"), path + QStringLiteral("-shm")};
}

bool SharedConnection::isBusy(const QSqlError &error)
{
    bool known = false;
    const int code = error.nativeErrorCode().toInt(&known) & 0xff;
    return known && (code == SQLITE_BUSY || code == SQLITE_LOCKED);
}

int SharedConnection::systemError()
{
    sqlite3 *handle = handleOf(database());
    return handle ? sqlite3_system_errno(handle) : 0;
}

QString SharedConnection::integrityProblem(const QString &path, const QString &tag)
{
    if (!openFile(path, tag, MustExist))
        return QCoreApplication::translate("SharedConnection", "файл не открывается");
    QString problem;
    {
        QSqlQuery check(database());
        if (!check.exec(QStringLiteral("PRAGMA integrity_check(1)")) || !check.next())
            problem = check.lastError().text();
        else if (check.value(0).toString() != QLatin1String("ok"))
            problem = check.value(0).toString();
    }
    database().close();
    return problem;
}

SharedConnection::Blob::Blob(const QString &table, const QString &column, qint64 rowId)
{
    sqlite3 *handle = handleOf(database());
    if (!handle
        || sqlite3_blob_open(handle, "main", table.toUtf8().constData(), column.toUtf8().constData(), rowId, 0,
                             &m_blob)
               != SQLITE_OK
        || sqlite3_blob_bytes(m_blob) > sqlite3_limit(handle, SQLITE_LIMIT_LENGTH, -1)) {
        sqlite3_blob_close(m_blob);
        m_blob = nullptr;
        return;
    }
    // A blob larger than the page cache would fill it with pages read once
    // and hold them beside the copy; smaller rows leave the cache as it is,
    // since shrinking it drops every page the next statement needs.
    const int blobBytes = sqlite3_blob_bytes(m_blob);
    if (blobBytes <= kSmallCacheKiB * 1024)
        return;
    const int cacheSize = pragmaValue(QStringLiteral("cache_size"));
    if (cacheSize == 0 || blobBytes <= cacheBytes(cacheSize))
        return;
    m_cacheSize = cacheSize;
    QSqlQuery(database()).exec(QStringLiteral("PRAGMA cache_size = -%1").arg(kSmallCacheKiB));
}

SharedConnection::Blob::~Blob()
{
    if (!m_blob)
        return;
    sqlite3_blob_close(m_blob);
    if (m_cacheSize != 0)
        QSqlQuery(database()).exec(QStringLiteral("PRAGMA cache_size = %1").arg(m_cacheSize));
}

int SharedConnection::Blob::size() const
{
    return m_blob ? sqlite3_blob_bytes(m_blob) : 0;
}

bool SharedConnection::Blob::read(qint64 at, char *into, int length) const
{
    return m_blob && at >= 0 && length >= 0 && at + length <= size()
           && sqlite3_blob_read(m_blob, into, length, int(at)) == SQLITE_OK;
}

bool SharedConnection::readBlob(const QString &table, const QString &column, qint64 rowId, QByteArray &data)
{
    const Blob blob(table, column, rowId);
    if (!blob.isOpen())
        return false;
    QByteArray bytes(blob.size(), Qt::Uninitialized);
    if (!blob.read(0, bytes.data(), bytes.size()))
        return false;
    data = bytes;
    return true;
}

void SharedConnection::release()
{
    QSqlDatabase &database = connection();
    if (!database.isValid())
        return;
    database.close();
    database = QSqlDatabase();
    QSqlDatabase::removeDatabase(QString::fromLatin1(QSqlDatabase::defaultConnection));
}
