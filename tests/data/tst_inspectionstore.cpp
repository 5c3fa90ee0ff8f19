#include "HostileSubjects.h"
#include "StoreFixtures.h"
#include "data/BinaryJsonBounds.h"
#include "data/SharedConnection.h"
#include "tests/support/LockHolder.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/TestHome.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

using namespace StoreFixtures;

Q_DECLARE_METATYPE(HostileSubjects::Kind)
Q_DECLARE_METATYPE(StoreResult::Code)

class TestInspectionStore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void structureSaveCreatesFileThenUpdatesItsRow();
    void saveWithoutTestCreatesFileAndTable();
    void emptyPathIsNotOpen();
    void recordingRoundTripsThroughTheFile();
    void headerOverridesRecordingAndMarksOnlyKeepsSamples();
    void recordingWithoutSamplesWritesNothing();
    void marksOfEveryTestComeInOnePass();
    void placedReadsFindWhatScansFind_data();
    void placedReadsFindWhatScansFind();
    void loadSortsRecordedTestsByDate();
    void deletingRemovesOnlyThatTestsRows();
    void foreignRowIdKeepsOneTest();
    void documentTooLargeIsRefused();
    void movedMarksAreSavedWhenTheExaminationGoes();
    void clearForgetsTheSubject();
    void damagedFilesLoadWhatTheyCan();
    void damagedRowsAreSkippedAndKept();
    void recordingsAreReadInPieces_data();
    void recordingsAreReadInPieces();
    void hostileSubjectFilesAreRefusedUntouched_data();
    void hostileSubjectFilesAreRefusedUntouched();
    void oversizedRowsAreDamagedUnread_data();
    void oversizedRowsAreDamagedUnread();
    void rowsExpandingPastTheBoundsAreDamagedUnbuilt_data();
    void rowsExpandingPastTheBoundsAreDamagedUnbuilt();
    void connectionIsReleasedBeforeExit();
    void childSavesAndExits();
    void lockedFileIsBusyNotDamaged_data();
    void lockedFileIsBusyNotDamaged();
    void goneFileIsNeverMade();
    void failedSaveTellsItsCause_data();
    void failedSaveTellsItsCause();

private:
    QString pathOf(const QString &name) const { return m_dir->filePath(name); }
    QScopedPointer<QTemporaryDir> m_dir;
};

void TestInspectionStore::init()
{
    m_dir.reset(new QTemporaryDir);
}

void TestInspectionStore::structureSaveCreatesFileThenUpdatesItsRow()
{
    const QString path = pathOf("subject.qmz");
    Inspection inspection(path);
    Inspection::_Test test = recordedTest("first", 0);
    QCOMPARE(inspection.saveTestStruct(&test), StoreResult::Ok);
    QVERIFY(QFile::exists(path));
    test.name = "renamed";
    QCOMPARE(inspection.saveTestStruct(&test), StoreResult::Ok);
    const QVector<InspectionStore::Row> rows = rowsOf(path, InspectionDataType::Struct);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].testId, test.id.toString());

    Inspection loaded;
    QCOMPARE(loaded.load(path), StoreResult::Ok);
    QCOMPARE(loaded.tests.size(), 1);
    QCOMPARE(loaded.tests[0].id, test.id);
    QCOMPARE(loaded.tests[0].name, QStringLiteral("renamed"));
    QCOMPARE(loaded.tests[0].themis.size(), 2);
    QCOMPARE(loaded.tests[0].themisNULL.size(), 1);
    QCOMPARE(loaded.tests[0].orders.size(), test.orders.size());
    QCOMPARE(loaded.tests[0].Comments, test.Comments);
    QCOMPARE(loaded.tests[0].DateTimeRecorded, test.DateTimeRecorded);
    QVERIFY(!loaded.tests[0].recorded);
}

void TestInspectionStore::saveWithoutTestCreatesFileAndTable()
{
    const QString path = pathOf("blank.qmz");
    Inspection inspection(path);
    QCOMPARE(inspection.saveTestStruct(nullptr), StoreResult::Ok);
    QVERIFY(QFile::exists(path));
    Inspection loaded;
    QCOMPARE(loaded.load(path), StoreResult::Ok);
    QVERIFY(loaded.tests.isEmpty());
    QCOMPARE(loaded.path, path);
}

void TestInspectionStore::emptyPathIsNotOpen()
{
    const QStringList before = QDir::current().entryList(QDir::Files);
    Inspection inspection;
    inspection.tests.append(recordedTest("t", 50));
    Inspection::_Test *test = inspection.test(0);
    QCOMPARE(inspection.saveTestStruct(test), StoreResult::NotOpen);
    QCOMPARE(inspection.saveRecording(test), StoreResult::NotOpen);
    QVERIFY(!test->recorded);
    QVERIFY(!inspection.canUndo(test) && inspection.undoHistory.isEmpty());
    QCOMPARE(inspection.load(QString()), StoreResult::NotOpen);
    QVERIFY(inspection.tests.isEmpty());
    QCOMPARE(QDir::current().entryList(QDir::Files), before);

    QCOMPARE(inspection.load(pathOf("missing.qmz")), StoreResult::NotOpen);
    QCOMPARE(inspection.path, pathOf("missing.qmz"));
    QCOMPARE(inspection.deleteTest(QUuid::createUuid()), StoreResult::NotOpen);
    QVERIFY(!QFile::exists(pathOf("missing.qmz")));
}

