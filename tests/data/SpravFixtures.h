#pragma once

// Reference-book files the reference-book tests build on, read and written
// behind SpravDB's back through the same shared connection.
#include "data/SharedConnection.h"
#include "data/SpravDB.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace SpravFixtures {

// Runs statements on a file with no SpravDB alive; false when one fails.
inline bool execute(const QString &path, const QStringList &statements)
{
    QSqlDatabase &database = SharedConnection::database();
    database.setDatabaseName(path);
    if (!database.open())
        return false;
    bool ok = true;
    for (const QString &statement : statements) {
        QSqlQuery query(database);
        ok = query.exec(statement) && ok;
    }
    database.close();
    return ok;
}

// Holds the book's write lock from a connection of its own: every write
// through SpravDB then fails at once, reads go on, and the file stays as it
// was. (A trigger would do it more selectively, but the book refuses triggers.)
class WriteLock
{
public:
    explicit WriteLock(const QString &path)
    {
        // Without waiting for the lock to go, which it would not while the test waits.
        SharedConnection::database().setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
        QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name());
        holder.setDatabaseName(path);
        if (!holder.open() || !QSqlQuery(holder).exec(QStringLiteral("BEGIN IMMEDIATE")))
            qFatal("The reference book's write lock could not be taken");
    }
    ~WriteLock()
    {
        {
            QSqlDatabase holder = QSqlDatabase::database(name());
            QSqlQuery(holder).exec(QStringLiteral("ROLLBACK"));
            holder.close();
        }
        QSqlDatabase::removeDatabase(name());
        SharedConnection::database().setConnectOptions();
    }

private:
    static QString name() { return QStringLiteral("write-lock"); }
};

// The values of a query's first column.
inline QVariantList column(const QString &path, const QString &statement)
{
    QVariantList values;
    QSqlDatabase &database = SharedConnection::database();
    database.setDatabaseName(path);
    if (!database.open())
        return values;
    {
        QSqlQuery query(database);
        query.exec(statement);
        while (query.next())
            values.append(query.value(0));
    }
    database.close();
    return values;
}

inline int count(const QString &path, const QString &table)
{
    const QVariantList values = column(path, QStringLiteral("SELECT count(*) FROM %1").arg(table));
    return values.isEmpty() ? -1 : values.first().toInt();
}

inline QStringList tables(const QString &path)
{
    QStringList names;
    for (const QVariant &name : column(path, QStringLiteral("SELECT name FROM sqlite_master WHERE type='table'")))
        names.append(name.toString());
    names.removeAll(QStringLiteral("sqlite_sequence"));
    names.sort();
    return names;
}

inline QStringList allTables()
{
    QStringList names = {"folder_quest", "quest", "folder_test", "test", "folder_quest_usa", "quest_usa",
                         "folder_test_usa", "test_usa", "metricval", "tags"};
    names.sort();
    return names;
}

// A fresh reference-book path in dir, made the process-wide one.
inline QString usePath(const QTemporaryDir &dir, const QString &name = QStringLiteral("svorkel.sqmz"))
{
    SpravDB::sPathFileSprav = dir.filePath(name);
    return SpravDB::sPathFileSprav;
}

// The question or test table of the set in use.
inline QString table(const char *name)
{
    return SpravDB::bUSA ? QLatin1String(name) + QStringLiteral("_usa") : QString::fromLatin1(name);
}

inline QString otherTable(const char *name)
{
    return SpravDB::bUSA ? QString::fromLatin1(name) : QLatin1String(name) + QStringLiteral("_usa");
}

inline void addSetColumn()
{
    QTest::addColumn<bool>("usa");
    QTest::newRow("russian") << false;
    QTest::newRow("international") << true;
}

}  // namespace SpravFixtures
