#pragma once

// Examinations and files the store tests build on.
#include "data/BinaryJson.h"
#include "data/Inspection.h"
#include "data/InspectionStore.h"
#include "data/SharedConnection.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QSqlQuery>
#include <QtTest>

#include <sqlite3.h>

namespace StoreFixtures {

// A test with questions, a plan and, with ticks > 0, a recording whose every
// member can be told apart from a default one.
inline Inspection::_Test recordedTest(const QString &name, int ticks, int seed = 1)
{
    Inspection::_Test test(name);
    test.addTheme(QStringLiteral("Вы взяли деньги?"), QuestionKind::Test, 1, -1);
    test.addTheme(QStringLiteral("Ваше имя?"), QuestionKind::Neutral, 1, -1);
    test.addTheme(QStringLiteral("Тишина"), QuestionKind::Null, 1, -1);
    test.Comments = QStringLiteral("comment %1").arg(seed);
    test.DateTimeRecorded = QDateTime(QDate(2024, 3, 5), QTime(14, 7, seed % 60));
    if (ticks <= 0)
        return test;
    for (int code = 0; code < 13; ++code) {
        QVector<qint16> &samples = *test.samples(code);
        samples.resize(ticks);
        for (int i = 0; i < ticks; ++i)
            samples[i] = qint16((i * (code + 1) + seed) % 30000 - 15000);
        test.channel(code).KodDrv = code + 1;
        test.channel(code).ADT = seed + code;
        test.channel(code).ShiftADT = -code;
        test.channel(code).Offset = 100 + code;
        test.channel(code).Amplify = seed;
    }
    test.TimeMM.resize(ticks);
    for (int i = 0; i < ticks; ++i)
        test.TimeMM[i] = 50 * i + seed;
    for (int i = 0; i < 6; ++i) {
        Inspection::_Label mark;
        mark.Group = qint16(1 + i / 3);
        mark.Theme = qint16(i % 3 == 2 ? 10000 : i % 3);
        mark.TickQStart = 100 * i + seed;
        mark.TickQEnd = mark.TickQStart + 40;
        mark.TickAStart = mark.TickQEnd + 5;
        mark.TickAEnd = mark.TickAStart + 10;
        test.appendLabel(mark);
    }
    test.labelsForRestore = test.labels.mid(0, 2);
    test.ia.nIALength = 10;
    test.ia.nIAEnd = 10;
    test.idsensor = QUuid(QStringLiteral("{a5e1b8a0-3c1f-4b3e-9c55-0f2d6b7d8e91}"));
    return test;
}

// The samples as Qt's JSON types hold them: the generic form of the "data" object.
inline QJsonObject samplesJson(const Inspection::_Test &test)
{
    QJsonObject object;
    const auto array = [](const auto &numbers) {
        QJsonArray array;
        for (auto n : numbers)
            array.append(qint64(n));
        return array;
    };
    for (int code = 0; code < ChannelCode::Count; ++code)
        object.insert(ChannelCode::dataKey(code), array(*test.samples(code)));
    object.insert(QStringLiteral("TimeMM"), array(test.TimeMM));
    return object;
}

// Structure and recording of every test of the examination into its file.
inline void saveTests(Inspection &inspection)
{
    for (Inspection::_Test &test : inspection.tests) {
        inspection.saveTestStruct(&test);
        inspection.saveRecording(&test);
    }
}

inline QVector<InspectionStore::Row> rowsOf(const QString &path, int kind)
{
    InspectionStore store(path, InspectionStore::ExistingFile);
    QVector<InspectionStore::Row> rows;
    store.readRows(kind, rows);
    return rows;
}

// Runs one statement of the test's own in the subject file, e.g. one that
// damages a row.
inline void runStatement(const QString &path, const QString &statement)
{
    InspectionStore store(path, InspectionStore::ExistingFile);
    QSqlQuery query(SharedConnection::database());
    QVERIFY(store.run(query, statement, {}));
}

// The program refuses a subject file whose schema holds triggers, so faults
// are injected as TEMP triggers, made in every connection that opens the file.
inline QString fileKey(const QString &path)
{
    const QFileInfo file(path);
    return file.canonicalFilePath().isEmpty() ? file.absoluteFilePath() : file.canonicalFilePath();
}

inline QMultiHash<QString, QString> &openingStatements()
{
    static QMultiHash<QString, QString> statements;
    return statements;
}

inline QHash<QString, int> &notedWrites()
{
    static QHash<QString, int> writes;
    return writes;
}

inline void noteWrite(sqlite3_context *, int, sqlite3_value **values)
{
    ++notedWrites()[QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(values[0])))];
}

inline int prepareConnection(sqlite3 *db, const char **, const sqlite3_api_routines *)
{
    const QString key = fileKey(QString::fromUtf8(sqlite3_db_filename(db, "main")));
    sqlite3_create_function(db, "note_write", 1, SQLITE_UTF8 | SQLITE_INNOCUOUS, nullptr, noteWrite, nullptr, nullptr);
    for (const QString &statement : openingStatements().values(key))
        sqlite3_exec(db, statement.toUtf8().constData(), nullptr, nullptr, nullptr);
    return SQLITE_OK;
}

// Runs a statement in every connection opened on the file from now on.
inline void runOnOpen(const QString &path, const QString &statement)
{
    static const int registered = sqlite3_auto_extension(reinterpret_cast<void (*)()>(prepareConnection));
    QCOMPARE(registered, SQLITE_OK);
    openingStatements().insert(fileKey(path), statement);
}

// A trigger that refuses every row of a kind written once count rows of it exist.
inline void failWritesAfter(const QString &path, int kind, int count)
{
    for (const char *event : {"INSERT", "UPDATE"}) {
        runOnOpen(path, QStringLiteral("CREATE TEMP TRIGGER fail_%1_%2 BEFORE %1 ON main.inspection "
                                       "WHEN NEW.data_type = %2 AND "
                                       "(SELECT count(*) FROM main.inspection WHERE data_type = %2) >= %3 "
                                       "BEGIN SELECT RAISE(ABORT, 'disk full'); END")
                            .arg(QLatin1String(event))
                            .arg(kind)
                            .arg(count));
    }
}

// Counts every write of a kind into the file from now on; writes(path) tells.
inline void countWrites(const QString &path, int kind)
{
    for (const char *event : {"INSERT", "UPDATE"}) {
        runOnOpen(path, QStringLiteral("CREATE TEMP TRIGGER count_%1_%2 AFTER %1 ON main.inspection "
                                       "WHEN NEW.data_type = %2 BEGIN SELECT note_write('%3'); END")
                            .arg(QLatin1String(event))
                            .arg(kind)
                            .arg(fileKey(path).replace(QLatin1Char('\''), QStringLiteral("''"))));
    }
}

inline int writes(const QString &path)
{
    return notedWrites().value(fileKey(path));
}

// An existing subject file with its table and no rows.
inline void makeSubjectFile(const QString &path)
{
    Inspection inspection(path);
    QCOMPARE(inspection.saveTestStruct(nullptr), StoreResult::Ok);
}

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

}  // namespace StoreFixtures
