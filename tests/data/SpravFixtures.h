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
