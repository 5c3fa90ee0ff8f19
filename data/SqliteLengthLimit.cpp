#include "SqliteLengthLimit.h"

#include "SharedConnection.h"

#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

#include <climits>

SqliteLengthLimit::SqliteLengthLimit(qint64 bound)
{
    const QVariant handle = SharedConnection::database().driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        m_handle = *static_cast<sqlite3 *const *>(handle.constData());
    if (m_handle)
        m_previous = sqlite3_limit(m_handle, SQLITE_LIMIT_LENGTH, int(qMin<qint64>(bound, INT_MAX)));
}

SqliteLengthLimit::~SqliteLengthLimit()
{
    if (m_handle)
        sqlite3_limit(m_handle, SQLITE_LIMIT_LENGTH, m_previous);
}