void TestInspectionStore::recordingRoundTripsThroughTheFile()
{
    const QString path = pathOf("rec.qmz");
    Inspection inspection(path);
    inspection.tests.append(recordedTest("rec", 1200, 3));
    Inspection::_Test *test = inspection.test(0);
    QCOMPARE(inspection.saveTestStruct(test), StoreResult::Ok);
    QCOMPARE(inspection.saveRecording(test), StoreResult::Ok);
    QVERIFY(test->recorded);

    Inspection loaded;
    QCOMPARE(loaded.load(path), StoreResult::Ok);
    Inspection::_Test *back = loaded.test(0);
    QVERIFY(back && back->recorded);
    QVERIFY(back->samples(0)->isEmpty());  // loading reads structures only
    QCOMPARE(loaded.loadRecording(back), StoreResult::Ok);
    for (int code = 0; code < 13; ++code) {
        QCOMPARE(*back->samples(code), *test->samples(code));
        QCOMPARE(back->channel(code).KodDrv, code + 1);
        QCOMPARE(back->channel(code).ADT, test->channel(code).ADT);
        QCOMPARE(back->channel(code).ShiftADT, test->channel(code).ShiftADT);
        QCOMPARE(back->channel(code).Offset, test->channel(code).Offset);
        QCOMPARE(back->channel(code).Amplify, test->channel(code).Amplify);
        // Bound afresh to the shared display settings, not to stored copies.
        QVERIFY(back->channel(code).Enable && back->channel(code).Color && back->channel(code).ChannelPos);
    }
    QCOMPARE(back->TimeMM, test->TimeMM);
    QCOMPARE(back->labels.size(), 4);
    QCOMPARE(back->labelsNULL.size(), 2);
    QCOMPARE(back->labels[3].TickAEnd, test->labels[3].TickAEnd);
    QCOMPARE(back->labelsForRestore.size(), 2);
    QCOMPARE(back->ia.nIALength, 10.0);
    QCOMPARE(back->idsensor, test->idsensor);

    // Written straight from the arrays, yet byte for byte what Qt writes for the same document.
    const QByteArray row = rowsOf(path, InspectionDataType::Recording).value(0).data;
    QJsonObject document;
    QVERIFY(BinaryJson::decode(row, document));
    QVERIFY(BinaryJson::encode(document) == row);
}

void TestInspectionStore::headerOverridesRecordingAndMarksOnlyKeepsSamples()
{
    const QString path = pathOf("hdr.qmz");
    Inspection inspection(path);
    inspection.tests.append(recordedTest("hdr", 300));
    Inspection::_Test *test = inspection.test(0);
    inspection.saveTestStruct(test);
    inspection.saveRecording(test);
    const QVector<qint16> samples = *test->samples(3);
    test->labels[0].TickQStart = 7;
    test->ia.nIALength = 4;
    test->idsensor = QUuid(QStringLiteral("{11111111-2222-3333-4444-555555555555}"));
    test->channel(2).ADT = 99;
    test->samples(3)->fill(1);
    QCOMPARE(inspection.saveRecordingHeader(test), StoreResult::Ok);

    Inspection loaded;
    loaded.load(path);
    Inspection::_Test *back = loaded.test(0);
    QCOMPARE(loaded.loadRecording(back), StoreResult::Ok);
    QCOMPARE(back->labels[0].TickQStart, 7);
    QCOMPARE(back->ia.nIALength, 4.0);
    QCOMPARE(back->idsensor, test->idsensor);
    QCOMPARE(back->channel(2).ADT, 99);
    QCOMPARE(*back->samples(3), samples);

    Inspection::_Test marksOnly = recordedTest("m", 0);
    marksOnly.id = test->id;
    marksOnly.samples(1)->append(42);
    QCOMPARE(loaded.loadRecording(&marksOnly, true), StoreResult::Ok);
    QCOMPARE(*marksOnly.samples(1), QVector<qint16>{42});
    QCOMPARE(marksOnly.labels[0].TickQStart, 7);
}

