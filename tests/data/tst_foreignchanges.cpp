// Two examinations of one subject file, as two programs hold it, and a file
// renamed away or locked under an open subject: what the other wrote is
// never overwritten, no file is made anew, every refusal says so, and a reread
// keeps all moved marks but the refused. Scores and marks go only onto the test
// and recording they were made on; no save goes into another person's file.
#include "StoreFixtures.h"
#include "data/PendingRecordings.h"
#include "data/SaveRefusal.h"
#include "tests/support/LockHolder.h"
#include "tests/support/TestHome.h"

#include <QTemporaryDir>

#include <algorithm>
#include <utility>

using namespace StoreFixtures;

namespace {

enum class SavePath { Structure, Marks, Recording, Points, MetricParams, MetricValues, Questionnaire, PreTest };
// From Changed on, another program's saves; from TestDeleted on, its deeds on the recorded test.
enum class Fault { None, Renamed, Busy, OtherPerson, Changed, TestDeleted, PolygramDeleted, RecordedAgain };

const QString kPlanned = QStringLiteral("План");

Inspection::_Test *named(Inspection &inspection, const QString &name)
{
    const auto found = std::find_if(inspection.tests.begin(), inspection.tests.end(),
                                    [&name](const Inspection::_Test &test) { return test.name.startsWith(name); });
    return found == inspection.tests.end() ? nullptr : &*found;
}

// A subject file of that person with two recorded tests and a planned one.
void makeSubject(const QString &file, const QString &lastName)
{
    Inspection made(file);
    made.tests = {recordedTest("recorded", 2000), recordedTest("second", 2000, 2), recordedTest(kPlanned, 0)};
    saveTests(made);
    Inspection::_Person person;
    person.LastName = lastName;
    QVERIFY(made.savePerson(person) == StoreResult::Ok && made.savePreTestConversation() == StoreResult::Ok
            && made.saveMetricParams() == StoreResult::Ok);
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
    Inspection::_Test *planned = named(inspection, kPlanned);
    switch (path) {
    case SavePath::Structure:
        planned->name = kPlanned + QString::number(value);
        return inspection.saveTestStruct(planned);
    case SavePath::Marks:
        // Marks are moved in the review, on the recording in memory.
        inspection.loadSamples(recorded);
        recorded->labels[0].TickAStart = 1000 + value;
        recorded->labelsModified = true;
        return inspection.saveModifiedTests();
    case SavePath::Recording: {
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

// Another person's file put under the name, or another program's save or deed on the file.
void actAsAnother(Fault fault, SavePath path, const QString &file)
{
    if (fault == Fault::OtherPerson) {
        makeSubject(file + QStringLiteral(".other"), QStringLiteral("Иванов"));
        QVERIFY(QFile::remove(file) && QFile::rename(file + QStringLiteral(".other"), file));
    }
    if (fault < Fault::Changed)
        return;
    Inspection other;
    Inspection::_Person person;
    open(other, file, person);
    Inspection::_Test *recorded = named(other, "recorded");
    // Recorded again in place, of the same length and marks, on the same structure: only its samples tell it apart.
    for (int code = 0; fault == Fault::RecordedAgain && code < 13; ++code)
        std::swap((*recorded->samples(code))[0], (*recorded->samples(code))[1]);
    QCOMPARE(fault == Fault::Changed           ? edit(other, person, path, 2)
             : fault == Fault::TestDeleted     ? other.deleteTest(recorded->id)
             : fault == Fault::PolygramDeleted ? other.deleteTestData(recorded->id)
                                               : other.saveRecording(recorded),
             StoreResult::Ok);
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
};

void TestForeignChanges::savesNeverOverwriteNorRemake_data()
{
    QTest::addColumn<SavePath>("path");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("told");  // empty: saved
    const char *paths[] = {"structure",         "marks",         "recording",     "points",
                           "metric parameters", "metric values", "questionnaire", "pre-test"};
    const QPair<const char *, QString> faults[] = {
        {"own saves", ""}, {"renamed away", "не найден: он переименован, перемещён или удалён"}, {"busy", "Повторить"},
        {"another person's file under the name", "Петров.qmz"}, {"changed by another", "изменен"},
        {"test deleted by another", "«recorded»"}, {"polygram deleted by another", "«recorded»"},
        {"recorded again by another", "«recorded»"}};
    for (int p = 0; p < 8; ++p) {
        const auto path = SavePath(p);
        const bool onRecorded = path == SavePath::Marks || path == SavePath::Points || path == SavePath::MetricValues;
        for (int f = 0; f < (onRecorded ? 8 : int(Fault::TestDeleted)); ++f) {
            // A recording never waits and never replaces: both go in.
            const bool bothIn = path == SavePath::Recording && Fault(f) == Fault::Changed;
            QTest::addRow("%s, %s", paths[p], faults[f].first) << path << Fault(f) << (bothIn ? "" : faults[f].second);
        }
    }
}

void TestForeignChanges::savesNeverOverwriteNorRemake()
{
    QFETCH(SavePath, path);
    QFETCH(Fault, fault);
    QFETCH(QString, told);
    QTemporaryDir dir;
    const QString file = dir.filePath("Петров.qmz");
    const QString held = fault == Fault::Renamed ? dir.filePath("Петров-Водкин.qmz") : file;
    makeSubject(file, QStringLiteral("Петров"));
    Inspection ours;
    Inspection::_Person person;
    open(ours, file, person);
    actAsAnother(fault, path, file);
    QVERIFY(held == file || QFile::rename(file, held));
    const QByteArray before = fileBytes(held);
    QScopedPointer<LockHolder> lock(fault == Fault::Busy ? new LockHolder(file, "BEGIN EXCLUSIVE") : nullptr);
    const StoreResult result = edit(ours, person, path, 1);
    QCOMPARE(result == StoreResult::Ok, told.isEmpty());
    QVERIFY2(SaveRefusal::text(result, file, true).contains(told), qPrintable(SaveRefusal::text(result, file, true)));
    QCOMPARE(QFileInfo::exists(file), held == file);
    if (!told.isEmpty()) {
        QCOMPARE(fileBytes(held), before);
        QVERIFY(fault < Fault::OtherPerson || result == StoreResult::Changed);
        if (fault != Fault::Changed)
            return;
        // Read anew: marks moved meanwhile on another test stay, refused ones go.
        Inspection::_Test *second = named(ours, "second");
        QCOMPARE(ours.loadRecording(second), StoreResult::Ok);
        second->labels[0].TickAStart = 1234;
        second->labelsModified = true;
        QCOMPARE(ours.reread(ours.marksRefused()), StoreResult::Ok);
        QCOMPARE(ours.saveModifiedTests(), StoreResult::Ok);
        Inspection back;
        QVERIFY(back.load(file) == StoreResult::Ok && back.loadMarks() == StoreResult::Ok);
        QCOMPARE(named(back, "second")->labels[0].TickAStart, 1234);
        QVERIFY(named(back, "recorded")->labels[0].TickAStart != 1000 + 1);  // ours refused
    }
    if (path == SavePath::Recording) {
        QCOMPARE(ours.load(file), StoreResult::Ok);
        int takes = 0;
        for (const Inspection::_Test &test : ours.tests)
            takes += test.name == kPlanned && test.recorded;
        QCOMPARE(takes, fault == Fault::Changed ? 2 : 1);
        return;
    }
    // Read anew, or without another's change: one program's windows share the
    // examination, its own saves are never foreign.
    const QByteArray read = fileBytes(file);
    QCOMPARE(edit(ours, person, path, 3), StoreResult::Ok);
    QVERIFY(fileBytes(file) != read);
}

VUG_TEST_MAIN(TestForeignChanges, QGuiApplication)
#include "tst_foreignchanges.moc"
