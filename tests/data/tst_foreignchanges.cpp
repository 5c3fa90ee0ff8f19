// Two examinations of one subject file, as two programs hold it, and a file
// renamed away or locked under an open subject: what the other wrote is
// never overwritten, no file is made anew, every refusal says so, and a reread
// keeps all moved marks but the refused. Scores and marks go only onto the test
// and recording they were made on; no save goes into another person's file.
// One program's holders of a file never refuse each other's writes; the same
// writes by a second program's process are refused and told.
#include "StoreFixtures.h"
#include "data/PendingRecordings.h"
#include "data/SaveRefusal.h"
#include "tests/support/AnotherProgram.h"
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

// A write by another holder of the file, read apart and saved as the window
// that makes it does: the questionnaire dialog, the key book, a paste.
enum class Writer { Questionnaire, Keys, Paste };

bool writeAsHolder(Writer writer, const QString &file)
{
    if (writer == Writer::Paste) {
        Inspection subject;
        QVector<Inspection::_Test> pasted{recordedTest(QStringLiteral("pasted"), 0)};
        return subject.load(file) == StoreResult::Ok && subject.saveNewTestStructs(pasted) == StoreResult::Ok;
    }
    Inspection dialog(file);
    Inspection::_Person person;
    if (dialog.loadPerson(person) != StoreResult::Ok || dialog.loadPreTestConversation() != StoreResult::Ok)
        return false;
    if (writer == Writer::Keys) {
        person.Tags = QStringLiteral("{5f1c7f7e-9a2e-4c43-8d1e-2b6f0c1d9a10}");
        return Inspection(file).savePerson(person) == StoreResult::Ok;
    }
    person.Comments += QStringLiteral("comment");
    return dialog.saveQuestionnaire(person, dialog.loadPhotoRecords(), dialog.loadFiles()) == StoreResult::Ok;
}

// The second program's act: the writer's number and the file.
bool actAsAnotherProgram(const QStringList &words)
{
    return words.size() == 2 && writeAsHolder(Writer(words[0].toInt()), words[1]);
}

// A points score and a measured value of a question in presentation 1, as the windows make them.
void score(Inspection::_Test &test, int quest, int points)
{
    InspectionBallValuation &entry = test.valuationBall_012[1][quest];
    entry.iGroup = 1;
    entry.iQuest = quest;
    entry.setScore(0, points);
}

void measure(Inspection::_Test &test, int quest, const QUuid &param, int value)
{
    test.valuationMetric[1][quest][param] = {1, quest, param, 0, 0, 0, 0, value};
}

// The points, weights, left-out presentations and metric values as stored.
QByteArray valuationsOf(const Inspection::_Test &test)
{
    QJsonObject points, values;
    test.ballValuationToJson(points);
    test.metricValuationToJson(values);
    return BinaryJson::encode({{QStringLiteral("points"), points}, {QStringLiteral("values"), values}});
}

}  // namespace

Q_DECLARE_METATYPE(SavePath)
Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Writer)

class TestForeignChanges : public QObject
{
    Q_OBJECT
private slots:
    void savesNeverOverwriteNorRemake_data();
    void savesNeverOverwriteNorRemake();
    void ownHoldersNeverRefuseEachOther_data();
    void ownHoldersNeverRefuseEachOther();
    void rereadAfterRefusalShowsTheFile_data();
    void rereadAfterRefusalShowsTheFile();
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

void TestForeignChanges::ownHoldersNeverRefuseEachOther_data()
{
    QTest::addColumn<Writer>("writer");
    QTest::addColumn<SavePath>("path");
    QTest::addColumn<bool>("apart");  // the write made by a second program's process
    QTest::addColumn<QString>("told");  // empty: saved
    const char *writers[] = {"questionnaire", "keys", "paste"};
    const char *paths[] = {"editor edit", "moved marks", "put-off recording", "points", "metric value"};
    const SavePath saves[] = {SavePath::Structure, SavePath::Marks, SavePath::Recording, SavePath::Points,
                              SavePath::MetricValues};
    for (int w = 0; w < 3; ++w) {
        for (int p = 0; p < 5; ++p) {
            QTest::addRow("%s, then %s", writers[w], paths[p]) << Writer(w) << saves[p] << false << "";
            // Apart: the subject a test's save depends on is not as read.
            if (Writer(w) != Writer::Paste)
                QTest::addRow("%s by another program, then %s", writers[w], paths[p])
                    << Writer(w) << saves[p] << true << "Анкета обследуемого изменена другой программой";
        }
    }
}

void TestForeignChanges::ownHoldersNeverRefuseEachOther()
{
    QFETCH(Writer, writer);
    QFETCH(SavePath, path);
    QFETCH(bool, apart);
    QFETCH(QString, told);
    QTemporaryDir dir;
    const QString file = dir.filePath("Петров.qmz");
    makeSubject(file, QStringLiteral("Петров"));
    Inspection ours;
    Inspection::_Person person;
    open(ours, file, person);
    // As the editor holds it after a test's polygram was deleted: read anew.
    QCOMPARE(ours.reread(), StoreResult::Ok);
    QVERIFY(apart ? AnotherProgram::act({QString::number(int(writer)), file}) : writeAsHolder(writer, file));
    const StoreResult result = edit(ours, person, path, 1);
    QVERIFY2(SaveRefusal::text(result, file, true).contains(told), qPrintable(SaveRefusal::text(result, file, true)));
    QCOMPARE(result == StoreResult::Ok, told.isEmpty());
    if (told.isEmpty()) {
        // A test new to the file goes in beside those this program put there.
        QVector<Inspection::_Test> added{recordedTest(QStringLiteral("added"), 0)};
        QCOMPARE(ours.saveNewTestStructs(added), StoreResult::Ok);
        return;
    }
    // Shown as stored, as the window that was refused reads it: the next save goes in.
    QCOMPARE(path == SavePath::Points || path == SavePath::MetricValues ? ours.rereadTest(named(ours, "recorded"))
                                                                       : ours.reread(ours.marksRefused()),
             StoreResult::Ok);
    QCOMPARE(edit(ours, person, path, 2), StoreResult::Ok);
}

void TestForeignChanges::rereadAfterRefusalShowsTheFile_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<QString>("told");
    QTest::newRow("points cleared") << 0 << "«recorded»";
    QTest::newRow("presentation taken back into the scoring") << 1 << "«recorded»";
    QTest::newRow("metric values cleared") << 2 << "«recorded»";
    QTest::newRow("metric parameter deleted") << 3 << "Список параметров";
}

