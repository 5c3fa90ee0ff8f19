#include "DatabaseFileLock.h"

#include "SharedConnection.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

DatabaseFileLock::DatabaseFileLock(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_database, SQLITE_OPEN_READWRITE, nullptr)
        != SQLITE_OK)
        return;
    sqlite3_busy_timeout(m_database, SharedConnection::kBusyWaitMs);
    const int result = sqlite3_exec(m_database, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    m_held = result == SQLITE_OK;
    m_busy = (result & 0xff) == SQLITE_BUSY || (result & 0xff) == SQLITE_LOCKED;
}

DatabaseFileLock::~DatabaseFileLock()
{
    if (m_held)
        sqlite3_exec(m_database, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(m_database);
}
