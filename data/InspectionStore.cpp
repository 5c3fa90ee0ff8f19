#include "InspectionStore.h"

#include "BinaryJson.h"
#include "DatabaseSchema.h"
#include "InspectionDataType.h"
#include "SharedConnection.h"
#include "SqliteLengthLimit.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <sqlite3.h>

namespace {

const QString kTable = QStringLiteral("inspection");
// Room for a whole recording row in the page cache: a smaller cache spills
// during the write, and every spill syncs the journal once more.
const QString kCacheSize = QStringLiteral("PRAGMA cache_size = -16384");
const QString kCreate = QStringLiteral(
    "CREATE TABLE inspection (test_id VARCHAR(40) NOT NULL, data_type integer NOT NULL, data BLOB NOT NULL);");
const QString kOfKind = QStringLiteral("data_type = :1");
const QString kOfTestKind = QStringLiteral("test_id=:1 AND data_type=:2");
// The size of a blob comes from its cell header, its bytes unread; any other
// value is sized when it is read under the length limit.
const QString kSelectSizes = QStringLiteral(
    "SELECT rowid, test_id, CASE typeof(data) WHEN 'blob' THEN length(data) ELSE -1 END FROM inspection WHERE %1");
const QString kSelectData = QStringLiteral("SELECT data FROM inspection WHERE rowid = :1");
// Only whether rows are there: their data stay unread.
const QString kSelectPlaces = QStringLiteral("SELECT rowid, test_id, data_type FROM inspection WHERE data_type IN (%1)");
// Only whether a row is there: its data stay unread.
const QString kSelectExists = QStringLiteral("SELECT 1 FROM inspection WHERE test_id=:1 AND data_type=:2 LIMIT 1");
const QString kSelectOwners = QStringLiteral("SELECT DISTINCT test_id FROM inspection WHERE data_type=:1");
const QString kUpdate = QStringLiteral("UPDATE inspection SET data=:2 WHERE test_id=:1 AND data_type=:3");
const QString kInsert = QStringLiteral("INSERT INTO inspection (test_id, data, data_type) VALUES (:1, :2, :3)");
const QString kDeleteTest = QStringLiteral("DELETE FROM inspection WHERE test_id=:1");
const QString kDeleteKind = QStringLiteral("DELETE FROM inspection WHERE data_type=:1");
const QString kDeleteTestExcept = QStringLiteral("DELETE FROM inspection WHERE test_id=:1 AND data_type!=:2");

QString tr(const char *text) { return QCoreApplication::translate("InspectionStore", text); }

// Which of the usual causes it is, with the system's own words.
QString reasonOf(const QSqlError &error)
{
    bool known = false;
    const int code = error.nativeErrorCode().toInt(&known) & 0xff;
    const QString words = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    if (known && code == SQLITE_FULL)
        return tr("диск заполнен: %1").arg(words);
    if (known && (code == SQLITE_READONLY || code == SQLITE_PERM || code == SQLITE_CANTOPEN || code == SQLITE_AUTH))
        return tr("файл недоступен для записи: %1").arg(words);
    const int system = SharedConnection::systemError();
    return system == 0 ? words : words + QStringLiteral(": ") + qt_error_string(system);
}

QString reasonOf(const QFile &file)
{
    return file.exists() ? tr("файл недоступен: %1").arg(file.errorString()) : tr("файла нет");
}

bool isReadable(const QString &path, QString &why)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        return true;
    why = reasonOf(file);
    return false;
}

const DatabaseSchema &subjectSchema()
{
    static const DatabaseSchema schema({kCreate});
    return schema;
}

// A null text binds as NULL, which test_id refuses; rows of the whole subject
// are owned by the empty text.
QString ownerText(const QString &testId)
{
    return testId.isNull() ? QStringLiteral("") : testId;
}

}  // namespace

namespace {
thread_local const InspectionStore::Batch *activeBatch = nullptr;
}  // namespace

