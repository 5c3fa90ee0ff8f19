// Two examinations of one subject file, as two programs hold it, and a file
// renamed away or locked under an open subject: what the other wrote is
// never overwritten, no file is made anew, and every refusal says so. Scores
// and marks go only onto the test and recording they were made on, and no
// save goes into another person's file put under the name.
#include "StoreFixtures.h"
#include "data/PendingRecordings.h"
#include "data/SaveRefusal.h"
#include "tests/support/LockHolder.h"
#include "tests/support/TestHome.h"

#include <QTemporaryDir>

#include <utility>

using namespace StoreFixtures;

namespace {

enum class SavePath { Structure, Marks, Recording, Points, MetricParams, MetricValues, Questionnaire, PreTest };
enum class Fault { None, Changed, Renamed, Busy, TestDeleted, PolygramDeleted, RecordedAgain, OtherPerson };

const QString kPlanned = QStringLiteral("План");

Inspection::_Test *named(Inspection &inspection, const QString &name)
{
    for (Inspection::_Test &test : inspection.tests) {
        if (test.name.startsWith(name))
            return &test;
    }
    return nullptr;
}

// The subject as an editor holds it: tests, marks, scores, records.
void open(Inspection &inspection, const QString &path, Inspection::_Person &person)
{
    QCOMPARE(inspection.loadSubject(path, person), StoreResult::Ok);
    QCOMPARE(inspection.loadMetricParams(), StoreResult::Ok);
    QVERIFY(named(inspection, "recorded"));
    QCOMPARE(inspection.loadRecording(named(inspection, "recorded")), StoreResult::Ok);
}

// One edit along a save path, told apart by its value.
StoreResult edit(Inspection &inspection, Inspection::_Person &person, SavePath path, int value)
{
    Inspection::_Test *recorded = named(inspection, "recorded");
    switch (path) {
    case SavePath::Structure: {
        Inspection::_Test *planned = named(inspection, kPlanned);
        planned->name = kPlanned + QString::number(value);
        return inspection.saveTestStruct(planned);
    }
    case SavePath::Marks:
        // Marks are moved in the review, on the recording in memory.
        inspection.loadSamples(recorded);
        recorded->labels[0].TickAStart = 1000 + value;
        recorded->labelsModified = true;
        return inspection.saveModifiedTests();
    case SavePath::Recording: {
        Inspection::_Test *planned = named(inspection, kPlanned);
        const Inspection::_Test take = recordedTest(kPlanned, 40 + value, value);
        for (int code = 0; code < 13; ++code)
            *planned->samples(code) = *take.samples(code);
        planned->labels = take.labels;
        inspection.setRecordingPending(planned->id, true);
        return PendingRecordings::save(inspection);
    }
    case SavePath::Points:
        recorded->valuationBall_ChannelK[0] = float(value);
        return inspection.saveBallValuation(recorded);
    case SavePath::MetricParams:
        inspection.metricParams.append(Inspection::_MetricParam());
        inspection.metricParams.last().Name = QString::number(value);
        inspection.metricParams.last().uid = QUuid::createUuid();
        return inspection.saveMetricParams();
    case SavePath::MetricValues:
        recorded->valuationMetric[0][0][QUuid()] = {0, 0, QUuid(), 0, 0, 0, 0, value};
        return inspection.saveMetricValuation(recorded);
    case SavePath::Questionnaire:
        person.Comments = QString::number(value);
        return inspection.savePerson(person);
    case SavePath::PreTest:
        inspection.preTestText = QString::number(value);
        return inspection.savePreTestConversation();
    }
    return StoreResult::NotWritten;
}

// Another program's deed on the recorded test, or another person's file put under the name.
void actAsAnother(Fault fault, const QString &file)
{
    if (fault == Fault::OtherPerson) {
        const QString others = file + QStringLiteral(".other");
        Inspection made(others);
        made.tests = {recordedTest("recorded", 2000), recordedTest(kPlanned, 0)};
        saveTests(made);
        Inspection::_Person person;
        person.LastName = QStringLiteral("Иванов");
        QCOMPARE(made.savePerson(person), StoreResult::Ok);
        QVERIFY(QFile::remove(file) && QFile::rename(others, file));
        return;
    }
    Inspection other;
    Inspection::_Person person;
    open(other, file, person);
    Inspection::_Test *recorded = named(other, "recorded");
    if (fault != Fault::RecordedAgain) {
        QCOMPARE(fault == Fault::TestDeleted ? other.deleteTest(recorded->id) : other.deleteTestData(recorded->id),
                 StoreResult::Ok);
        return;
    }
    // In place, of the same length and marks, on the same structure: only its samples tell it apart.
    for (int code = 0; code < 13; ++code)
        std::swap((*recorded->samples(code))[0], (*recorded->samples(code))[1]);
    QCOMPARE(other.saveRecording(recorded), StoreResult::Ok);
}

// Rows of scores, marks or recordings whose test has no structure row.
int orphanRows(const QString &file)
{
    sqlite3 *db = nullptr;
    sqlite3_stmt *count = nullptr;
    sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_prepare_v2(db, "SELECT count(*) FROM inspection WHERE data_type IN (2, 4, 8, 32) AND test_id NOT IN "
                           "(SELECT test_id FROM inspection WHERE data_type = 1)", -1, &count, nullptr);
    const int orphans = sqlite3_step(count) == SQLITE_ROW ? sqlite3_column_int(count, 0) : -1;
    sqlite3_finalize(count);
    sqlite3_close(db);
    return orphans;
}

// What the file holds along the save path, read afresh.
QString stored(const QString &file, SavePath path)
{
    Inspection inspection;
    Inspection::_Person person;
    open(inspection, file, person);
    Inspection::_Test *recorded = named(inspection, "recorded");
    switch (path) {
    case SavePath::Structure:
        return named(inspection, kPlanned)->name.mid(kPlanned.size());
    case SavePath::Marks:
        return QString::number(recorded->labels[0].TickAStart - 1000);
    case SavePath::Recording: {
        QStringList samples;
        for (Inspection::_Test &test : inspection.tests) {
            if (test.name == kPlanned && test.recorded && inspection.loadRecording(&test) == StoreResult::Ok)
                samples << QString::number(test.samples(0)->size() - 40);
        }
        samples.sort();
        return samples.join(QLatin1Char(' '));
    }
    case SavePath::Points:
        return QString::number(recorded->valuationBall_ChannelK[0]);
    case SavePath::MetricParams:
        return inspection.metricParams.isEmpty() ? QString() : inspection.metricParams.last().Name;
    case SavePath::MetricValues:
        return QString::number(recorded->valuationMetric[0][0][QUuid()].nValue);
    case SavePath::Questionnaire:
        return person.Comments;
    case SavePath::PreTest:
        return inspection.preTestText;
    }
    return QString();
}

}  // namespace

