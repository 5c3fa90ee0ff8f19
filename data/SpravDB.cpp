#include "SpravDB.h"

#include "BinaryJson.h"
#include "DatabaseSchema.h"
#include "InspectionMetricParam.h"
#include "InspectionTest.h"
#include "SharedConnection.h"
#include "SqliteLengthLimit.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>

QString SpravDB::sPathFileSprav;
bool SpravDB::bUSA = false;

namespace {

struct TableDefinition {
    const char *name;
    const char *create;
};

const TableDefinition kTables[] = {
    {"folder_quest", "CREATE TABLE folder_quest (id integer PRIMARY KEY autoincrement, folder_id integer, folder_name VARCHAR(255));"},
    {"quest", "CREATE TABLE quest (id integer PRIMARY KEY autoincrement, folder_id integer, quest_name VARCHAR(255));"},
    {"folder_test", "CREATE TABLE folder_test (id integer PRIMARY KEY autoincrement, folder_id integer, folder_name VARCHAR(255));"},
    {"test", "CREATE TABLE test (id integer PRIMARY KEY autoincrement, folder_id integer, data BLOB NOT NULL);"},
    {"folder_quest_usa", "CREATE TABLE folder_quest_usa (id integer PRIMARY KEY autoincrement, folder_id integer, folder_name VARCHAR(255));"},
    {"quest_usa", "CREATE TABLE quest_usa (id integer PRIMARY KEY autoincrement, folder_id integer, quest_name VARCHAR(255));"},
    {"folder_test_usa", "CREATE TABLE folder_test_usa (id integer PRIMARY KEY autoincrement, folder_id integer, folder_name VARCHAR(255));"},
    {"test_usa", "CREATE TABLE test_usa (id integer PRIMARY KEY autoincrement, folder_id integer, data BLOB NOT NULL);"},
    {"metricval", "CREATE TABLE metricval (id integer PRIMARY KEY autoincrement, data BLOB NOT NULL);"},
    {"tags", "CREATE TABLE tags (id integer PRIMARY KEY autoincrement, data BLOB NOT NULL);"},
};

// The schema the tables above make; a book may lack some of them.
const DatabaseSchema &bookSchema()
{
    static const DatabaseSchema schema = [] {
        QStringList statements;
        for (const TableDefinition &definition : kTables)
            statements << QLatin1String(definition.create);
        return DatabaseSchema(statements);
    }();
    return schema;
}

// The first few names and how many there are: a file may hold thousands.
QString listed(const QStringList &names)
{
    constexpr int shown = 5;
    QString text = names.mid(0, shown).join(QStringLiteral(", "));
    if (names.size() > shown)
        text += QCoreApplication::translate("SpravDB", " и ещё %1").arg(names.size() - shown);
    return text;
}

// The stored form of a test; empty when it is too large to store.
QByteArray testData(InspectionTest &test)
{
    QJsonObject document;
    test.toJson(document);
    return BinaryJson::encode(document);
}

constexpr int kTagWriterWaitMs = 10000;

QSqlQuery newQuery()
{
    return QSqlQuery(SharedConnection::database());
}

}  // namespace

SpravDB::SpravDB()
{
    // An empty name would give SQLite's throw-away temporary database.
    if (sPathFileSprav.isEmpty())
        return;
    const QFileInfo file(sPathFileSprav);
    // A FIFO or a device would block the open for ever.
    if (file.exists() && !file.isFile()) {
        refuse(tr("«%1» не является файлом.").arg(sPathFileSprav));
        return;
    }
    // A file that cannot be opened (its folder is missing) is told when a write fails.
    if (!SharedConnection::openFile(sPathFileSprav, QStringLiteral("sprav"), SharedConnection::MayCreate))
        return;
    QSqlDatabase &database = SharedConnection::database();
    QStringList foreign;
    if (!bookSchema().differingObjects(database, foreign)) {
        refuse(tr("Файл «%1» не является базой данных справочника.").arg(sPathFileSprav));
        return;
    }
    if (!foreign.isEmpty()) {
        refuse(tr("Справочник «%1» содержит объекты, которых программа не создаёт (%2), и не открыт.")
                   .arg(sPathFileSprav, listed(foreign)));
        return;
    }
    m_open = true;
    createMissingTables();
}

void SpravDB::refuse(const QString &why)
{
    m_refusal = why;
    SharedConnection::database().close();
}

SpravDB::~SpravDB()
{
    if (m_open)
        SharedConnection::database().close();
}

bool SpravDB::isOpen() const
{
    return m_open && SharedConnection::database().isOpen();
}

void SpravDB::createMissingTables()
{
    const QStringList existing = SharedConnection::database().tables();
    for (const TableDefinition &definition : kTables) {
        if (existing.contains(QLatin1String(definition.name)))
            continue;
        QSqlQuery query = newQuery();
        query.exec(QLatin1String(definition.create));
    }
}