void TestInspectionStore::marksOfEveryTestComeInOnePass()
{
    const QString path = pathOf("marks.qmz");
    Inspection inspection(path);
    for (int n = 0; n < 4; ++n)
        inspection.tests.append(recordedTest(QStringLiteral("t%1").arg(n), n == 2 ? 0 : 30, n + 1));
    saveTests(inspection);
    inspection.tests[0].labels[0].TickQStart = 7;  // a moved mark, saved as a header
    QCOMPARE(inspection.saveRecordingHeader(&inspection.tests[0]), StoreResult::Ok);
    Inspection::_BallValuation &score = inspection.tests[1].valuationBall_012[1][0];
    score.iGroup = 1;
    score.GSRPar = 2;
    QCOMPARE(inspection.saveBallValuation(&inspection.tests[1]), StoreResult::Ok);

    Inspection loaded;
    QCOMPARE(loaded.load(path), StoreResult::Ok);
    Inspection::_Test *inMemory = &loaded.tests[loaded.indexOfTest(inspection.tests[3].id)];
    inMemory->labels = {Inspection::_Label()};  // marks in memory stay as they are
    QCOMPARE(loaded.loadMarks(), StoreResult::Ok);
    const auto back = [&](int n) { return *loaded.test(loaded.indexOfTest(inspection.tests[n].id)); };
    QCOMPARE(back(0).labels[0].TickQStart, 7);
    QCOMPARE(back(1).labels.size(), 4);
    QCOMPARE(back(1).valuationBall_012[1][0].GSRPar, 2);
    QVERIFY(back(2).labels.isEmpty());
    QCOMPARE(back(3).labels.size(), 1);
    for (int n = 0; n < 4; ++n)
        QVERIFY(!back(n).samplesLoaded());
}

void TestInspectionStore::placedReadsFindWhatScansFind_data()
{
    QTest::addColumn<bool>("placed");
    QTest::addColumn<bool>("insertedAfter");
    QTest::newRow("scanned") << false << false;
    QTest::newRow("placed") << true << false;
    QTest::newRow("inserted after placing") << true << true;
}

void TestInspectionStore::placedReadsFindWhatScansFind()
{
    QFETCH(bool, placed);
    QFETCH(bool, insertedAfter);
    const QString path = pathOf("placed.qmz");
    Inspection(path).saveTestStruct(nullptr);
    InspectionStore store(path, InspectionStore::ExistingFile);
    const int kind = InspectionDataType::Photo;
    QVERIFY(store.insertRow(QStringLiteral("a"), kind, QByteArray("a1")));
    QVERIFY(store.insertRow(QStringLiteral("b"), kind, QByteArray("b1")));
    QVERIFY(store.insertRow(QStringLiteral("a"), kind, QByteArray("a2")));
    if (placed)
        QVERIFY(store.placeRows({kind}));
    if (insertedAfter)
        QVERIFY(store.insertRow(QStringLiteral("a"), kind, QByteArray("a3")));
    QVector<InspectionStore::Row> rows;
    QVERIFY(store.readRows(QStringLiteral("a"), kind, rows));
    QStringList data;
    for (const InspectionStore::Row &row : rows)
        data << QString::fromLatin1(row.data);
    QCOMPARE(data, insertedAfter ? QStringList({"a1", "a2", "a3"}) : QStringList({"a1", "a2"}));
    rows.clear();
    QVERIFY(store.readRows(QStringLiteral("c"), kind, rows));
    QVERIFY(rows.isEmpty());
}

void TestInspectionStore::recordingWithoutSamplesWritesNothing()
{
    const QString path = pathOf("empty.qmz");
    Inspection inspection(path);
    inspection.tests.append(recordedTest("e", 0));
    Inspection::_Test *test = inspection.test(0);
    inspection.saveTestStruct(test);
    test->samples(1)->append(5);  // only channel 0 decides
    QCOMPARE(inspection.saveRecording(test), StoreResult::NotWritten);
    QCOMPARE(inspection.saveRecordingHeader(test), StoreResult::NotWritten);
    QVERIFY(!test->recorded);
    QVERIFY(rowsOf(path, InspectionDataType::Recording).isEmpty());
    QVERIFY(rowsOf(path, InspectionDataType::RecordingHeader).isEmpty());

    // A recording goes into an existing subject file only; none is made for it.
    Inspection elsewhere(pathOf("none.qmz"));
    Inspection::_Test recorded = recordedTest("r", 10);
    QCOMPARE(elsewhere.saveRecording(&recorded), StoreResult::NotOpen);
    QVERIFY(!recorded.recorded);
    QVERIFY(!QFile::exists(pathOf("none.qmz")));
}

void TestInspectionStore::loadSortsRecordedTestsByDate()
{
    const QString path = pathOf("sort.qmz");
    Inspection inspection(path);
    const QDateTime early(QDate(2024, 1, 1), QTime(9, 0));
    const QDateTime late(QDate(2024, 1, 2), QTime(9, 0));
    const struct {
        const char *name;
        bool recorded;
        QDateTime when;
    } plan[] = {{"A", true, late}, {"B", false, early}, {"C", true, early}, {"D", true, early}, {"E", false, QDateTime()}};
    for (const auto &entry : plan) {
        Inspection::_Test test = recordedTest(entry.name, entry.recorded ? 5 : 0);
        test.DateTimeRecorded = entry.when;
        inspection.saveTestStruct(&test);
        inspection.saveRecording(&test);
    }
    Inspection loaded;
    loaded.load(path);
    QStringList order;
    for (const Inspection::_Test &test : loaded.tests)
        order << test.name;
    QCOMPARE(order, (QStringList{"C", "D", "A", "B", "E"}));
    QCOMPARE(loaded.indexOfTest(loaded.tests[2].id), 2);
    QCOMPARE(loaded.indexOfTest(QUuid::createUuid()), -1);
    QVERIFY(!loaded.test(-1) && !loaded.test(5) && loaded.test(4));
}

