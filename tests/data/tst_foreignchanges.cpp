// Two examinations of one subject file, as two programs hold it, and a file
// renamed, deleted or locked under an open subject: what the other wrote is
// never overwritten, no file is made anew, and every refusal says so.
#include "StoreFixtures.h"
#include "data/SaveRefusal.h"
#include "tests/support/LockHolder.h"
#include "tests/support/TestHome.h"

#include <QTemporaryDir>

using namespace StoreFixtures;

namespace {

enum class SavePath { Structure, Marks, Recording, Points, MetricParams, MetricValues, Questionnaire, PreTest };
enum class Fault { None, Changed, Renamed, Deleted, Busy };

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
    {
        Inspection::_MetricParam param;
        param.Name = QString::number(value);
        param.uid = QUuid::createUuid();
        inspection.metricParams.append(param);
    }
        return inspection.saveMetricParams();
    case SavePath::MetricValues:
    {
        InspectionMetricValuation &measured = recorded->valuationMetric[0][0][QUuid()];
        measured.iGroup = 0;
        measured.iQuest = 0;
        measured.nValue = value;
    }
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

QByteArray bytesOf(const QString &file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

}  // namespace

Q_DECLARE_METATYPE(SavePath)
Q_DECLARE_METATYPE(Fault)

class TestForeignChanges : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void savesNeverOverwriteNorRemake_data();
    void savesNeverOverwriteNorRemake();

private:
    QString makeSubject();
    QScopedPointer<QTemporaryDir> m_dir;
};

void TestForeignChanges::init()
{
    m_dir.reset(new QTemporaryDir);
}

QString TestForeignChanges::makeSubject()
{
    const QString path = m_dir->filePath("Петров.qmz");
    Inspection made(path);
    made.tests = {recordedTest("recorded", 50), recordedTest(kPlanned, 0)};
    for (Inspection::_Test &test : made.tests) {
        made.saveTestStruct(&test);
        made.saveRecording(&test);
    }
    made.savePerson(Inspection::_Person());
    made.savePreTestConversation();
    made.saveMetricParams();
    return path;
}

void TestForeignChanges::savesNeverOverwriteNorRemake_data()
{
    QTest::addColumn<SavePath>("path");
    QTest::addColumn<Fault>("fault");
    const QVector<QPair<const char *, SavePath>> paths{
        {"structure", SavePath::Structure},       {"marks", SavePath::Marks},
        {"recording", SavePath::Recording},       {"points", SavePath::Points},
        {"metric parameters", SavePath::MetricParams}, {"metric values", SavePath::MetricValues},
        {"questionnaire", SavePath::Questionnaire}, {"pre-test", SavePath::PreTest}};
    const QVector<QPair<const char *, Fault>> faults{{"own saves", Fault::None},
                                                     {"changed by another", Fault::Changed},
                                                     {"renamed", Fault::Renamed},
                                                     {"deleted", Fault::Deleted},
                                                     {"busy", Fault::Busy}};
    for (const auto &path : paths) {
        for (const auto &fault : faults)
            QTest::addRow("%s, %s", path.first, fault.first) << path.second << fault.second;
    }
}

void TestForeignChanges::savesNeverOverwriteNorRemake()
{
    QFETCH(SavePath, path);
    QFETCH(Fault, fault);
    const QString file = makeSubject();
    Inspection ours;
    Inspection::_Person person;
    open(ours, file, person);

    if (fault == Fault::None) {
        // One program's windows share the examination: its own saves are never foreign.
        QCOMPARE(edit(ours, person, path, 2), StoreResult::Ok);
        if (path != SavePath::Recording)
            QCOMPARE(edit(ours, person, path, 3), StoreResult::Ok);
        QCOMPARE(stored(file, path), QString(path == SavePath::Recording ? "2" : "3"));
        return;
    }
    if (fault == Fault::Changed) {
        Inspection other;
        Inspection::_Person otherPerson;
        open(other, file, otherPerson);
        QCOMPARE(edit(other, otherPerson, path, 2), StoreResult::Ok);
        const StoreResult result = edit(ours, person, path, 1);
        if (path == SavePath::Recording) {
            // Never waits, never replaces: both recordings are in the file.
            QCOMPARE(result, StoreResult::Ok);
            QCOMPARE(stored(file, path), QString("1 2"));
            return;
        }
        QCOMPARE(result, StoreResult::Changed);
        QVERIFY(SaveRefusal::text(result, file, true).contains("изменен"));
        QCOMPARE(stored(file, path), QString("2"));
        // Read anew, the next edit starts from what is stored and goes in.
        QCOMPARE(ours.reread(), StoreResult::Ok);
        QCOMPARE(edit(ours, person, path, 3), StoreResult::Ok);
        QCOMPARE(stored(file, path), QString("3"));
        return;
    }
    const QString renamed = m_dir->filePath("Петров-Водкин.qmz");
    const QByteArray before = bytesOf(file);
    StoreResult result;
    if (fault == Fault::Busy) {
        LockHolder other(file, "BEGIN EXCLUSIVE");
        QVERIFY(other.isHeld());
        result = edit(ours, person, path, 1);
    } else {
        QVERIFY(fault == Fault::Renamed ? QFile::rename(file, renamed) : QFile::remove(file));
        result = edit(ours, person, path, 1);
    }
    QVERIFY(result != StoreResult::Ok);
    QCOMPARE(bytesOf(fault == Fault::Renamed ? renamed : file), fault == Fault::Deleted ? QByteArray() : before);
    if (fault == Fault::Busy) {
        QCOMPARE(result, StoreResult::Busy);
        QVERIFY(SaveRefusal::text(result, file, true).contains("Повторить"));
        return;
    }
    // Never made anew, the file gone is named as such.
    QVERIFY(!QFileInfo::exists(file));
    QVERIFY(SaveRefusal::text(result, file, true).contains("не найден: он переименован, перемещён или удалён"));
}

VUG_TEST_MAIN(TestForeignChanges, QGuiApplication)
#include "tst_foreignchanges.moc"