Q_DECLARE_METATYPE(SavePath)
Q_DECLARE_METATYPE(Fault)

class TestForeignChanges : public QObject
{
    Q_OBJECT
private slots:
    void savesNeverOverwriteNorRemake_data();
    void savesNeverOverwriteNorRemake();
    void rereadKeepsMarksNotDropped();
};

void TestForeignChanges::savesNeverOverwriteNorRemake_data()
{
    QTest::addColumn<SavePath>("path");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("told");  // empty: saved
    const QVector<QPair<const char *, SavePath>> paths{
        {"structure", SavePath::Structure},       {"marks", SavePath::Marks},
        {"recording", SavePath::Recording},       {"points", SavePath::Points},
        {"metric parameters", SavePath::MetricParams}, {"metric values", SavePath::MetricValues},
        {"questionnaire", SavePath::Questionnaire}, {"pre-test", SavePath::PreTest}};
    for (const auto &path : paths) {
        // A recording never waits and never replaces: both go in.
        const QString changed = path.second == SavePath::Recording ? "" : "изменен";
        QTest::addRow("%s, own saves", path.first) << path.second << Fault::None << "";
        QTest::addRow("%s, changed by another", path.first) << path.second << Fault::Changed << changed;
        QTest::addRow("%s, renamed away", path.first)
            << path.second << Fault::Renamed << "не найден: он переименован, перемещён или удалён";
        QTest::addRow("%s, busy", path.first) << path.second << Fault::Busy << "Повторить";
        QTest::addRow("%s, another person's file under the name", path.first)
            << path.second << Fault::OtherPerson << "Петров.qmz";
    }
    const QVector<QPair<const char *, Fault>> deeds{{"test deleted", Fault::TestDeleted},
                                                   {"polygram deleted", Fault::PolygramDeleted},
                                                   {"recorded again", Fault::RecordedAgain}};
    for (const auto &path : paths.mid(1, 5)) {
        if (path.second == SavePath::Recording || path.second == SavePath::MetricParams)
            continue;
        for (const auto &deed : deeds)
            QTest::addRow("%s, %s by another", path.first, deed.first) << path.second << deed.second << "«recorded»";
    }
}

