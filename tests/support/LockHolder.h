#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QUuid>

// A second connection to a database file that holds one of SQLite's locks,
// as another program would, until it commits or goes.
class LockHolder
{
public:
    // begin: "BEGIN EXCLUSIVE", "BEGIN IMMEDIATE", ...
    LockHolder(const QString &path, const QString &begin)
        : m_name(QUuid::createUuid().toString())
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        database.setDatabaseName(path);
        m_held = database.open() && run(begin);
    }
    ~LockHolder()
    {
        if (m_held)
            run(QStringLiteral("ROLLBACK"));
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    LockHolder(const LockHolder &) = delete;
    LockHolder &operator=(const LockHolder &) = delete;

    bool isHeld() const { return m_held; }
    bool run(const QString &statement)
    {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        return query.exec(statement);
    }
    bool commit()
    {
        m_held = !run(QStringLiteral("COMMIT"));
        return !m_held;
    }

private:
    QString m_name;
    bool m_held = false;
};
