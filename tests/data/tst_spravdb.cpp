#include "SpravFixtures.h"
#include "data/BinaryJson.h"
#include "data/Inspection.h"
#include "tests/support/TestHome.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <future>
#include <QStandardItemModel>

#include <sys/stat.h>

using namespace SpravFixtures;

namespace {

Inspection::_Test methodic(const QString &name)
{
    Inspection::_Test test(name);
    test.addTheme(QStringLiteral("Вы взяли деньги?"), QuestionKind::Test, 1, -1);
    test.addTheme(QStringLiteral("Ваше имя?"), QuestionKind::Neutral, 1, -1);
    test.addNullTheme(QStringLiteral("Сядьте ровно"));
    test.Comments = QStringLiteral("по инструкции");
    return test;
}

Inspection::_MetricParam metricParam(const QString &name, int channel)
{
    Inspection::_MetricParam param;
    param.Name = name;
    param.uid = QUuid::createUuid();
    param.nKodChannel = qint16(channel);
    param.bEnable = true;
    param.eMet = 3;
    param.dK = 0.5;
    param.sDescription = QStringLiteral("описание %1").arg(name);
    return param;
}

void compareParams(const Inspection::_MetricParam &a, const Inspection::_MetricParam &b)
{
    QCOMPARE(a.Name, b.Name);
    QCOMPARE(a.uid, b.uid);
    QCOMPARE(a.nKodChannel, b.nKodChannel);
    QCOMPARE(a.eMet, b.eMet);
    QCOMPARE(a.dK, b.dK);
    QCOMPARE(a.sDescription, b.sDescription);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestSpravDB : public QObject
{
    Q_OBJECT

private slots:
    void init() { SpravDB::bUSA = false; }

    void newFileGetsAllTables()
    {
        QTemporaryDir dir;
        const QString path = usePath(dir);
        {
            SpravDB db;
            QVERIFY(db.isOpen());
        }
        QCOMPARE(tables(path), allTables());
        // A second opening of a complete file changes nothing.
        { SpravDB db; }
        QCOMPARE(tables(path), allTables());
    }

    void olderLayoutGainsMissingTablesAndKeepsRows()
    {
        // Five tables plus SQLite's sequence table make six names.
        QTemporaryDir dir;
        const QString path = usePath(dir);
        QVERIFY(execute(path, {
            "CREATE TABLE folder_quest (id integer PRIMARY KEY autoincrement, folder_id integer, folder_name VARCHAR(255));",
            "CREATE TABLE quest (id integer PRIMARY KEY autoincrement, folder_id integer, quest_name VARCHAR(255));",
            "CREATE TABLE folder_test (id integer PRIMARY KEY autoincrement, folder_id integer, folder_name VARCHAR(255));",
            "CREATE TABLE test (id integer PRIMARY KEY autoincrement, folder_id integer, data BLOB NOT NULL);",
            // Spelt otherwise, yet the same table.
            "create table [tags] (\"id\" INTEGER primary key AUTOINCREMENT,\n data blob not null)",
            "INSERT INTO folder_quest (folder_id, folder_name) VALUES (0, 'Старая папка');",
            "INSERT INTO quest (folder_id, quest_name) VALUES (1, '2\nСтарый вопрос');",
            "INSERT INTO tags (data) VALUES ('старые теги');",
        }));
        QCOMPARE(column(path, "SELECT count(*) FROM sqlite_master WHERE type='table'").value(0).toInt(), 6);
        QStandardItemModel model;
        QString tags;
        {
            SpravDB db;
            QCOMPARE(db.readTags(tags), SpravDB::Result::Done);
            QCOMPARE(db.loadQuestTree(&model, 0, nullptr), SpravDB::Result::Done);
            SpravDB::bUSA = true;
            QVERIFY(db.insertQuest(0, QStringLiteral("new"), 1) > 0);
        }
        QCOMPARE(tables(path), allTables());
        QCOMPARE(tags, QStringLiteral("старые теги"));
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.item(0)->text(), QStringLiteral("Старая папка"));
        QCOMPARE(model.item(0)->child(0)->text(), QStringLiteral("Старый вопрос"));
        QCOMPARE(count(path, "quest_usa"), 1);
    }

    void notADatabaseIsNotOpenAndUntouched()
    {
        QTemporaryDir dir;
        const QString path = usePath(dir);
        const QByteArray garbage = QByteArray("these are not the pages of a database\n").repeated(200);
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(garbage);
        }
        {
            SpravDB db;
            QVERIFY(!db.isOpen());
            QCOMPARE(db.insertQuest(0, QStringLiteral("q"), 0), 0);
            QCOMPARE(db.writeTags(QStringLiteral("t")), SpravDB::Result::NotOpen);
        }
        QCOMPARE(fileBytes(path), garbage);
    }

