// A process killed while it saves must leave a subject file that opens, with
// every record in either its old or its new version.
#include "StoreFixtures.h"
#include "tests/support/TestHome.h"

#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

class TestStoreReliability : public QObject
{
    Q_OBJECT
private slots:
    void killedWhileSavingLeavesReadableRecords();
    void saveLoop();
};

namespace {

const char *const kPathVariable = "VUG_RELIABILITY_PATH";
constexpr int kTests = 2;

int versionOf(const QString &name)
{
    const QRegularExpressionMatch match = QRegularExpression("^v(\\d+)$").match(name);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// Every record of version v carries v in all its parts, with sizes that
// depend on v, so a record mixed from two versions shows.
void fillVersion(Inspection::_Test &test, int v)
{
    test.name = QStringLiteral("v%1").arg(v);
    test.Comments = test.name;
    test.themis.clear();
    for (int i = 0; i <= v % 5; ++i)
        test.themis.append(Inspection::_Theme(test.name, QuestionKind::Test));
    const int ticks = 30000 + (v % 7) * 1000;
    for (int code = 0; code < 13; ++code)
        test.samples(code)->fill(qint16(v % 30000), ticks);
    test.TimeMM.fill(v, ticks);
    test.labels.clear();
    for (int i = 0; i <= v % 4; ++i) {
        Inspection::_Label mark;
        mark.TickQStart = v;
        test.labels.append(mark);
    }
    test.ia.nIALength = v;
}

void checkStructure(const Inspection::_Test &test, int v)
{
    QCOMPARE(test.Comments, test.name);
    QCOMPARE(test.themis.size(), 1 + v % 5);
    for (const Inspection::_Theme &question : test.themis)
        QCOMPARE(question.Theme, test.name);
}

void checkRecording(const Inspection::_Test &test)
{
    const int w = test.TimeMM.value(0, -1);
    QVERIFY(w >= 0);
    QCOMPARE(test.TimeMM.size(), 30000 + (w % 7) * 1000);
    QVERIFY(std::all_of(test.TimeMM.begin(), test.TimeMM.end(), [w](qint32 t) { return t == w; }));
    for (int code = 0; code < 13; ++code) {
        const QVector<qint16> &samples = *test.samples(code);
        QCOMPARE(samples.size(), test.TimeMM.size());
        QVERIFY(std::all_of(samples.begin(), samples.end(), [w](qint16 s) { return s == qint16(w % 30000); }));
    }
    // The marks and interval come from the header row, which has its own version.
    const int h = int(test.ia.nIALength);
    QCOMPARE(test.labels.size(), 1 + h % 4);
    for (const Inspection::_Label &mark : test.labels)
        QCOMPARE(mark.TickQStart, h);
}

// The test framework writes its own lines first; wait for the child's word.
bool waitForFirstSave(QProcess &child)
{
    QByteArray output;
    while (!output.contains("saved\n")) {
        if (!child.waitForReadyRead(60000))
            return false;
        output += child.readAllStandardOutput();
    }
    return true;
}

}  // namespace

// The child: saves new versions of every record until it is killed.
void TestStoreReliability::saveLoop()
{
    const QString path = qEnvironmentVariable(kPathVariable);
    if (path.isEmpty())
        QSKIP("runs only as a child process");
    Inspection inspection;
    inspection.load(path);
    int v = 0;
    for (const Inspection::_Test &test : inspection.tests)
        v = qMax(v, versionOf(test.name) + 1);
    while (inspection.tests.size() < kTests)
        inspection.appendTest(Inspection::_Test());
    for (bool first = true;; first = false) {
        for (Inspection::_Test &test : inspection.tests) {
            fillVersion(test, v++);
            inspection.saveTestStruct(&test, false);
            inspection.saveRecording(&test);
            fillVersion(test, v++);
            inspection.saveRecordingHeader(&test);
        }
        if (first) {
            // Tells the parent that this child really saves, however slowly it started.
            std::fputs("saved\n", stdout);
            std::fflush(stdout);
        }
    }
}

void TestStoreReliability::killedWhileSavingLeavesReadableRecords()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("subject.qmz");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(kPathVariable, path);
    int hotJournals = 0;
    int lastVersion = -1;
    constexpr int kRounds = 60;
    for (int round = 0; round < kRounds; ++round) {
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {"saveLoop"});
        QVERIFY(child.waitForStarted());
        QVERIFY(waitForFirstSave(child));
        QThread::msleep(QRandomGenerator::global()->bounded(300));
        child.kill();
        QVERIFY(child.waitForFinished());
        if (QFile::exists(path + "-journal"))
            ++hotJournals;

        Inspection inspection;
        QCOMPARE(inspection.load(path), StoreResult::Ok);
        QVERIFY(inspection.tests.size() <= kTests);
        for (Inspection::_Test &test : inspection.tests) {
            const int v = versionOf(test.name);
            QVERIFY2(v >= 0, qPrintable(test.name));
            lastVersion = qMax(lastVersion, v);
            checkStructure(test, v);
            if (QTest::currentTestFailed())
                return;
            if (!test.recorded)
                continue;
            QCOMPARE(inspection.loadRecording(&test), StoreResult::Ok);
            checkRecording(test);
            if (QTest::currentTestFailed())
                return;
        }
    }
    qInfo("%d of %d kills left a transaction to roll back; last version %d", hotJournals, kRounds, lastVersion);
    QVERIFY(lastVersion > kRounds);  // the children really saved, round after round
    QVERIFY(hotJournals > 0);        // and some were killed in the middle of a write
}

VUG_TEST_MAIN(TestStoreReliability, QCoreApplication)
#include "tst_storereliability.moc"
