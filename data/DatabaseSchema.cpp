#include "DatabaseSchema.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("DatabaseSchema", text);
}

// The end of a quoted run that opened at from (doubled quotes stay inside);
// the text's end when it never closes.
int quotedEnd(const QString &sql, int from, QChar close)
{
    int at = from + 1;
    while (at < sql.size()) {
        if (sql[at] == close) {
            if (close == QLatin1Char(']') || at + 1 >= sql.size() || sql[at + 1] != close)
                return at + 1;
            ++at;
        }
        ++at;
    }
    return at;
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') || c.unicode() > 0x7f;
}

// A schema statement as tokens, so that files whose statements differ only in
// spacing, comments, identifier quotes or letter case compare equal: every
// constraint, collation and default is in the statement, none of them in the
// column list SQLite reports.
QString normalised(const QString &sql)
{
    QStringList tokens;
    int at = 0;
    while (at < sql.size()) {
        const QChar c = sql[at];
        int end = at + 1;
        if (c.isSpace()) {
            at = end;
            continue;
        }
        if (sql.midRef(at, 2) == QLatin1String("--")) {
            end = sql.indexOf(QLatin1Char('\n'), at);
            at = end < 0 ? sql.size() : end;
            continue;
        }
        if (sql.midRef(at, 2) == QLatin1String("/*")) {
            end = sql.indexOf(QLatin1String("*/"), at + 2);
            at = end < 0 ? sql.size() : end + 2;
            continue;
        }
        if (c == QLatin1Char('\'')) {
            // A literal keeps its case and its quotes, unlike a name.
            end = quotedEnd(sql, at, c);
            tokens << sql.mid(at, end - at);
        } else if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('[')) {
            end = quotedEnd(sql, at, c == QLatin1Char('[') ? QLatin1Char(']') : c);
            QString name = sql.mid(at + 1, end - at - 2);
            if (c != QLatin1Char('['))
                name.replace(QString(2, c), QString(c));
            // Only a name a bare word could spell loses its quotes: "not null" stays one name.
            const bool bare = !name.isEmpty() && std::all_of(name.cbegin(), name.cend(), isWordChar);
            tokens << (bare ? name.toLower() : QLatin1Char('"') + name.toLower() + QLatin1Char('"'));
        } else if (isWordChar(c)) {
            while (end < sql.size() && isWordChar(sql[end]))
                ++end;
            tokens << sql.mid(at, end - at).toLower();
        } else if (c != QLatin1Char(';')) {
            tokens << QString(c);
        }
        at = end;
    }
    return tokens.join(QLatin1Char(' '));
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
    if (!query.exec(QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master")))
        return false;
    while (query.next()) {
        const QString type = query.value(0).toString();
        const QString name = query.value(1).toString();
        // The statement that made the object; an index SQLite made itself has
        // none and is told by its table.
        const QVariant sql = query.value(3);
        objects.insert(type + QLatin1Char(' ') + name,
                       sql.isNull() ? query.value(2).toString() : normalised(sql.toString()));
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