void TestInspectionStore::deletingRemovesOnlyThatTestsRows()
{
    const QString path = pathOf("del.qmz");
    Inspection inspection(path);
    inspection.tests << recordedTest("one", 20) << recordedTest("two", 20);
    for (Inspection::_Test &test : inspection.tests) {
        inspection.saveTestStruct(&test);
        inspection.saveRecording(&test);
        inspection.saveRecordingHeader(&test);
        InspectionStore store(path, InspectionStore::ExistingFile);
        QVERIFY(store.writeRow(test.rowId(), InspectionDataType::BallValuation, "x"));
        QVERIFY(store.writeRow(test.rowId(), InspectionDataType::MetricValuation, "y"));
    }
    const QString one = inspection.tests[0].rowId();
    const auto kindsOf = [&path](const QString &id) {
        QList<int> kinds;
        for (int kind : {1, 2, 4, 8, 32}) {
            InspectionStore store(path, InspectionStore::ExistingFile);
            QVector<InspectionStore::Row> rows;
            store.readRows(id, kind, rows);
            if (!rows.isEmpty())
                kinds << kind;
        }
        return kinds;
    };
    QCOMPARE(inspection.deleteTestData(inspection.tests[0].id), StoreResult::Ok);
    QCOMPARE(kindsOf(one), QList<int>{1});
    QCOMPARE(kindsOf(inspection.tests[1].rowId()), (QList<int>{1, 2, 4, 8, 32}));
    QCOMPARE(inspection.deleteTest(inspection.tests[0].id), StoreResult::Ok);
    QVERIFY(kindsOf(one).isEmpty());
    QCOMPARE(inspection.tests.size(), 2);  // the caller removes it from memory
}

void TestInspectionStore::foreignRowIdKeepsOneTest()
{
    const QString path = pathOf("foreign.qmz");
    Inspection inspection(path);
    inspection.saveTestStruct(nullptr);
    Inspection::_Test original = recordedTest("legacy", 30);
    QJsonObject structure;
    original.toJson(structure);
    const QJsonObject recording = samplesJson(original);
    {
        InspectionStore store(path, InspectionStore::ExistingFile);
        QVERIFY(store.writeRow("legacy-7", InspectionDataType::Struct, BinaryJson::encode({{"struct", structure}})));
        QVERIFY(store.writeRow("legacy-7", InspectionDataType::Recording, BinaryJson::encode({{"data", recording}})));
    }
    QCOMPARE(inspection.load(path), StoreResult::Ok);
    QCOMPARE(inspection.tests.size(), 1);
    Inspection::_Test *test = inspection.test(0);
    QVERIFY(test->recorded);
    QCOMPARE(test->rowId(), QStringLiteral("legacy-7"));
    QVERIFY(!test->id.isNull());
    test->name = "legacy renamed";
    QCOMPARE(inspection.saveTestStruct(test), StoreResult::Ok);
    QCOMPARE(inspection.loadRecording(test), StoreResult::Ok);
    QCOMPARE(*test->samples(4), *original.samples(4));

    const QUuid id = test->id;
    QCOMPARE(inspection.load(path), StoreResult::Ok);
    QCOMPARE(inspection.tests.size(), 1);
    QCOMPARE(inspection.tests[0].name, QStringLiteral("legacy renamed"));
    QCOMPARE(inspection.tests[0].id, id);  // the same identity on every load
    QCOMPARE(inspection.deleteTest(id), StoreResult::Ok);
    QVERIFY(rowsOf(path, InspectionDataType::Struct).isEmpty());
}

void TestInspectionStore::documentTooLargeIsRefused()
{
    const QString path = pathOf("large.qmz");
    Inspection inspection(path);
    inspection.tests.append(recordedTest("large", 0));
    Inspection::_Test *test = inspection.test(0);
    QCOMPARE(inspection.saveTestStruct(test), StoreResult::Ok);
    const QByteArray before = rowsOf(path, InspectionDataType::Struct).value(0).data;
    // Beyond the 128 MB that binary JSON can address.
    test->Comments = QString(70 * 1024 * 1024, QLatin1Char('x'));
    QCOMPARE(inspection.saveTestStruct(test), StoreResult::TooLarge);
    test->Comments.clear();
    QCOMPARE(inspection.undoHistory.value(test->id).states.size(), 1);
    const QVector<InspectionStore::Row> rows = rowsOf(path, InspectionDataType::Struct);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].data, before);
}

