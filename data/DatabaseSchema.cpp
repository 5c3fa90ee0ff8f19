#include "DatabaseSchema.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QVariant>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("DatabaseSchema", text);
}

// A table's columns as SQLite reports them, hidden and generated ones included.
QString columnsOf(const QSqlDatabase &database, const QString &table)
{
    QSqlQuery query(database);
    query.prepare(QStringLiteral("SELECT name, upper(type), \"notnull\", dflt_value, pk, hidden "
                                 "FROM pragma_table_xinfo(:1)"));
    query.bindValue(QStringLiteral(":1"), table);
    if (!query.exec())
        return QString();
    QStringList columns;
    while (query.next()) {
        QStringList fields;
        for (int i = 0; i < 6; ++i)
            fields << query.value(i).toString();
        columns << fields.join(QLatin1Char(' '));
    }
    return columns.join(QLatin1Char(','));
}

}  // namespace

DatabaseSchema::DatabaseSchema(const QStringList &createStatements)
{
    // A name of its own: two schemas may be made on two threads at once.
    const QString scratchConnection = QStringLiteral("vug-schema-%1").arg(quintptr(this));
    {
        QSqlDatabase scratch = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), scratchConnection);
        scratch.setDatabaseName(QStringLiteral(":memory:"));
        if (scratch.open()) {
            for (const QString &statement : createStatements)
                QSqlQuery(scratch).exec(statement);
            readObjects(scratch, m_objects);
        }
    }
    QSqlDatabase::removeDatabase(scratchConnection);
}

bool DatabaseSchema::readObjects(const QSqlDatabase &database, Objects &objects)
{
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT type, name, tbl_name, sql LIKE 'CREATE TABLE %' FROM sqlite_master")))
        return false;
    while (query.next()) {
        const QString type = query.value(0).toString();
        const QString name = query.value(1).toString();
        // The table an index belongs to; a plain table's columns.
        QString shape = query.value(2).toString();
        if (type == QLatin1String("table") && query.value(3).toBool())
            shape = columnsOf(database, name);
        objects.insert(type + QLatin1Char(' ') + name, shape);
    }
    // A damaged page may end the walk early: SQLite itself read the whole
    // schema to run the query at all, so what it holds was seen by then.
    return true;
}

bool DatabaseSchema::differences(const QSqlDatabase &database, QMap<QString, bool> &differing) const
{
    Objects found;
    if (!readObjects(database, found))
        return false;
    for (auto it = found.cbegin(); it != found.cend(); ++it) {
        const auto expected = m_objects.constFind(it.key());
        if (expected == m_objects.cend())
            differing.insert(it.key(), true);
        else if (expected.value() != it.value())
            differing.insert(it.key(), false);
    }
    return true;
}

QString DatabaseSchema::mismatch(const QSqlDatabase &database) const
{
    // A schema SQLite cannot read runs nothing: every statement fails, and the
    // file reads as damaged.
    QMap<QString, bool> differing;
    if (!differences(database, differing) || differing.isEmpty())
        return QString();
    const auto first = differing.cbegin();
    return first.value() ? tr("лишний объект «%1»").arg(first.key())
                         : tr("объект «%1» не такой, как создаёт программа").arg(first.key());
}

bool DatabaseSchema::differingObjects(const QSqlDatabase &database, QStringList &objects) const
{
    QMap<QString, bool> differing;
    if (!differences(database, differing))
        return false;
    objects = differing.keys();
    return true;
}