QString SpravDB::table(const char *name)
{
    const QString plain = QLatin1String(name);
    return bUSA ? plain + QStringLiteral("_usa") : plain;
}

QString SpravDB::questText(int kind, const QString &text)
{
    return QString::number(kind) + QLatin1Char('\n') + text;
}

void SpravDB::splitQuestText(const QString &stored, int &kind, QString &text)
{
    const int lineBreak = stored.indexOf(QLatin1Char('\n'));
    if (lineBreak < 0) {
        kind = -1;
        text = stored;
        return;
    }
    kind = stored.left(lineBreak).toInt();
    // The rest whole: a question's own line breaks belong to its text.
    text = stored.mid(lineBreak + 1);
}

bool SpravDB::run(QSqlQuery &query, const QString &statement, const QVariantList &values)
{
    if (!query.prepare(statement))
        return false;
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i]);
    return query.exec();
}

SpravDB::Result SpravDB::runStatement(const QString &statement, const QVariantList &values)
{
    if (!isOpen())
        return Result::NotOpen;
    QSqlQuery query = newQuery();
    return run(query, statement, values) ? Result::Done : Result::Failed;
}

int SpravDB::insertRow(const QString &statement, const QVariantList &values)
{
    if (!isOpen())
        return 0;
    QSqlQuery query = newQuery();
    // The id only of a row this statement wrote, never one left from before.
    if (!run(query, statement, values) || query.numRowsAffected() < 1)
        return 0;
    return query.lastInsertId().toInt();
}

int SpravDB::insertQuest(int folderId, const QString &text, int kind)
{
    return insertRow(QStringLiteral("INSERT INTO %1 (folder_id, quest_name) VALUES (?, ?);").arg(table("quest")),
                     {folderId, questText(kind, text)});
}

SpravDB::Result SpravDB::updateQuest(int id, const QString &text, int kind)
{
    return runStatement(QStringLiteral("UPDATE %1 SET quest_name=? WHERE id=?;").arg(table("quest")),
                        {questText(kind, text), id});
}

SpravDB::Result SpravDB::deleteRow(const char *name, int id)
{
    return runStatement(QStringLiteral("DELETE FROM %1 WHERE id=?;").arg(table(name)), {id});
}

int SpravDB::insertFolder(const char *name, int parentId, const QString &folderName)
{
    return insertRow(QStringLiteral("INSERT INTO %1 (folder_id, folder_name) VALUES (?, ?);").arg(table(name)),
                     {parentId, folderName});
}

SpravDB::Result SpravDB::updateFolder(const char *name, int id, const QString &folderName)
{
    return runStatement(QStringLiteral("UPDATE %1 SET folder_name=? WHERE id=?;").arg(table(name)),
                        {folderName, id});
}

SpravDB::Result SpravDB::deleteQuest(int id)
{
    return deleteRow("quest", id);
}

int SpravDB::insertFolderQuest(int parentId, const QString &name)
{
    return insertFolder("folder_quest", parentId, name);
}

SpravDB::Result SpravDB::updateFolderQuest(int id, const QString &name)
{
    return updateFolder("folder_quest", id, name);
}

SpravDB::Result SpravDB::deleteFolderQuest(int id)
{
    return deleteRow("folder_quest", id);
}

SpravDB::Result SpravDB::readTest(int id, InspectionTest &test)
{
    if (!isOpen())
        return Result::NotOpen;
    // A row larger than any test fails the read instead of filling memory.
    const SqliteLengthLimit limit(BinaryJson::kMaxDocumentBytes);
    QSqlQuery query = newQuery();
    query.setForwardOnly(true);
    if (!run(query, QStringLiteral("SELECT * FROM %1 WHERE id=?").arg(table("test")), {id}) || !query.next())
        return Result::NoRow;
    QJsonObject document;
    if (!BinaryJson::decode(query.value(QStringLiteral("data")).toByteArray(), document))
        return Result::NoRow;
    test.fromJson(document);
    return Result::Done;
}

int SpravDB::insertFolderTest(int parentId, const QString &name)
{
    return insertFolder("folder_test", parentId, name);
}

SpravDB::Result SpravDB::updateFolderTest(int id, const QString &name)
{
    return updateFolder("folder_test", id, name);
}

SpravDB::Result SpravDB::deleteFolderTest(int id)
{
    return deleteRow("folder_test", id);
}

int SpravDB::insertTest(int folderId, InspectionTest &test)
{
    if (!isOpen())
        return 0;
    const QByteArray data = testData(test);
    if (data.isEmpty())
        return 0;
    return insertRow(QStringLiteral("INSERT INTO %1 (folder_id, data) VALUES (?, ?);").arg(table("test")),
                     {folderId, data});
}