void TestInspectionStore::movedMarksAreSavedWhenTheExaminationGoes()
{
    const QString path = pathOf("moved.qmz");
    {
        Inspection inspection(path);
        inspection.tests << recordedTest("a", 40) << recordedTest("b", 40);
        saveTests(inspection);
    }
    QVERIFY(rowsOf(path, InspectionDataType::RecordingHeader).isEmpty());
    QUuid movedId;
    {
        Inspection inspection;
        inspection.load(path);
        Inspection::_Test *test = inspection.test(1);
        inspection.loadRecording(test);
        test->labels[1].TickQEnd = 555;
        test->labelsModified = true;
        movedId = test->id;
    }
    const QVector<InspectionStore::Row> headers = rowsOf(path, InspectionDataType::RecordingHeader);
    QCOMPARE(headers.size(), 1);
    QCOMPARE(headers[0].testId, movedId.toString());

    Inspection inspection;
    inspection.load(path);
    Inspection::_Test *test = inspection.test(inspection.indexOfTest(movedId));
    inspection.loadRecording(test);
    QCOMPARE(test->labels[1].TickQEnd, 555);
    // Loading another file saves the moved marks first, into the old file.
    test->labels[1].TickQEnd = 556;
    test->labelsModified = true;
    inspection.load(pathOf("other.qmz"));
    Inspection again;
    again.load(path);
    test = again.test(again.indexOfTest(movedId));
    again.loadRecording(test);
    QCOMPARE(test->labels[1].TickQEnd, 556);
    QVERIFY(!test->labelsModified);
}

void TestInspectionStore::clearForgetsTheSubject()
{
    const QString path = pathOf("clear.qmz");
    Inspection inspection(path);
    Inspection::_Test test = recordedTest("c", 0);
    inspection.saveTestStruct(&test);
    inspection.load(path);
    inspection.preTestText = "беседа";
    inspection.metricParams.append(Inspection::_MetricParam());
    inspection.clear();
    QVERIFY(inspection.path.isEmpty() && inspection.tests.isEmpty() && inspection.metricParams.isEmpty());
    QVERIFY(inspection.preTestText.isEmpty());
    QVERIFY(inspection.undoHistory.isEmpty());
}

void TestInspectionStore::damagedFilesLoadWhatTheyCan()
{
    // Not a database at all: nothing read, nothing written over it.
    const QString text = pathOf("text.qmz");
    const QByteArray junk = QByteArray("this is a letter, not a database\n").repeated(200);
    writeFile(text, junk);
    Inspection inspection;
    QCOMPARE(inspection.load(text), StoreResult::Damaged);
    QVERIFY(inspection.tests.isEmpty());
    Inspection::_Test test = recordedTest("t", 0);
    QCOMPARE(inspection.saveTestStruct(&test), StoreResult::NotWritten);
    QCOMPARE(fileBytes(text), junk);

    // A database without the table.
    const QString other = pathOf("other.db");
    {
        Inspection owner(other);
        InspectionStore store(other, InspectionStore::CreateFile);
        QSqlQuery query(SharedConnection::database());
        QVERIFY(store.run(query, "CREATE TABLE notes (a int)", {}));
    }
    QCOMPARE(inspection.load(other), StoreResult::Refused);
    QVERIFY(inspection.tests.isEmpty());

    // A truncated file: what lies in the surviving pages is still read.
    const QString whole = pathOf("whole.qmz");
    {
        Inspection writer(whole);
        for (int i = 0; i < 6; ++i)
            writer.tests << recordedTest(QString("t%1").arg(i), 4000, i);
        saveTests(writer);
    }
    const QByteArray bytes = fileBytes(whole);
    const QString cut = pathOf("cut.qmz");
    writeFile(cut, bytes.left(bytes.size() / 2));
    const StoreResult result = inspection.load(cut);
    QCOMPARE(result, StoreResult::Damaged);
    for (Inspection::_Test &t : inspection.tests)
        QVERIFY(inspection.loadRecording(&t) != StoreResult::Ok || t.samples(0)->size() == 4000);
    QCOMPARE(fileBytes(cut), bytes.left(bytes.size() / 2));
}

void TestInspectionStore::damagedRowsAreSkippedAndKept()
{
    const QString path = pathOf("rows.qmz");
    Inspection inspection(path);
    inspection.tests << recordedTest("good", 30) << recordedTest("bad", 30);
    saveTests(inspection);
    const QString bad = inspection.tests[1].rowId();
    const QString good = inspection.tests[0].rowId();
    const QByteArray garbage("qbjs\x01\0\0\0not binary json at all", 30);
    {
        InspectionStore store(path, InspectionStore::ExistingFile);
        QVERIFY(store.writeRow(bad, InspectionDataType::Struct, garbage));
        QVERIFY(store.writeRow(good, InspectionDataType::Recording, garbage));
    }

    Inspection loaded;
    QCOMPARE(loaded.load(path), StoreResult::Damaged);
    QCOMPARE(loaded.tests.size(), 1);
    Inspection::_Test *test = loaded.test(0);
    QCOMPARE(test->name, QStringLiteral("good"));
    test->labels.append(Inspection::_Label());
    QCOMPARE(loaded.loadRecording(test), StoreResult::Damaged);
    QCOMPARE(test->labels.size(), 1);  // members without a readable row keep their values
    QCOMPARE(loaded.saveTestStruct(test), StoreResult::Ok);

    InspectionStore store(path, InspectionStore::ExistingFile);
    QVector<InspectionStore::Row> rows;
    QVERIFY(store.readRows(bad, InspectionDataType::Struct, rows));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].data, garbage);
}

