#pragma once

#include "StoreResult.h"
#include "StoredBytes.h"

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QSet>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVector>

#include <functional>

class QSqlError;
class QSqlQuery;

// One operation's use of a subject file (table inspection: test_id, data_type,
// data) through the shared connection: points the connection at the file and
// opens it, and closes it when the store goes out of scope. Only one store may
// live at a time. A file from elsewhere is opened only when it is a regular
// file whose schema is the one the program makes.
class InspectionStore
{
public:
    enum Access {
        ExistingFile,  // the file must exist and be readable; nothing is created
        CreateFile,    // the file is created when missing
    };

    struct Row {
        QString testId;
        QByteArray data;
    };

    // An empty path is never opened: SQLite would take it for a throw-away
    // temporary database and every write would vanish.
    InspectionStore(const QString &path, Access access);
    ~InspectionStore();
    InspectionStore(const InspectionStore &) = delete;
    InspectionStore &operator=(const InspectionStore &) = delete;

    // Holds one file in one transaction while it lives: the stores made on
    // that file meanwhile run within it, and what they write stays out of
    // the file unless commit() is called, all of it or none. No store of
    // another file opens meanwhile.
    class Batch;

    bool isOpen() const { return m_open; }
    // Why a file that is there was not opened: no regular file, or a schema
    // the program never makes (triggers, views, other tables or columns).
    // Nothing of such a file is read or changed. Empty otherwise.
    QString refusal() const { return m_refusal; }
    static QString refusalOf(const QString &path);
    // Whether another program's lock stopped a statement (SQLite's busy wait
    // ran out). Once it has, no further statement runs: each would wait again.
    bool isBusy() const { return m_busy; }
    // Why the file did not open: Busy or NotOpen, with its cause.
    StoreResult openFailure() const;
    // Ok when done; otherwise Busy when a lock stopped the store, else the
    // failure given; either with the cause the store met.
    StoreResult outcome(bool done, StoreResult::Code failure) const;
    // Why the file did not open or one of the statements failed, as the
    // system told it: no such file, no access, a full disk. Empty when the
    // store met no failure.
    const QString &failure() const { return m_failure; }

    // Creates the table when the database lacks it; false when it cannot be made
    // (a file that is no database).
    bool createTable();

    // One row per owner and kind: UPDATE, then INSERT when no row was changed.
    // True only when a row was really written.
    bool writeRow(const QString &testId, int kind, const QByteArray &data);
    // One more row of a kind that holds several (photos, attached files); the
    // data are bytes or text. Empty bytes are stored as an empty value, never NULL.
    bool insertRow(const QString &testId, int kind, const QVariant &data);
    // The document in binary JSON through writeRow; TooLarge writes nothing.
    StoreResult writeDocument(const QString &testId, int kind, const QJsonObject &document);
    // A document already in binary JSON; empty stands for one too large, as
    // BinaryJson::encode gives it.
    StoreResult writeEncoded(const QString &testId, int kind, const QByteArray &document);

    // The largest row of a kind the program writes, with room to spare; a
    // larger row is damaged and never read. A subject file larger than
    // kMaxFileBytes is none the program writes, and the rows of one reading
    // stay within it.
    static qint64 maxRowBytes(int kind);
    static constexpr qint64 kMaxPhotoBytes = qint64(256) << 20;
    static constexpr qint64 kMaxFileContentBytes = 1000000000;
    static constexpr qint64 kMaxFileNameBytes = 64 << 10;
    static constexpr qint64 kMaxFileBytes = qint64(2) << 30;
    // What a subject file expands to once read, past which it is none the
    // program writes (what one document may expand to is BinaryJsonBounds'):
    // question indexes run to 9999 and null ones from 10000 to 32767.
    static constexpr int kMaxTests = 10000;
    static constexpr int kMaxQuestions = 10000;      // in either list of one test
    static constexpr int kMaxPlanEntries = 1 << 16;  // of one test
    static constexpr int kMaxRecords = 1 << 20;      // questions and plan entries of all tests together

