#pragma once

// Subject files as someone else may have written them, made with SQLite
// itself rather than through the program, which would refuse them.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtEndian>

#include <sqlite3.h>
#include <sys/stat.h>

namespace HostileSubjects {

enum class Kind {
    Plain,           // what the program writes: one readable test
    Trigger,         // deletes every row written, each save still "succeeds"
    View,            // in the table's place, a recursive query that never ends
    ExtraTable,
    ExtraColumn,
    Check,           // every recording save fails
    Collation,
    Respelt,         // the program's table in other spacing, quotes and case: accepted
    ShallowNesting,  // a test nested deeper than the program writes, yet sane
    DeepNesting,     // nested far past any stack
    HugeRecord,      // past the largest record the format can hold
    Fifo,            // no file at all
};

const char kCreate[] =
    "CREATE TABLE inspection (test_id VARCHAR(40) NOT NULL, data_type integer NOT NULL, data BLOB NOT NULL);";

inline QByteArray word(quint32 value)
{
    const quint32 le = qToLittleEndian(value);
    return QByteArray(reinterpret_cast<const char *>(&le), 4);
}

// Qt's binary form of {key: container}, the container (an array, or an
// object when isObject) given in its binary form; key of 2-6 Latin-1 letters.
inline QByteArray objectWith(const QByteArray &key, const QByteArray &container, bool isObject = false)
{
    // The entry: the value (the container right after it, key in Latin-1), then
    // the key's length and letters, padded to a word.
    const QByteArray name = QByteArray(1, char(key.size())) + '\0' + key.leftJustified(6, '\0');
    const quint32 at = 12 + 4 + quint32(name.size());
    const QByteArray entry = word((isObject ? 5 : 4) | (1 << 4) | (at << 5)) + name;
    const quint32 size = at + quint32(container.size()) + 4;
    return word(size) + word(3) + word(size - 4) + entry + container + word(12);
}

// Qt's binary JSON of {"struct": container}, the container given in its binary form.
inline QByteArray documentWith(const QByteArray &container, bool isObject = false)
{
    return QByteArray("qbjs") + word(1) + objectWith("struct", container, isObject);
}

// [{}, {}, ...]: count empty questions, 16 bytes each; stored small, yet
// each costs far more once read.
inline QByteArray emptyQuestions(quint32 count)
{
    QByteArray array = word(12 + 16 * count) + word(count << 1) + word(12 + 12 * count);
    array.reserve(int(12 + 16 * count));
    const QByteArray emptyObject = word(12) + word(1) + word(12);
    for (quint32 i = 0; i < count; ++i)
        array += emptyObject;
    for (quint32 i = 0; i < count; ++i)
        array += word(5 | ((12 + 12 * i) << 5));
    return array;
}

// A test structure {"struct": {"themis": [{}, {}, ...]}}.
inline QByteArray emptyQuestionsStructure(quint32 count)
{
    return documentWith(objectWith("themis", emptyQuestions(count)), true);
}

// [object], the object in its binary form.
inline QByteArray arrayOfOne(const QByteArray &object)
{
    return word(12 + quint32(object.size()) + 4) + word(1 << 1) + word(12 + quint32(object.size())) + object
           + word(5 | (12 << 5));
}

// As many as a structure row within its stored-size bound holds: 8.4 million.
constexpr quint32 kMostEmptyQuestions = 8388600;

// [[[ ... ]]] of depth arrays, built without recursion: every array holds the
// next right after its head, so the heads come first and the values last.
inline QByteArray nestedDocument(int depth)
{
    QByteArray heads;
    QByteArray values;
    for (int level = 0; level < depth; ++level) {
        const quint32 size = 12 + 16 * quint32(depth - 1 - level);
        const bool innermost = level == depth - 1;
        heads += word(size) + word(innermost ? 0 : 2) + word(innermost ? 12 : size - 4);
        if (!innermost)
            values += word(4 | (12 << 5));
    }
    return documentWith(heads + values);
}

// An array of nulls a little over the largest document Qt writes.
inline QByteArray hugeDocument()
{
    const quint32 count = (1u << 25) + 16;
    return documentWith(word(12 + 4 * count) + word(count << 1) + word(12) + QByteArray(int(4 * count), '\0'));
}

inline bool execute(sqlite3 *db, const QString &statement)
{
    return sqlite3_exec(db, statement.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

inline bool insertTest(sqlite3 *db, const QByteArray &document)
{
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO inspection (test_id, data_type, data) "
                           "VALUES ('{00000000-0000-0000-0000-000000000001}', 1, ?)",
                       -1, &insert, nullptr);
    sqlite3_bind_blob64(insert, 1, document.constData(), sqlite3_uint64(document.size()), SQLITE_STATIC);
    const bool done = sqlite3_step(insert) == SQLITE_DONE;
    sqlite3_finalize(insert);
    return done;
}

// The table, then what else the file's schema holds.
inline QStringList schemaOf(Kind kind)
{
    switch (kind) {
    case Kind::Trigger:
        return {kCreate, "CREATE TRIGGER wipe AFTER INSERT ON inspection BEGIN DELETE FROM inspection; END"};
    case Kind::View:
        return {"CREATE VIEW inspection AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
                "SELECT '' AS test_id, 1 AS data_type, X'00' AS data FROM n"};
    case Kind::ExtraTable:
        return {kCreate, "CREATE TABLE notes (a int)"};
    case Kind::ExtraColumn:
        return {"CREATE TABLE inspection (test_id VARCHAR(40) NOT NULL, data_type integer NOT NULL, "
                "data BLOB NOT NULL, note TEXT)"};
    case Kind::Check:
        return {"CREATE TABLE inspection (test_id VARCHAR(40) NOT NULL, data_type integer NOT NULL "
                "CHECK (data_type <> 2), data BLOB NOT NULL)"};
    case Kind::Collation:
        return {"CREATE TABLE inspection (test_id VARCHAR(40) NOT NULL COLLATE NOCASE, data_type integer NOT NULL, "
                "data BLOB NOT NULL)"};
    case Kind::Respelt:
        return {"create table \"inspection\"(`test_id` varchar (40) not null, -- older\n"
                "[data_type] INTEGER NOT NULL, data blob not null);"};
    default:
        return {kCreate};
    }
}

inline QByteArray documentOf(Kind kind)
{
    switch (kind) {
    case Kind::ShallowNesting:
        return nestedDocument(40);
    case Kind::DeepNesting:
        return nestedDocument(100000);
    case Kind::HugeRecord:
        return hugeDocument();
    default:
        return nestedDocument(2);
    }
}

// A subject file of the program's own schema holding one test of that structure document.
inline bool makeWithTest(const QString &path, const QByteArray &document)
{
    sqlite3 *db = nullptr;
    const bool made = sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK && execute(db, kCreate)
                      && insertTest(db, document);
    sqlite3_close(db);
    return made;
}

// Writes the subject file of that kind at path, one test in it; false when it could not.
inline bool make(const QString &path, Kind kind)
{
    if (kind == Kind::Fifo)
        return mkfifo(path.toLocal8Bit().constData(), 0600) == 0;
    sqlite3 *db = nullptr;
    const QStringList schema = schemaOf(kind);
    bool made = sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK && execute(db, schema[0])
                && (kind == Kind::View || insertTest(db, documentOf(kind)));
    for (const QString &statement : schema.mid(1))
        made = made && execute(db, statement);
    sqlite3_close(db);
    return made;
}

// Adds a row of zeros to the subject file, as a blob or as text, written by
// SQLite without holding the blob.
inline bool addRow(const QString &path, const QString &owner, int kind, qint64 bytes, bool asText)
{
    sqlite3 *db = nullptr;
    const QString value = asText ? QStringLiteral("CAST(zeroblob(%1) AS TEXT)") : QStringLiteral("zeroblob(%1)");
    const bool added = sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK
                       && execute(db, QStringLiteral("INSERT INTO inspection VALUES ('%1', %2, %3)")
                                          .arg(owner).arg(kind).arg(value.arg(bytes)));
    sqlite3_close(db);
    return added;
}

}  // namespace HostileSubjects