SpravDB::Result SpravDB::updateTest(int id, const QString &name)
{
    if (!isOpen())
        return Result::NotOpen;
    InspectionTest test;
    // Writing back what could not be read would wipe the stored test.
    if (readTest(id, test) != Result::Done)
        return Result::Failed;
    test.name = name;
    const QByteArray data = testData(test);
    if (data.isEmpty())
        return Result::Failed;
    return runStatement(QStringLiteral("UPDATE %1 SET data=? WHERE id=?;").arg(table("test")), {data, id});
}

SpravDB::Result SpravDB::deleteTest(int id)
{
    return deleteRow("test", id);
}

SpravDB::Result SpravDB::readTags(QString &text)
{
    if (!isOpen())
        return Result::NotOpen;
    // A key text far past any a key file holds fails the read instead of filling memory.
    const SqliteLengthLimit limit(MaxTreeBytes);
    QSqlQuery query = newQuery();
    query.setForwardOnly(true);
    // A failed read is no empty tree: whoever writes the tree back would lose it.
    if (!run(query, QStringLiteral("SELECT * FROM tags WHERE id > 0"), {}))
        return Result::Failed;
    if (query.next())
        text = query.value(QStringLiteral("data")).toString();
    return query.lastError().isValid() ? Result::Failed : Result::Done;
}

SpravDB::Result SpravDB::writeTags(const QString &text)
{
    if (!isOpen())
        return Result::NotOpen;
    QSqlQuery update = newQuery();
    if (!run(update, QStringLiteral("UPDATE tags SET data=? WHERE id>0;"), {text}))
        return Result::Failed;
    if (update.numRowsAffected() > 0)
        return Result::Done;
    QSqlQuery insert = newQuery();
    return run(insert, QStringLiteral("INSERT INTO tags (data) VALUES (?);"), {text}) ? Result::Done : Result::Failed;
}

SpravDB::Result SpravDB::updateTags(const std::function<QString(const QString &stored)> &change)
{
    if (!isOpen())
        return Result::NotOpen;
    // Another writer's key update is short: it is waited out longer than a
    // subject file's lock, so that neither loses its keys.
    const QString wait = QStringLiteral("PRAGMA busy_timeout = %1");
    newQuery().exec(wait.arg(kTagWriterWaitMs));
    // Qt's transaction() begins a deferred one: two writers would both read,
    // and the later write would drop the earlier one's keys.
    Result result = newQuery().exec(QStringLiteral("BEGIN IMMEDIATE")) ? Result::Done : Result::Failed;
    if (result == Result::Done) {
        QString text(QLatin1String(""));
        result = readTags(text);
        if (result == Result::Done)
            result = writeTags(change(text));
        if (result != Result::Done || !newQuery().exec(QStringLiteral("COMMIT"))) {
            newQuery().exec(QStringLiteral("ROLLBACK"));
            result = Result::Failed;
        }
    }
    newQuery().exec(wait.arg(SharedConnection::kBusyWaitMs));
    return result;
}

SpravDB::Result SpravDB::readMetricVal(QVector<InspectionMetricParam> &params)
{
    if (!isOpen())
        return Result::NotOpen;
    // A catalogue holds a few dozen parameters; one far past that is not read.
    if (rowCount(QStringLiteral("metricval")) > MaxTreeRows)
        return Result::TooLarge;
    const SqliteLengthLimit limit(BinaryJson::kMaxDocumentBytes);
    QSqlQuery query = newQuery();
    query.setForwardOnly(true);
    if (!run(query, QStringLiteral("SELECT * FROM metricval"), {}))
        return Result::Done;
    const int dataColumn = query.record().indexOf(QStringLiteral("data"));
    while (query.next()) {
        QJsonObject document;
        BinaryJson::decode(query.value(dataColumn).toByteArray(), document);
        InspectionMetricParam param;
        param.fromJson(document);
        params.append(param);
    }
    return Result::Done;
}

SpravDB::Result SpravDB::writeMetricVal(const QVector<InspectionMetricParam> &params)
{
    if (!isOpen())
        return Result::NotOpen;
    QSqlDatabase &database = SharedConnection::database();
    // One transaction: a failed insert must not leave the catalogue half erased.
    if (!database.transaction())
        return Result::Failed;
    QSqlQuery erase = newQuery();
    bool written = run(erase, QStringLiteral("DELETE FROM metricval"), {});
    for (int i = 0; written && i < params.size(); ++i) {
        QJsonObject document;
        params[i].toJson(document);
        const QByteArray data = BinaryJson::encode(document);
        QSqlQuery insert = newQuery();
        written = !data.isEmpty() && run(insert, QStringLiteral("INSERT INTO metricval (data) VALUES (:1)"), {data});
    }
    if (written && database.commit())
        return Result::Done;
    database.rollback();
    return Result::Failed;
}