    // Rows of a kind, in stored order, handed over one at a time; false when
    // the table could not be read to the end (no table, not a database,
    // damaged pages) or a row was over its bound. Rows read before a failure
    // are kept.
    using RowVisitor = std::function<void(const Row &row)>;
    bool forEachRow(int kind, const RowVisitor &visit);
    bool forEachRow(const QString &testId, int kind, const RowVisitor &visit);
    // The same with each row's bytes read a window at a time as the visitor
    // asks for them, so a large row is never held whole.
    using PiecesVisitor = std::function<void(StoredBytes &bytes)>;
    bool forEachRowInPieces(const QString &testId, int kind, const PiecesVisitor &visit);
    bool readRows(int kind, QVector<Row> &rows);
    bool readRows(const QString &testId, int kind, QVector<Row> &rows);
    // Only the first of those rows, when there is one.
    bool readFirstRow(int kind, QVector<Row> &rows);
    bool readFirstRow(const QString &testId, int kind, QVector<Row> &rows);
    // Reads where every row of the kinds lies, in one pass over the table: the
    // reads of one test's rows of those kinds then go straight to them, where
    // each would scan the table. False, leaving the reads to scan, when the
    // table could not be read.
    bool placeRows(const QVector<int> &kinds);
    // Whether the test has a row of the kind, without reading it; false when
    // the table could not be read.
    bool hasRow(const QString &testId, int kind, bool &exists);
    // The owners of rows of a kind, in one pass over the table; false when
    // the table could not be read.
    bool ownersOf(int kind, QSet<QString> &testIds);
    // The decoded documents of a test's rows of a kind; undecodable rows are
    // skipped and make the result Damaged.
    // With fingerprint given, it is set to the rows' fingerprint as read.
    StoreResult readDocuments(const QString &testId, int kind, QVector<QJsonObject> &documents,
                              quint64 *fingerprint = nullptr);

    bool deleteTest(const QString &testId);
    // Every row of a kind, whatever its owner.
    bool deleteKind(int kind);

    // Runs the writes as one transaction, holding the file's write lock from
    // its start, so what they read stays as read until they are done: when
    // they report a failure or the commit fails, everything they did is
    // undone. True only when committed.
    bool inTransaction(const std::function<bool()> &writes);
    // What the rows of an owner and kind hold, as a fingerprint (kAbsent
    // when there are none); false when they could not be read.
    bool fingerprintOf(const QString &testId, int kind, quint64 &fingerprint);
    // The same over every row of the kind, whoever owns them.
    bool fingerprintOf(int kind, quint64 &fingerprint);
    // The same over the owner's first row of the kind only.
    bool fingerprintOfFirst(const QString &testId, int kind, quint64 &fingerprint);
    // The same over whatever row of the kind comes first, whoever owns it.
    bool fingerprintOfFirst(int kind, quint64 &fingerprint);
    static constexpr quint64 kAbsent = 0;
    static quint64 fingerprintOf(const QByteArray &data);
    // The fingerprint of several rows read in order.
    static quint64 folded(quint64 fingerprint, quint64 row);
    // Every row of the test except those of one kind.
    bool deleteTestExcept(const QString &testId, int kind);

    // Runs a statement with ":1", ":2", ... bound in order; false when it fails.
    bool run(QSqlQuery &query, const QString &statement, const QVariantList &values);

private:
    // Hands each row's id and owner to `take`, which reads it and gives the
    // bytes it held, or -1 when it cannot be read.
    using RowTaker = std::function<qint64(qint64 rowId, const QString &testId)>;
    bool visitRows(const QString &condition, const QVariantList &values, int kind, int count, const RowTaker &take);
    bool visitRows(const QString &condition, const QVariantList &values, int kind, int count, const RowVisitor &visit);
    bool readData(qint64 rowId, QByteArray &data);
    // Notes a failed statement's cause; false, for the caller's return.
    bool failed(const QSqlError &error);
    bool ranStatement(const QString &statement);
    struct Selection {
        QString condition;
        QVariantList values;
    };
    // The rows of a test and kind: by their places when placed, else by a scan.
    Selection rowsOf(const QString &testId, int kind) const;
    bool m_open = false;
    // Made within a batch of its file: it runs in the batch's transaction.
    bool m_nested = false;
    bool m_busy = false;
    // Row ids by kind and owner.
    QHash<int, QHash<QString, QVector<qint64>>> m_places;
    QString m_refusal;
    QString m_failure;
};

class InspectionStore::Batch
{
public:
    explicit Batch(const QString &path);
    ~Batch();
    Batch(const Batch &) = delete;
    Batch &operator=(const Batch &) = delete;

    bool isOpen() const { return m_begun; }
    StoreResult openFailure() const { return m_store.openFailure(); }
    // Ok once committed; otherwise why not, everything undone.
    StoreResult commit();

private:
    friend class InspectionStore;
    QString m_path;
    InspectionStore m_store;
    bool m_begun = false;
};