void TestInspectionStore::recordingsAreReadInPieces_data()
{
    // A channel's array is left in the blob beyond 64 KiB (16 380 samples) and
    // its table is read 4096 words at a time; zeros are stored as doubles.
    QTest::addColumn<int>("ticks");
    QTest::addColumn<double>("kept");  // share of the row left after cutting it
    QTest::newRow("one tick") << 1 << 1.0;
    QTest::newRow("arrays in memory") << 16000 << 1.0;
    QTest::newRow("whole runs") << 16384 << 1.0;
    QTest::newRow("a run and a window cut") << 20011 << 1.0;
    QTest::newRow("cut in the samples") << 20011 << 0.5;
    QTest::newRow("cut before the last member") << 20011 << 0.999;
}

void TestInspectionStore::recordingsAreReadInPieces()
{
    QFETCH(int, ticks);
    QFETCH(double, kept);
    const QString path = pathOf("pieces.qmz");
    Inspection inspection(path);
    inspection.tests << recordedTest("p", ticks, 7);
    for (int i = 0; i < ticks; i += 5)
        (*inspection.tests[0].samples(3))[i] = 0;
    saveTests(inspection);
    const Inspection::_Test &original = inspection.tests[0];
    {
        InspectionStore store(path, InspectionStore::ExistingFile);
        QSqlQuery cut(SharedConnection::database());
        QVERIFY(store.run(cut, "UPDATE inspection SET data = substr(data, 1, CAST(length(data) * :1 AS INTEGER)) "
                               "WHERE test_id = :2 AND data_type = :3",
                          {kept, original.rowId(), InspectionDataType::Recording}));
    }

    Inspection loaded;
    QCOMPARE(loaded.load(path), StoreResult::Ok);
    Inspection::_Test *test = loaded.test(0);
    QCOMPARE(loaded.loadRecording(test), kept < 1 ? StoreResult::Damaged : StoreResult::Ok);
    for (int code = 0; code < 13; ++code)
        QCOMPARE(*test->samples(code), kept < 1 ? QVector<qint16>() : *original.samples(code));
    QCOMPARE(test->TimeMM, kept < 1 ? QVector<qint32>() : original.TimeMM);
    QCOMPARE(test->labels.size(), kept < 1 ? 0 : original.labels.size());
}

// The child half of connectionIsReleasedBeforeExit: uses the store, then lets
// the application object go as the program would.
void TestInspectionStore::hostileSubjectFilesAreRefusedUntouched_data()
{
    using Kind = HostileSubjects::Kind;
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<StoreResult::Code>("loaded");
    QTest::addColumn<int>("tests");
    QTest::newRow("plain") << Kind::Plain << StoreResult::Ok << 1;
    QTest::newRow("shallow nesting") << Kind::ShallowNesting << StoreResult::Ok << 1;
    QTest::newRow("trigger") << Kind::Trigger << StoreResult::Refused << 0;
    QTest::newRow("view") << Kind::View << StoreResult::Refused << 0;
    QTest::newRow("extra table") << Kind::ExtraTable << StoreResult::Refused << 0;
    QTest::newRow("extra column") << Kind::ExtraColumn << StoreResult::Refused << 0;
    QTest::newRow("check") << Kind::Check << StoreResult::Refused << 0;
    QTest::newRow("collation") << Kind::Collation << StoreResult::Refused << 0;
    QTest::newRow("respelt") << Kind::Respelt << StoreResult::Ok << 1;
    QTest::newRow("deep nesting") << Kind::DeepNesting << StoreResult::Damaged << 0;
    QTest::newRow("huge record") << Kind::HugeRecord << StoreResult::Damaged << 0;
    QTest::newRow("fifo") << Kind::Fifo << StoreResult::Refused << 0;
}

// Loading never crashes or hangs; a refused file is neither read nor written.
void TestInspectionStore::hostileSubjectFilesAreRefusedUntouched()
{
    QFETCH(HostileSubjects::Kind, kind);
    QFETCH(StoreResult::Code, loaded);
    QFETCH(int, tests);
    const QString path = pathOf("hostile.qmz");
    QVERIFY(HostileSubjects::make(path, kind));
    const auto digest = [&] {
        return kind == HostileSubjects::Kind::Fifo ? QByteArray()
                                                   : QCryptographicHash::hash(fileBytes(path), QCryptographicHash::Sha1);
    };
    const QByteArray before = digest();
    Inspection inspection;
    QCOMPARE(inspection.load(path), loaded);
    QCOMPARE(inspection.tests.size(), tests);
    QCOMPARE(digest(), before);
    if (loaded != StoreResult::Refused)
        return;
    QVERIFY(!InspectionStore::refusalOf(path).isEmpty());
    Inspection::_Test test = recordedTest("new", 0);
    QCOMPARE(inspection.saveTestStruct(&test), StoreResult::NotOpen);
    QCOMPARE(digest(), before);
}