InspectionStore::InspectionStore(const QString &path, Access access)
{
    if (activeBatch) {
        m_nested = activeBatch->m_path == path;
        m_open = m_nested;
        if (!m_nested)
            m_failure = tr("файл занят: программа переносит запись в другой файл");
        return;
    }
    const QFileInfo file(path);
    if (file.exists() && !file.isFile()) {
        m_refusal = tr("это не обычный файл");
        m_failure = m_refusal;
        return;
    }
    if (path.isEmpty() || (access == ExistingFile && !isReadable(path, m_failure)))
        return;
    const bool mayCreate = access == CreateFile;
    if (!SharedConnection::openFile(path, QStringLiteral("inspection"),
                                    mayCreate ? SharedConnection::MayCreate : SharedConnection::MustExist)) {
        failed(SharedConnection::database().lastError());
        // Gone since it was looked at: told as gone, never made anew.
        if (!mayCreate && !QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            m_failure = tr("файла нет");
        return;
    }
    // The schema is read under a shared lock; a file another program holds
    // would otherwise pass as one with no schema to refuse.
    QSqlQuery probe(SharedConnection::database());
    if (!probe.exec(QStringLiteral("PRAGMA schema_version")))
        failed(probe.lastError());
    probe.finish();
    if (m_busy) {
        SharedConnection::database().close();
        return;
    }
    m_refusal = subjectSchema().mismatch(SharedConnection::database());
    m_open = m_refusal.isEmpty();
    if (m_open)
        QSqlQuery(SharedConnection::database()).exec(kCacheSize);
    else
        SharedConnection::database().close();
}

QString InspectionStore::refusalOf(const QString &path)
{
    return InspectionStore(path, ExistingFile).refusal();
}

StoreResult InspectionStore::openFailure() const
{
    return {m_busy ? StoreResult::Busy : StoreResult::NotOpen, m_failure};
}

StoreResult InspectionStore::outcome(bool done, StoreResult::Code failure) const
{
    if (done)
        return StoreResult::Ok;
    return {m_busy ? StoreResult::Busy : failure, m_failure};
}

bool InspectionStore::failed(const QSqlError &error)
{
    m_busy = m_busy || SharedConnection::isBusy(error);
    m_failure = reasonOf(error);
    return false;
}

InspectionStore::~InspectionStore()
{
    if (m_open && !m_nested)
        SharedConnection::database().close();
}

bool InspectionStore::createTable()
{
    if (!m_open)
        return false;
    if (SharedConnection::database().tables().contains(kTable))
        return true;
    QSqlQuery query(SharedConnection::database());
    return run(query, kCreate, {});
}

bool InspectionStore::run(QSqlQuery &query, const QString &statement, const QVariantList &values)
{
    if (!m_open || m_busy)
        return false;
    if (!query.prepare(statement))
        return failed(query.lastError());
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(QStringLiteral(":%1").arg(i + 1), values[i]);
    return query.exec() || failed(query.lastError());
}

bool InspectionStore::writeRow(const QString &testId, int kind, const QByteArray &data)
{
    {
        QSqlQuery update(SharedConnection::database());
        if (run(update, kUpdate, {ownerText(testId), data, kind}) && update.numRowsAffected() > 0)
            return true;
    }
    return insertRow(testId, kind, data);
}

bool InspectionStore::insertRow(const QString &testId, int kind, const QVariant &data)
{
    // A null byte array binds as NULL, which the data column refuses: an
    // empty attached file would fail the whole save.
    const QVariant value = data.type() == QVariant::ByteArray && data.isNull() ? QVariant(QByteArray("", 0)) : data;
    // A new row has no place yet: reads scan again.
    m_places.clear();
    QSqlQuery insert(SharedConnection::database());
    return run(insert, kInsert, {ownerText(testId), value, kind}) && insert.numRowsAffected() > 0;
}

StoreResult InspectionStore::writeDocument(const QString &testId, int kind, const QJsonObject &document)
{
    return m_open ? writeEncoded(testId, kind, BinaryJson::encode(document)) : StoreResult(StoreResult::NotOpen);
}

StoreResult InspectionStore::writeEncoded(const QString &testId, int kind, const QByteArray &document)
{
    if (!m_open)
        return StoreResult::NotOpen;
    if (document.isEmpty())
        return StoreResult::TooLarge;
    return outcome(writeRow(testId, kind, document), StoreResult::NotWritten);
}

qint64 InspectionStore::maxRowBytes(int kind)
{
    switch (kind) {
    case InspectionDataType::Photo:
        return kMaxPhotoBytes;
    case InspectionDataType::FileContent:
        return kMaxFileContentBytes;
    case InspectionDataType::FileName:
        return kMaxFileNameBytes;
    default:
        // Every other kind is a binary JSON document.
        return BinaryJson::kMaxDocumentBytes;
    }
}

bool InspectionStore::readData(qint64 rowId, QByteArray &data)
{
    if (SharedConnection::readBlob(kTable, QStringLiteral("data"), rowId, data))
        return true;
    QSqlQuery query(SharedConnection::database());
    query.setForwardOnly(true);
    if (!run(query, kSelectData, {rowId}) || !query.next())
        return false;
    data = query.value(0).toByteArray();
    return true;
}

// Only the sizes are walked; each row's data are read on their own, so no
// more than one row within its bound is held at a time.
bool InspectionStore::visitRows(const QString &condition, const QVariantList &values, int kind, int count,
                                const RowTaker &take)
{
    const qint64 bound = maxRowBytes(kind);
    const SqliteLengthLimit limit(bound);
    QSqlQuery sizes(SharedConnection::database());
    sizes.setForwardOnly(true);
    QString statement = kSelectSizes.arg(condition);
    if (count > 0)
        statement += QStringLiteral(" LIMIT %1").arg(count);
    if (!run(sizes, statement, values))
        return false;
    bool intact = true;
    // Rows a caller keeps together stay within what a whole subject file may hold.
    qint64 total = 0;
    while (sizes.next()) {
        const qint64 size = sizes.value(2).toLongLong();
        const qint64 taken = size > bound || total + size > kMaxFileBytes
                                 ? -1
                                 : take(sizes.value(0).toLongLong(), sizes.value(1).toString());
        if (taken < 0) {
            intact = false;
            continue;
        }
        total += taken;
    }
    // A damaged page ends the walk early with an error instead of more rows.
    if (sizes.lastError().isValid())
        return failed(sizes.lastError());
    return intact;
}

bool InspectionStore::visitRows(const QString &condition, const QVariantList &values, int kind, int count,
                                const RowVisitor &visit)
{
    return visitRows(condition, values, kind, count, RowTaker([&](qint64 rowId, const QString &testId) {
                         Row row{testId, QByteArray()};
                         if (!readData(rowId, row.data))
                             return qint64(-1);
                         visit(row);
                         return qint64(row.data.size());
                     }));
}

bool InspectionStore::forEachRowInPieces(const QString &testId, int kind, const PiecesVisitor &visit)
{
    const Selection rows = rowsOf(testId, kind);
    return visitRows(rows.condition, rows.values, kind, 0, RowTaker([&](qint64 rowId, const QString &) {
                         const SharedConnection::Blob blob(kTable, QStringLiteral("data"), rowId);
                         if (!blob.isOpen()) {
                             // Text, not a blob: read as a whole.
                             QByteArray data;
                             if (!readData(rowId, data))
                                 return qint64(-1);
                             StoredBytes bytes(data);
                             visit(bytes);
                             return qint64(data.size());
                         }
                         StoredBytes bytes(quint32(blob.size()), [&blob](quint32 at, char *into, quint32 length) {
                             return blob.read(at, into, int(length));
                         });
                         visit(bytes);
                         return qint64(blob.size());
                     }));
}

bool InspectionStore::forEachRow(int kind, const RowVisitor &visit)
{
    return visitRows(kOfKind, {kind}, kind, 0, visit);
}

bool InspectionStore::forEachRow(const QString &testId, int kind, const RowVisitor &visit)
{
    const Selection rows = rowsOf(testId, kind);
    return visitRows(rows.condition, rows.values, kind, 0, visit);
}

bool InspectionStore::readRows(int kind, QVector<Row> &rows)
{
    return forEachRow(kind, [&rows](const Row &row) { rows.append(row); });
}

bool InspectionStore::readRows(const QString &testId, int kind, QVector<Row> &rows)
{
    return forEachRow(testId, kind, [&rows](const Row &row) { rows.append(row); });
}

bool InspectionStore::readFirstRow(int kind, QVector<Row> &rows)
{
    return visitRows(kOfKind, {kind}, kind, 1, [&rows](const Row &row) { rows.append(row); });
}

bool InspectionStore::readFirstRow(const QString &testId, int kind, QVector<Row> &rows)
{
    const Selection selection = rowsOf(testId, kind);
    return visitRows(selection.condition, selection.values, kind, 1,
                     [&rows](const Row &row) { rows.append(row); });
}

bool InspectionStore::placeRows(const QVector<int> &kinds)
{
    QStringList listed;
    QHash<int, QHash<QString, QVector<qint64>>> places;
    for (int kind : kinds) {
        listed << QString::number(kind);
        places[kind];  // a kind without rows is placed as well
    }
    QSqlQuery query(SharedConnection::database());
    query.setForwardOnly(true);
    if (!run(query, kSelectPlaces.arg(listed.join(QLatin1Char(','))), {}))
        return false;
    while (query.next())
        places[query.value(2).toInt()][query.value(1).toString()].append(query.value(0).toLongLong());
    if (query.lastError().isValid())
        return failed(query.lastError());
    m_places = places;
    return true;
}

InspectionStore::Selection InspectionStore::rowsOf(const QString &testId, int kind) const
{
    const auto placed = m_places.constFind(kind);
    if (placed == m_places.constEnd())
        return {kOfTestKind, {testId, kind}};
    QStringList rowIds;
    for (qint64 rowId : placed->value(testId))
        rowIds << QString::number(rowId);
    return {QStringLiteral("rowid IN (%1)").arg(rowIds.join(QLatin1Char(','))), {}};
}

bool InspectionStore::hasRow(const QString &testId, int kind, bool &exists)
{
    QSqlQuery query(SharedConnection::database());
    query.setForwardOnly(true);
    if (!run(query, kSelectExists, {testId, kind}))
        return false;
    exists = query.next();
    if (query.lastError().isValid())
        return failed(query.lastError());
    return true;
}

bool InspectionStore::ownersOf(int kind, QSet<QString> &testIds)
{
    QSqlQuery query(SharedConnection::database());
    query.setForwardOnly(true);
    if (!run(query, kSelectOwners, {kind}))
        return false;
    while (query.next())
        testIds.insert(query.value(0).toString());
    if (query.lastError().isValid())
        return failed(query.lastError());
    return true;
}

StoreResult InspectionStore::readDocuments(const QString &testId, int kind, QVector<QJsonObject> &documents,
                                           quint64 *fingerprint)
{
    if (!m_open)
        return StoreResult::NotOpen;
    bool decoded = true;
    quint64 rows = kAbsent;
    const bool intact = forEachRow(testId, kind, [&](const Row &row) {
        rows = folded(rows, fingerprintOf(row.data));
        QJsonObject document;
        if (BinaryJson::decode(row.data, document))
            documents.append(document);
        else
            decoded = false;
    });
    if (fingerprint)
        *fingerprint = rows;
    return outcome(intact && decoded, StoreResult::Damaged);
}

bool InspectionStore::deleteTest(const QString &testId)
{
    QSqlQuery query(SharedConnection::database());
    return run(query, kDeleteTest, {testId});
}

bool InspectionStore::deleteKind(int kind)
{
    QSqlQuery query(SharedConnection::database());
    return run(query, kDeleteKind, {kind});
}

bool InspectionStore::ranStatement(const QString &statement)
{
    QSqlQuery query(SharedConnection::database());
    return run(query, statement, {});
}

bool InspectionStore::inTransaction(const std::function<bool()> &writes)
{
    if (m_nested) {
        if (!ranStatement(QStringLiteral("SAVEPOINT nested")))
            return false;
        if (writes() && ranStatement(QStringLiteral("RELEASE nested")))
            return true;
        QSqlQuery(SharedConnection::database()).exec(QStringLiteral("ROLLBACK TO nested"));
        QSqlQuery(SharedConnection::database()).exec(QStringLiteral("RELEASE nested"));
        return false;
    }
    // Immediate: two programs that both read a row before writing it never
    // both pass; the later one waits for the earlier one's commit.
    if (!ranStatement(QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    if (writes() && ranStatement(QStringLiteral("COMMIT")))
        return true;
    QSqlQuery(SharedConnection::database()).exec(QStringLiteral("ROLLBACK"));
    return false;
}

InspectionStore::Batch::Batch(const QString &path)
    : m_path(path), m_store(path, ExistingFile)
{
    m_begun = m_store.isOpen() && !activeBatch && m_store.ranStatement(QStringLiteral("BEGIN IMMEDIATE"));
    if (m_begun)
        activeBatch = this;
}

InspectionStore::Batch::~Batch()
{
    if (!m_begun)
        return;
    QSqlQuery(SharedConnection::database()).exec(QStringLiteral("ROLLBACK"));
    activeBatch = nullptr;
}

StoreResult InspectionStore::Batch::commit()
{
    if (!m_begun)
        return m_store.openFailure();
    const bool committed = m_store.ranStatement(QStringLiteral("COMMIT"));
    if (!committed)
        QSqlQuery(SharedConnection::database()).exec(QStringLiteral("ROLLBACK"));
    m_begun = false;
    activeBatch = nullptr;
    return m_store.outcome(committed, StoreResult::NotWritten);
}

quint64 InspectionStore::fingerprintOf(const QByteArray &data)
{
    // Two independent 32-bit hashes, and never kAbsent.
    const quint64 high = qHashBits(data.constData(), size_t(data.size()), 0);
    const quint64 low = qHashBits(data.constData(), size_t(data.size()), 0x9e3779b9u);
    return ((high << 32) | low) | 1;
}

quint64 InspectionStore::folded(quint64 fingerprint, quint64 row)
{
    return fingerprint == kAbsent ? row : (fingerprint * 0x100000001b3ull) ^ row;
}

bool InspectionStore::fingerprintOf(const QString &testId, int kind, quint64 &fingerprint)
{
    fingerprint = kAbsent;
    return forEachRow(testId, kind, [&fingerprint](const Row &row) {
        fingerprint = folded(fingerprint, fingerprintOf(row.data));
    });
}

bool InspectionStore::fingerprintOf(int kind, quint64 &fingerprint)
{
    fingerprint = kAbsent;
    return forEachRow(kind, [&fingerprint](const Row &row) {
        fingerprint = folded(fingerprint, fingerprintOf(row.data));
    });
}

bool InspectionStore::fingerprintOfFirst(const QString &testId, int kind, quint64 &fingerprint)
{
    QVector<Row> rows;
    const bool read = readFirstRow(testId, kind, rows);
    fingerprint = rows.isEmpty() ? kAbsent : fingerprintOf(rows.first().data);
    return read;
}

bool InspectionStore::fingerprintOfFirst(int kind, quint64 &fingerprint)
{
    QVector<Row> rows;
    const bool read = readFirstRow(kind, rows);
    fingerprint = rows.isEmpty() ? kAbsent : fingerprintOf(rows.first().data);
    return read;
}

bool InspectionStore::deleteTestExcept(const QString &testId, int kind)
{
    QSqlQuery query(SharedConnection::database());
    return run(query, kDeleteTestExcept, {testId, kind});
}
