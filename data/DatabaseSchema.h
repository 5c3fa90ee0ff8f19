#pragma once

#include <QMap>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The schema a database file from elsewhere must have before the program uses
// it: only the tables the program creates, each made by the same statement
// (spacing, quotes and letter case aside). A trigger or a CHECK would run on
// every write, a view or another table could make a read hang or lie.
class DatabaseSchema
{
public:
    // The schema the CREATE TABLE statements make, with what SQLite adds to it.
    explicit DatabaseSchema(const QStringList &createStatements);

    // Empty when the open database holds this schema or a part of it (tables it
    // lacks are made on first use) or none SQLite can read; otherwise the
    // first object that differs, for a message.
    QString mismatch(const QSqlDatabase &database) const;

    // Every object of the open database that is not in this schema or differs
    // from it, as "type name"; false when SQLite cannot read the schema at all.
    bool differingObjects(const QSqlDatabase &database, QStringList &objects) const;

private:
    // "type name" of each schema object, with what must match of it.
    using Objects = QMap<QString, QString>;
    static bool readObjects(const QSqlDatabase &database, Objects &objects);
    // Of the objects read, those that differ: true for an extra one.
    bool differences(const QSqlDatabase &database, QMap<QString, bool> &differing) const;
    Objects m_objects;
};