void TestForeignChanges::savesNeverOverwriteNorRemake()
{
    QFETCH(SavePath, path);
    QFETCH(Fault, fault);
    QFETCH(QString, told);
    QTemporaryDir dir;
    const QString file = dir.filePath("Петров.qmz");
    const QString renamed = dir.filePath("Петров-Водкин.qmz");
    {
        Inspection made(file);
        made.tests = {recordedTest("recorded", 2000), recordedTest(kPlanned, 0)};
        saveTests(made);
        Inspection::_Person petrov;
        petrov.LastName = QStringLiteral("Петров");
        made.savePerson(petrov);
        made.savePreTestConversation();
        made.saveMetricParams();
    }
    Inspection ours, other;
    Inspection::_Person person, otherPerson;
    open(ours, file, person);
    if (fault == Fault::Changed) {
        open(other, file, otherPerson);
        QCOMPARE(edit(other, otherPerson, path, 2), StoreResult::Ok);
    }
    if (fault >= Fault::TestDeleted)
        actAsAnother(fault, file);
    const QByteArray before = fileBytes(file);
    QVERIFY(fault != Fault::Renamed || QFile::rename(file, renamed));
    QScopedPointer<LockHolder> lock(fault == Fault::Busy ? new LockHolder(file, "BEGIN EXCLUSIVE") : nullptr);
    const StoreResult result = edit(ours, person, path, 1);
    lock.reset();
    QCOMPARE(result == StoreResult::Ok, told.isEmpty());
    QVERIFY2(SaveRefusal::text(result, file, true).contains(told), qPrintable(SaveRefusal::text(result, file, true)));

    if (fault >= Fault::TestDeleted) {
        QCOMPARE(result, StoreResult::Changed);
        QCOMPARE(fileBytes(file), before);
        QCOMPARE(orphanRows(file), 0);
        return;
    }
    if (fault == Fault::Renamed || fault == Fault::Busy) {
        QCOMPARE(fileBytes(fault == Fault::Renamed ? renamed : file), before);
        QCOMPARE(QFileInfo::exists(file), fault == Fault::Busy);
        return;
    }
    if (path == SavePath::Recording) {
        QCOMPARE(stored(file, path), QString(fault == Fault::Changed ? "1 2" : "1"));
        return;
    }
    if (fault == Fault::Changed) {
        QCOMPARE(stored(file, path), QString("2"));
        QCOMPARE(ours.reread(ours.marksRefused()), StoreResult::Ok);
    }
    // Read anew, or without another's change: one program's windows share the
    // examination, its own saves are never foreign.
    QCOMPARE(edit(ours, person, path, 3), StoreResult::Ok);
    QCOMPARE(stored(file, path), QString("3"));
}

void TestForeignChanges::rereadKeepsMarksNotDropped()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("Петров.qmz");
    {
        Inspection made(file);
        made.tests = {recordedTest("recorded", 2000), recordedTest("second", 2000, 2)};
        saveTests(made);
    }
    Inspection ours;
    QCOMPARE(ours.load(file), StoreResult::Ok);
    for (const char *name : {"recorded", "second"}) {
        Inspection::_Test *test = named(ours, name);
        QCOMPARE(ours.loadRecording(test), StoreResult::Ok);
        test->labels[0].TickAStart = 1234;
        test->labelsModified = true;
    }
    // The refusal told was of the first test's marks: only they go.
    QCOMPARE(ours.reread(named(ours, "recorded")->id), StoreResult::Ok);
    QVERIFY(!named(ours, "recorded")->labelsModified);
    QCOMPARE(ours.saveModifiedTests(), StoreResult::Ok);
    Inspection back;
    QCOMPARE(back.load(file), StoreResult::Ok);
    QCOMPARE(back.loadMarks(), StoreResult::Ok);
    QCOMPARE(named(back, "second")->labels[0].TickAStart, 1234);
    QVERIFY(named(back, "recorded")->labels[0].TickAStart != 1234);
}

VUG_TEST_MAIN(TestForeignChanges, QGuiApplication)
#include "tst_foreignchanges.moc"
