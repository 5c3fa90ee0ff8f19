#include "SharedConnection.h"

#include <QCoreApplication>
#include <QThread>

namespace {

QSqlDatabase &connection()
{
    static QSqlDatabase database;
    return database;
}

thread_local QSqlDatabase *threadConnection = nullptr;

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

void SharedConnection::release()
{
    QSqlDatabase &database = connection();
    if (!database.isValid())
        return;
    database.close();
    database = QSqlDatabase();
    QSqlDatabase::removeDatabase(QString::fromLatin1(QSqlDatabase::defaultConnection));
}
