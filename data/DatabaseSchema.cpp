#include "DatabaseSchema.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QVariant>

namespace {

const QString kScratchConnection = QStringLiteral("vug-schema");

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
    {
        QSqlDatabase scratch = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kScratchConnection);
        scratch.setDatabaseName(QStringLiteral(":memory:"));
        if (scratch.open()) {
            for (const QString &statement : createStatements)
                QSqlQuery(scratch).exec(statement);
            readObjects(scratch, m_objects);
        }
    }
    QSqlDatabase::removeDatabase(kScratchConnection);
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

QString DatabaseSchema::mismatch(const QSqlDatabase &database) const
{
    Objects found;
    // A schema SQLite cannot read runs nothing: every statement fails, and the
    // file reads as damaged.
    if (!readObjects(database, found))
        return QString();
    for (auto it = found.cbegin(); it != found.cend(); ++it) {
        const auto expected = m_objects.constFind(it.key());
        if (expected == m_objects.cend())
            return tr("лишний объект «%1»").arg(it.key());
        if (expected.value() != it.value())
            return tr("объект «%1» не такой, как создаёт программа").arg(it.key());
    }
    return QString();
}