    // Books someone else wrote: a schema object the program does not make
    // would run inside its statements, and a FIFO would block the open.
    void foreignBooksAreRefusedUntouched_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::newRow("trigger") << QStringList{"CREATE TRIGGER wipe AFTER INSERT ON quest BEGIN DELETE FROM quest; END"};
        QTest::newRow("view") << QStringList{"CREATE VIEW endless AS WITH RECURSIVE n(i) AS "
                                             "(SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT i FROM n"};
        QTest::newRow("other table") << QStringList{"CREATE TABLE extra (x)"};
        QTest::newRow("index") << QStringList{"CREATE INDEX by_folder ON quest (folder_id)"};
        QTest::newRow("other columns") << QStringList{"DROP TABLE tags", "CREATE TABLE tags (id integer PRIMARY KEY "
                                                      "autoincrement, data BLOB NOT NULL, extra DEFAULT (random()))"};
        QTest::newRow("check") << QStringList{"DROP TABLE tags", "CREATE TABLE tags (id integer PRIMARY KEY "
                                              "autoincrement, data BLOB NOT NULL CHECK (length(data) > 9))"};
        QTest::newRow("FIFO") << QStringList();
    }
    void foreignBooksAreRefusedUntouched()
    {
        QFETCH(QStringList, statements);
        QTemporaryDir dir;
        const QString path = usePath(dir);
        if (statements.isEmpty()) {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else {
            {
                SpravDB db;
                QVERIFY(db.insertQuest(0, "q", 0) > 0);
            }
            QVERIFY(execute(path, statements));
        }
        const QByteArray before = statements.isEmpty() ? QByteArray() : fileBytes(path);
        SpravDB db;
        QVERIFY(!db.isOpen());
        QVERIFY2(db.refusal().contains(path), qPrintable(db.refusal()));
        QString tags = QStringLiteral("kept");
        QCOMPARE(db.readTags(tags), SpravDB::Result::NotOpen);
        QCOMPARE(db.insertQuest(0, "r", 0), 0);
        if (!statements.isEmpty())
            QCOMPARE(fileBytes(path), before);
    }

    // Two writers, each with its own connection, add their keys at once: the book keeps both sets.
    void concurrentTagWritersKeepEachOthersKeys()
    {
        QTemporaryDir dir;
        SpravDB::sPathFileSprav = dir.filePath(QStringLiteral("book.sqmz"));
        QVERIFY(SpravDB().isOpen());
        const int perWriter = 150;
        const auto writer = [perWriter](QChar side) {
            const SharedConnection::ThreadConnection connection;
            int failures = 0;
            for (int i = 0; i < perWriter; ++i) {
                SpravDB sprav;
                failures += sprav.updateTags([&](const QString &stored) {
                    return stored + QStringLiteral("%1%2\n").arg(side).arg(i);
                }) != SpravDB::Result::Done;
            }
            return failures;
        };
        std::future<int> a = std::async(std::launch::async, writer, QChar('a'));
        std::future<int> b = std::async(std::launch::async, writer, QChar('b'));
        QCOMPARE(a.get() + b.get(), 0);
        QString text;
        QCOMPARE(SpravDB().readTags(text), SpravDB::Result::Done);
        QCOMPARE(text.count(QLatin1Char('\n')), 2 * perWriter);
    }

    void emptyPathIsNotOpenEverywhere()
    {
        SpravDB::sPathFileSprav.clear();
        SpravDB db;
        QVERIFY(!db.isOpen());
        QVERIFY(!SharedConnection::database().isOpen());
        Inspection::_Test test = methodic(QStringLiteral("t"));
        QString tags = QStringLiteral("kept");
        QVector<Inspection::_MetricParam> params;
        QStandardItemModel model;
        model.appendRow(new QStandardItem(QStringLiteral("kept")));
        // Inserts write no row (id 0); everything else tells the book is not open.
        const QVector<int> ids = {db.insertQuest(0, "q", 0), db.insertFolderQuest(0, "f"),
                                  db.insertFolderTest(0, "f"), db.insertTest(0, test)};
        QCOMPARE(ids, QVector<int>(ids.size(), 0));
        const QVector<SpravDB::Result> results = {
            db.updateQuest(1, "q", 0), db.deleteQuest(1), db.updateFolderQuest(1, "f"), db.deleteFolderQuest(1),
            db.readTest(1, test), db.updateFolderTest(1, "f"), db.deleteFolderTest(1), db.updateTest(1, "n"),
            db.deleteTest(1), db.readTags(tags), db.writeTags("t"), db.readMetricVal(params),
            db.writeMetricVal(params), db.loadQuestTree(&model, 0, nullptr), db.loadTestTree(&model, 0, nullptr),
        };
        QCOMPARE(results, QVector<SpravDB::Result>(results.size(), SpravDB::Result::NotOpen));
        QCOMPARE(tags, QStringLiteral("kept"));
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(test.name, QStringLiteral("t"));
    }

    void questOperations_data() { addSetColumn(); }
    void questOperations()
    {
        QFETCH(bool, usa);
        QTemporaryDir dir;
        const QString path = usePath(dir);
        SpravDB::bUSA = usa;
        const QString text = QStringLiteral("Первая строка\nвторая: 100% и %d %s");
        int first = 0;
        int second = 0;
        {
            SpravDB db;
            first = db.insertQuest(5, text, 2);
            second = db.insertQuest(5, QStringLiteral("x"), 0);
            QVERIFY(first > 0 && second > first);
        }
        const QString byId = QStringLiteral("SELECT quest_name FROM %1 WHERE id=%2").arg(table("quest"));
        QCOMPARE(column(path, byId.arg(first)).value(0).toString(), QStringLiteral("2\n") + text);
        QCOMPARE(column(path, QStringLiteral("SELECT folder_id FROM %1 WHERE id=%2").arg(table("quest")).arg(first))
                     .value(0).toInt(), 5);
        QCOMPARE(count(path, otherTable("quest")), 0);
        {
            SpravDB db;
            QCOMPARE(db.updateQuest(first, QStringLiteral("it's 'quoted'"), 104), SpravDB::Result::Done);
            QCOMPARE(db.deleteQuest(second), SpravDB::Result::Done);
        }
        QCOMPARE(column(path, byId.arg(first)).value(0).toString(), QStringLiteral("104\nit's 'quoted'"));
        QCOMPARE(count(path, table("quest")), 1);
    }

    void folderOperations_data() { addSetColumn(); }
    void folderOperations()
    {
        QFETCH(bool, usa);
        QTemporaryDir dir;
        const QString path = usePath(dir);
        SpravDB::bUSA = usa;
        int quest = 0, questChild = 0, test = 0, testChild = 0;
        {
            SpravDB db;
            quest = db.insertFolderQuest(0, QStringLiteral("Вопросы"));
            questChild = db.insertFolderQuest(quest, QStringLiteral("Вложенная"));
            test = db.insertFolderTest(0, QStringLiteral("Тесты"));
            testChild = db.insertFolderTest(test, QStringLiteral("Вложенная"));
            QVERIFY(quest > 0 && questChild > quest && test > 0 && testChild > test);
            QCOMPARE(db.updateFolderQuest(quest, QStringLiteral("Renamed'; DROP TABLE quest;--")), SpravDB::Result::Done);
            QCOMPARE(db.updateFolderTest(test, QStringLiteral("Тесты 2")), SpravDB::Result::Done);
            QCOMPARE(db.deleteFolderQuest(questChild), SpravDB::Result::Done);
            QCOMPARE(db.deleteFolderTest(testChild), SpravDB::Result::Done);
        }
        const QString name = QStringLiteral("SELECT folder_name FROM %1 WHERE id=%2");
        QCOMPARE(column(path, name.arg(table("folder_quest")).arg(quest)).value(0).toString(),
                 QStringLiteral("Renamed'; DROP TABLE quest;--"));
        QCOMPARE(column(path, name.arg(table("folder_test")).arg(test)).value(0).toString(), QStringLiteral("Тесты 2"));
        QCOMPARE(column(path, QStringLiteral("SELECT folder_id FROM %1").arg(table("folder_quest"))),
                 QVariantList{0});
        QCOMPARE(count(path, table("folder_test")), 1);
        QCOMPARE(count(path, otherTable("folder_quest")) + count(path, otherTable("folder_test")), 0);
        QCOMPARE(tables(path), allTables());
    }

    void failedInsertReturnsNoStaleId_data() { addSetColumn(); }
    void failedInsertReturnsNoStaleId()
    {
        QFETCH(bool, usa);
        QTemporaryDir dir;
        const QString path = usePath(dir);
        SpravDB::bUSA = usa;
        { SpravDB db; }
        // Every id used up: the next insert into each of these tables fails.
        QStringList full;
        for (const char *name : {"quest", "folder_quest", "folder_test", "test"})
            full << QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES ('%1', 9223372036854775807)")
                        .arg(table(name));
        QVERIFY(execute(path, full));
        Inspection::_Test test = methodic(QStringLiteral("t"));
        SpravDB db;
        SpravDB::bUSA = !usa;
        QVERIFY(db.insertQuest(0, "q", 0) > 0);
        SpravDB::bUSA = usa;
        QCOMPARE(db.insertQuest(0, "q", 0), 0);
        QCOMPARE(db.insertFolderQuest(0, "f"), 0);
        QCOMPARE(db.insertFolderTest(0, "f"), 0);
        QCOMPARE(db.insertTest(0, test), 0);
    }

    void refusedUpdatesAndDeletesAreFailed_data() { addSetColumn(); }
    void refusedUpdatesAndDeletesAreFailed()
    {
        QFETCH(bool, usa);
        QTemporaryDir dir;
        const QString path = usePath(dir);
        SpravDB::bUSA = usa;
        Inspection::_Test test = methodic(QStringLiteral("t"));
        int quest = 0, questFolder = 0, testFolder = 0, testId = 0;
        {
            SpravDB db;
            quest = db.insertQuest(0, "q", 0);
            questFolder = db.insertFolderQuest(0, "f");
            testFolder = db.insertFolderTest(0, "f");
            testId = db.insertTest(0, test);
        }
        const SpravDB::Result failed = SpravDB::Result::Failed;
        {
            WriteLock lock(path);
            SpravDB db;
            QCOMPARE(db.updateQuest(quest, "r", 1), failed);
            QCOMPARE(db.deleteQuest(quest), failed);
            QCOMPARE(db.updateFolderQuest(questFolder, "r"), failed);
            QCOMPARE(db.deleteFolderQuest(questFolder), failed);
            QCOMPARE(db.updateFolderTest(testFolder, "r"), failed);
            QCOMPARE(db.deleteFolderTest(testFolder), failed);
            QCOMPARE(db.updateTest(testId, "r"), failed);
            QCOMPARE(db.deleteTest(testId), failed);
        }
        // Without the lock the same statements go through.
        SpravDB db;
        QCOMPARE(db.updateQuest(quest, "r", 1), SpravDB::Result::Done);
        QCOMPARE(db.deleteTest(testId), SpravDB::Result::Done);
    }

    void testOperations_data() { addSetColumn(); }
    void testOperations()
    {
        QFETCH(bool, usa);
        QTemporaryDir dir;
        const QString path = usePath(dir);
        SpravDB::bUSA = usa;
        Inspection::_Test original = methodic(QStringLiteral("Методика"));
        original.addTheme(QStringLiteral("Контроль"), QuestionKind::Control, 1, -1);
        int id = 0;
        {
            SpravDB db;
            id = db.insertTest(3, original);
        }
        QCOMPARE(count(path, otherTable("test")), 0);
        QCOMPARE(column(path, QStringLiteral("SELECT folder_id FROM %1").arg(table("test"))), QVariantList{3});
        SpravDB db;
        QVERIFY(id > 0);
        QCOMPARE(db.updateTest(id, QStringLiteral("Новое \"имя\"\tтеста")), SpravDB::Result::Done);
        Inspection::_Test read;
        QCOMPARE(db.readTest(id, read), SpravDB::Result::Done);
        QCOMPARE(read.name, QStringLiteral("Новое имятеста"));
        QCOMPARE(read.Comments, original.Comments);
        QCOMPARE(read.themis.size(), original.themis.size());
        QCOMPARE(read.themis.last().Theme, QStringLiteral("Контроль"));
        QCOMPARE(read.themisNULL.size(), 1);
        QCOMPARE(read.orders.size(), original.orders.size());
        QCOMPARE(read.orderText(), original.orderText().replace(QStringLiteral("Методика"), read.name));

        Inspection::_Test untouched(QStringLiteral("как был"));
        QCOMPARE(db.readTest(id + 1, untouched), SpravDB::Result::NoRow);
        QCOMPARE(untouched.name, QStringLiteral("как был"));
        QCOMPARE(db.updateTest(id + 1, QStringLiteral("nobody")), SpravDB::Result::Failed);
        QCOMPARE(db.deleteTest(id), SpravDB::Result::Done);
        QCOMPARE(db.readTest(id, untouched), SpravDB::Result::NoRow);
    }

    void damagedTestIsNotOverwritten()
    {
        QTemporaryDir dir;
        const QString path = usePath(dir);
        { SpravDB db; }
        QVERIFY(execute(path, {"INSERT INTO test (id, folder_id, data) VALUES (4, 0, x'0102030405')"}));
        {
            SpravDB db;
            Inspection::_Test test(QStringLiteral("как был"));
            QCOMPARE(db.readTest(4, test), SpravDB::Result::NoRow);
            QCOMPARE(test.name, QStringLiteral("как был"));
            QCOMPARE(db.updateTest(4, QStringLiteral("renamed")), SpravDB::Result::Failed);
        }
        QCOMPARE(column(path, "SELECT data FROM test WHERE id=4").value(0).toByteArray(),
                 QByteArray::fromHex("0102030405"));
    }

    void tags()
    {
        QTemporaryDir dir;
        const QString path = usePath(dir);
        const QString text = QStringLiteral("Ключи\n\tподключ 50%\n'кавычки'");
        QString read = QStringLiteral("unchanged");
        {
            SpravDB db;
            QCOMPARE(db.readTags(read), SpravDB::Result::Done);
            QCOMPARE(read, QStringLiteral("unchanged"));
            QCOMPARE(db.writeTags(QStringLiteral("first")), SpravDB::Result::Done);
        }
        QCOMPARE(count(path, "tags"), 1);
        {
            SpravDB db;
            QCOMPARE(db.writeTags(text), SpravDB::Result::Done);
            QCOMPARE(db.readTags(read), SpravDB::Result::Done);
        }
        QCOMPARE(read, text);
        QCOMPARE(count(path, "tags"), 1);
    }

    void metricCatalogue()
    {
        QTemporaryDir dir;
        const QString path = usePath(dir);
        const QVector<Inspection::_MetricParam> catalogue = {metricParam("A", 1), metricParam("B", 4),
                                                              metricParam("C", -1)};
        {
            SpravDB db;
            QCOMPARE(db.writeMetricVal(catalogue), SpravDB::Result::Done);
            QCOMPARE(db.writeMetricVal(catalogue.mid(1)), SpravDB::Result::Done);
            QVector<Inspection::_MetricParam> params = {metricParam("own1", 0), metricParam("own2", 0)};
            QCOMPARE(db.readMetricVal(params), SpravDB::Result::Done);
            QCOMPARE(params.size(), 4);
            QCOMPARE(params[0].Name, QStringLiteral("own1"));
            QCOMPARE(params[1].Name, QStringLiteral("own2"));
            compareParams(params[2], catalogue[1]);
            compareParams(params[3], catalogue[2]);
        }
        // The second insert of a rewrite fails: the old catalogue stays whole.
        QVERIFY(execute(path, {"UPDATE sqlite_sequence SET seq = 9223372036854775806 WHERE name = 'metricval'"}));
        SpravDB db;
        QCOMPARE(db.writeMetricVal(catalogue), SpravDB::Result::Failed);
        QVector<Inspection::_MetricParam> params;
        QCOMPARE(db.readMetricVal(params), SpravDB::Result::Done);
        QCOMPARE(params.size(), 2);
        compareParams(params[0], catalogue[1]);
    }
};

VUG_TEST_MAIN(TestSpravDB, QGuiApplication)
#include "tst_spravdb.moc"