void TestInspectionStore::oversizedRowsAreDamagedUnread_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("owner");
    QTest::addColumn<bool>("asText");
    QTest::addColumn<int>("reader");  // which result tells it, -1 for none
    const QString test = QStringLiteral("{00000000-0000-0000-0000-000000000001}");
    QTest::newRow("structure") << int(InspectionDataType::Struct) << test + "2" << false << 0;
    QTest::newRow("structure as text") << int(InspectionDataType::Struct) << test + "2" << true << 0;
    QTest::newRow("recording") << int(InspectionDataType::Recording) << test << false << 1;
    QTest::newRow("pre-test") << int(InspectionDataType::Singleton)
                              << QStringLiteral("{B0F7BD78-5BAC-4139-A88B-5C4A7396F2F0}") << false << 2;
    QTest::newRow("questionnaire") << int(InspectionDataType::Questionnaire) << QString("") << false << 3;
    QTest::newRow("photo") << int(InspectionDataType::Photo) << QString("") << false << -1;
}

// Such a row is told and never read: memory stays far below its size.
void TestInspectionStore::oversizedRowsAreDamagedUnread()
{
    QFETCH(int, kind);
    QFETCH(QString, owner);
    QFETCH(bool, asText);
    QFETCH(int, reader);
    const QString path = pathOf("oversized.qmz");
    QVERIFY(HostileSubjects::make(path, HostileSubjects::Kind::Plain));
    QVERIFY(HostileSubjects::addRow(path, owner, kind, InspectionStore::maxRowBytes(kind) + 1, asText));
    const PeakMemory memory;
    Inspection inspection;
    Inspection::_Person person;
    QVector<StoreResult> results{inspection.load(path)};
    QCOMPARE(inspection.tests.size(), 1);
    results << inspection.loadRecording(inspection.test(0)) << inspection.loadPreTestConversation()
            << inspection.loadPerson(person);
    QVERIFY(inspection.loadPhotos().isEmpty());
    QVERIFY(memory.growthBytes() < 64 << 20);
    for (int i = 0; i < results.size(); ++i)
        QCOMPARE(results[i], i == reader ? StoreResult::Damaged : StoreResult::Ok);
}

void TestInspectionStore::rowsExpandingPastTheBoundsAreDamagedUnbuilt_data()
{
    QTest::addColumn<quint32>("questions");
    QTest::addColumn<StoreResult::Code>("loaded");
    QTest::addColumn<int>("tests");
    QTest::newRow("a thousand") << quint32(1000) << StoreResult::Ok << 1;
    QTest::newRow("past a test's questions") << quint32(InspectionStore::kMaxQuestions + 1) << StoreResult::Damaged
                                             << 0;
    QTest::newRow("past an array's elements") << quint32(BinaryJsonBounds::kMaxElements + 1) << StoreResult::Damaged
                                              << 0;
    QTest::newRow("8.4 million") << HostileSubjects::kMostEmptyQuestions << StoreResult::Damaged << 0;
}

// Rows within their stored size whose questions cost a hundred times that
// once read: one such row took 900 MB, eight aborted the program.
void TestInspectionStore::rowsExpandingPastTheBoundsAreDamagedUnbuilt()
{
    QFETCH(quint32, questions);
    QFETCH(StoreResult::Code, loaded);
    QFETCH(int, tests);
    const QString path = pathOf("expanding.qmz");
    QVERIFY(HostileSubjects::makeWithTest(path, HostileSubjects::emptyQuestionsStructure(questions)));
    const QByteArray before = QCryptographicHash::hash(fileBytes(path), QCryptographicHash::Sha1);
    const PeakMemory memory;
    Inspection inspection;
    QCOMPARE(inspection.load(path), loaded);
    QCOMPARE(inspection.tests.size(), tests);
    if (tests > 0)
        QCOMPARE(inspection.tests[0].themis.size(), int(questions));
    inspection.clear();
    QVERIFY2(memory.growthBytes() < 320 << 20, qPrintable(QString::number(memory.growthBytes() >> 20)));
    QCOMPARE(QCryptographicHash::hash(fileBytes(path), QCryptographicHash::Sha1), before);
}

void TestInspectionStore::childSavesAndExits()
{
    const QString path = qEnvironmentVariable("VUG_STORE_CHILD_PATH");
    if (path.isEmpty())
        QSKIP("runs only as a child process");
    Inspection inspection(path);
    Inspection::_Test test = recordedTest("child", 10);
    QCOMPARE(inspection.saveTestStruct(&test), StoreResult::Ok);
    QCOMPARE(inspection.load(path), StoreResult::Ok);
}