void TestForeignChanges::rereadAfterRefusalShowsTheFile()
{
    QFETCH(int, change);
    QFETCH(QString, told);
    QTemporaryDir dir;
    const QString file = dir.filePath("Петров.qmz");
    makeSubject(file, QStringLiteral("Петров"));
    const QUuid param = QUuid::createUuid();
    {
        Inspection scorer;
        Inspection::_Person person;
        open(scorer, file, person);
        scorer.metricParams.append(Inspection::_MetricParam());
        scorer.metricParams.last().uid = param;
        Inspection::_Test *recorded = named(scorer, "recorded");
        score(*recorded, 0, 2);
        recorded->valuationBall_GroupsDisabled.insert(2);
        measure(*recorded, 0, param, 7);
        QVERIFY(scorer.saveMetricParamsAndValuations({recorded}) == StoreResult::Ok
                && scorer.saveBallValuation(recorded) == StoreResult::Ok);
    }
    Inspection ours, other;
    Inspection::_Person person;
    open(ours, file, person);
    open(other, file, person);
    QCOMPARE(ours.loadMetricParams(), StoreResult::Ok);
    QCOMPARE(other.loadMetricParams(), StoreResult::Ok);
    Inspection::_Test *theirs = named(other, "recorded");
    if (change == 0)
        theirs->valuationBall_012.clear();
    if (change == 1)
        theirs->valuationBall_GroupsDisabled.clear();
    if (change == 2)
        theirs->valuationMetric.clear();
    if (change == 3)
        other.metricParams.clear();
    QCOMPARE(change == 3 ? other.saveMetricParams()
             : change == 2 ? other.saveMetricValuation(theirs)
                           : other.saveBallValuation(theirs),
             StoreResult::Ok);
    // Ours scores or measures another question: refused, then shown as the file holds it.
    Inspection::_Test *recorded = named(ours, "recorded");
    const auto scoreAnother = [&] {
        if (change < 2) {
            score(*recorded, 1, 1);
            return ours.saveBallValuation(recorded);
        }
        measure(*recorded, 1, param, 9);
        return ours.saveMetricValuation(recorded);
    };
    const StoreResult refused = scoreAnother();
    QCOMPARE(refused, StoreResult::Changed);
    QVERIFY2(SaveRefusal::text(refused, file, true).contains(told), qPrintable(refused.cause()));
    QCOMPARE(ours.rereadTest(recorded), StoreResult::Ok);
    QCOMPARE(ours.loadMetricParams(), StoreResult::Ok);
    QCOMPARE(valuationsOf(*recorded), valuationsOf(*theirs));
    QCOMPARE(ours.metricParams.size(), other.metricParams.size());
    if (change == 3)
        return;
    // The next score goes in beside the other's change, which stays.
    QCOMPARE(scoreAnother(), StoreResult::Ok);
    Inspection back;
    QVERIFY(back.load(file) == StoreResult::Ok && back.loadMarks() == StoreResult::Ok);
    QCOMPARE(valuationsOf(*named(back, "recorded")), valuationsOf(*recorded));
    if (change < 2)
        score(*theirs, 1, 1);
    else
        measure(*theirs, 1, param, 9);
    QCOMPARE(valuationsOf(*recorded), valuationsOf(*theirs));
}

VUG_TEST_MAIN_BESIDE_ANOTHER(TestForeignChanges, QGuiApplication, actAsAnotherProgram)
#include "tst_foreignchanges.moc"
