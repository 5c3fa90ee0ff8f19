// Two examinations of one subject file, as two programs hold it, and a file
// renamed away or locked under an open subject: what the other wrote is
// never overwritten, no file is made anew, and every refusal says so.
#include "StoreFixtures.h"
#include "data/SaveRefusal.h"
#include "tests/support/LockHolder.h"
#include "tests/support/TestHome.h"

#include <QTemporaryDir>

using namespace StoreFixtures;

namespace {

enum class SavePath { Structure, Marks, Recording, Points, MetricParams, MetricValues, Questionnaire, PreTest };
enum class Fault { None, Changed, Renamed, Busy };

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
        return inspection.savePendingRecordings();
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
        made.tests = {recordedTest("recorded", 50), recordedTest(kPlanned, 0)};
        saveTests(made);
        made.savePerson(Inspection::_Person());
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
    const QByteArray before = fileBytes(file);
    QVERIFY(fault != Fault::Renamed || QFile::rename(file, renamed));
    QScopedPointer<LockHolder> lock(fault == Fault::Busy ? new LockHolder(file, "BEGIN EXCLUSIVE") : nullptr);
    const StoreResult result = edit(ours, person, path, 1);
    lock.reset();
    QCOMPARE(result == StoreResult::Ok, told.isEmpty());
    QVERIFY2(SaveRefusal::text(result, file, true).contains(told), qPrintable(SaveRefusal::text(result, file, true)));

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
        QCOMPARE(ours.reread(), StoreResult::Ok);
    }
    // Read anew, or without another's change: one program's windows share the
    // examination, its own saves are never foreign.
    QCOMPARE(edit(ours, person, path, 3), StoreResult::Ok);
    QCOMPARE(stored(file, path), QString("3"));
}

VUG_TEST_MAIN(TestForeignChanges, QGuiApplication)
#include "tst_foreignchanges.moc"