void TestInspectionStore::connectionIsReleasedBeforeExit()
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VUG_STORE_CHILD_PATH", pathOf("child.qmz"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {"childSavesAndExits"});
    QVERIFY(child.waitForFinished(30000));
    const QString output = QString::fromLocal8Bit(child.readAllStandardOutput() + child.readAllStandardError());
    QCOMPARE(child.exitCode(), 0);
    QVERIFY2(output.contains("PASS   : TestInspectionStore::childSavesAndExits()"), qPrintable(output));
    QVERIFY2(!output.contains("QSql"), qPrintable(output));

    // Released, the connection is gone; the next examination makes it anew.
    {
        Inspection first;
    }
    SharedConnection::release();
    QVERIFY(!QSqlDatabase::contains(QString::fromLatin1(QSqlDatabase::defaultConnection)));
    Inspection again(pathOf("again.qmz"));
    QVERIFY(QSqlDatabase::contains(QString::fromLatin1(QSqlDatabase::defaultConnection)));
    QCOMPARE(again.saveTestStruct(nullptr), StoreResult::Ok);
}

VUG_TEST_MAIN(TestInspectionStore, QCoreApplication)
#include "tst_inspectionstore.moc"

void TestInspectionStore::lockedFileIsBusyNotDamaged_data()
{
    QTest::addColumn<QString>("lock");
    QTest::addColumn<StoreResult::Code>("read");
    QTest::addColumn<StoreResult::Code>("write");
    QTest::newRow("exclusive") << "BEGIN EXCLUSIVE" << StoreResult::Busy << StoreResult::Busy;
    QTest::newRow("immediate") << "BEGIN IMMEDIATE" << StoreResult::Ok << StoreResult::Busy;
}

void TestInspectionStore::lockedFileIsBusyNotDamaged()
{
    QFETCH(QString, lock);
    QFETCH(StoreResult::Code, read);
    QFETCH(StoreResult::Code, write);
    const QString path = pathOf("subject.qmz");
    Inspection inspection(path);
    Inspection::_Test test = recordedTest("recorded", 50);
    QCOMPARE(inspection.saveTestStruct(&test), StoreResult::Ok);
    QCOMPARE(inspection.saveRecording(&test), StoreResult::Ok);
    Inspection listed;
    QCOMPARE(listed.load(path), StoreResult::Ok);
    {
        LockHolder other(path, lock);
        QVERIFY(other.isHeld());
        Inspection reader;
        QCOMPARE(reader.load(path), read);
        Inspection::_Person person;
        QCOMPARE(reader.loadSubject(path, person), read);
        QCOMPARE(listed.loadMarks(), read);
        QCOMPARE(listed.loadSamples(listed.test(0)), read);
        QCOMPARE(inspection.loadRecording(&test), read);
        QCOMPARE(inspection.saveRecording(&test), write);
        QCOMPARE(inspection.saveTestStruct(&test), write);
    }
    Inspection loaded;
    QCOMPARE(loaded.load(path), StoreResult::Ok);
    QCOMPARE(loaded.tests.size(), 1);
    QVERIFY(loaded.tests[0].recorded);
}

// A file another program deleted between a look and the open is told as
// gone, never made anew as an empty file.
void TestInspectionStore::goneFileIsNeverMade()
{
    const QString path = pathOf("gone.qmz");
    QVERIFY(!SharedConnection::openFile(path, "inspection", SharedConnection::MustExist));
    QVERIFY(!QFileInfo::exists(path));
    Inspection inspection;
    QCOMPARE(inspection.load(path).cause(), QString("файла нет"));
    QVERIFY(!QFileInfo::exists(path));
}

void TestInspectionStore::failedSaveTellsItsCause_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("told");
    QTest::newRow("saved") << "" << "";
    QTest::newRow("no file") << "removed" << "файла нет";
    QTest::newRow("file size limit") << "limited" << "disk I/O error: File too large";
}

// The reason reaches the examiner in the system's words.
void TestInspectionStore::failedSaveTellsItsCause()
{
    QFETCH(QString, cause);
    QFETCH(QString, told);
    const QString path = pathOf("subject.qmz");
    Inspection inspection(path);
    Inspection::_Test test = recordedTest("recorded", 20000);
    QCOMPARE(inspection.saveTestStruct(&test, false), StoreResult::Ok);
    if (cause == QLatin1String("removed"))
        QVERIFY(QFile::remove(path));
    rlimit original {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &original), 0);
    rlimit limited = original;
    limited.rlim_cur = rlim_t(QFileInfo(path).size() + 1000);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (cause == QLatin1String("limited"))
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const StoreResult result = inspection.saveRecording(&test);
    setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, oldHandler);
    QCOMPARE(result == StoreResult::Ok, told.isEmpty());
    QCOMPARE(result.cause(), told);
    // A write that must go into the file there never makes it anew.
    if (cause == QLatin1String("removed")) {
        QVERIFY(inspection.saveTestStruct(&test, false, Inspection::FileUse::MustExist) != StoreResult::Ok);
        QVERIFY(!QFileInfo::exists(path));
    }
}
