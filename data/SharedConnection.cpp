#include "SharedConnection.h"

#include <QCoreApplication>

namespace {

QSqlDatabase &connection()
{
    static QSqlDatabase database;
    return database;
}

}  // namespace

QSqlDatabase &SharedConnection::database()
{
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
