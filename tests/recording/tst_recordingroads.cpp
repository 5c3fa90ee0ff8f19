#include "RendererHarness.h"
#include "data/InspectionMedia.h"
#include "data/RecordingRescue.h"
#include "editor/PendingRecordingPrompt.h"
#include "recording/RecordingSession.h"
#include "recording/media/MMRecorder.h"
#include "tests/support/LockHolder.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/SyntheticCapture.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QMainWindow>
#include <QStatusBar>

#include <algorithm>

namespace {

QByteArray hashOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1)
                                          : QByteArray("none");
}

// Where a mark of the recording began: the question and its answer.
QVector<QPair<int, int>> marksOf(const Inspection::_Test &test)
{
    QVector<QPair<int, int>> marks;
    for (const QVector<InspectionLabel> *kind : {&test.labels, &test.labelsNULL}) {
        for (const InspectionLabel &mark : *kind)
            marks.append({mark.TickQStart, mark.TickAStart});
    }
    std::sort(marks.begin(), marks.end());
    return marks;
}

}  // namespace

// A recording kept after a failed save, driven through the classes the record
// window uses: the session, the end of the recording, the save prompt and the
// recovery copies.
class TestRecordingRoads : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void recordedAgainAfterACopyHoldsItsOwnMarks();
    void videoGoesWhereItsRecordingGoes_data();
    void videoGoesWhereItsRecordingGoes();
    void statusBarTellsOfTheWait();

private:
    struct Recorded {
        RecordingEnd::Run run;
        QVector<QPair<int, int>> presses;
        QVector<qint16> samples;
        QByteArray video;
    };
    // Two questions, each answered answerAfter ticks after it, the answer time
    // then run out; the record window's stop ends it.
    Recorded record(Inspection::_Test &test, int answerAfter);
    void press(RecordingSession &session, QVector<QPair<int, int>> &presses, bool answer);
    void finish(Inspection::_Test &test, const Recorded &recorded)
    {
        RecordingEnd(&run->inspection, &test, recorded.run).finish(true);
    }
    // Another program records the same planned test, its video under the
    // test's name, and saves it; the hash of that video.
    QByteArray recordElsewhere(const Inspection::_Test &test);
    // The video of every recording in the data folder and its recovery copies.
    QVector<QByteArray> keptVideos() const;

    QString root;
    QScopedPointer<QTemporaryDir> dir;
    QScopedPointer<ReaderRun> run;
    // Each recording has a clock of its own, as in the program.
    std::unique_ptr<ManualTickSource> ticks;
    bool camera = false;
};

void TestRecordingRoads::init()
{
    camera = false;
    GenericSettings settings;
    settings.load();
    root = settings.sRootFolder;
    QDir(RecordingRescue::folder(root)).removeRecursively();
    QDir(root).removeRecursively();
    QVERIFY(QDir().mkpath(root));
    dir.reset(new QTemporaryDir(root + QStringLiteral("/subject-XXXXXX")));
    run.reset(new ReaderRun);
    run->inspection.path = dir->filePath(QStringLiteral("Иванов.qmz"));
    run->inspection.appendTest(questionTest());
    for (Inspection::_Test &test : run->inspection.tests)
        QCOMPARE(run->inspection.saveTestStruct(&test, false), StoreResult::Ok);
}

void TestRecordingRoads::cleanup()
{
    run.reset();
    ticks.reset();
}

void TestRecordingRoads::press(RecordingSession &session, QVector<QPair<int, int>> &presses, bool answer)
{
    const int at = session.reader()->currentPosition();
    if (answer)
        presses.last().second = at;
    else
        presses.append({at, 0});
    session.keyPress(Qt::Key_Space);
    ticks->tick(2);
    session.keyRelease(Qt::Key_Space);
}

TestRecordingRoads::Recorded TestRecordingRoads::record(Inspection::_Test &test, int answerAfter)
{
    Recorded recorded;
    if (camera) {
        run->collaborators.makeRecorder = [](int quality) {
            auto sources = std::make_unique<SyntheticCapture>();
            sources->setRealTime(3000);
            return std::unique_ptr<VideoRecorder>(new MMRecorder(quality, std::move(sources)));
        };
    }
    // An answer time of five seconds, nothing recorded after the last one.
    configureReader(QStringLiteral("vugSensorDemo.so"), [this](GenericSettings &s) {
        s.iIA = 5;
        s.iTimeAfterForRecod = 0;
        s.bEnableLabelAnswere = true;
        s.bEnableVideoForRecord = camera;
    });
    ticks = std::make_unique<ManualTickSource>();
    run->collaborators.ticks = ticks.get();
    BlindSurface surface;
    RecordingSession session;
    QSignalSpy drawing(&session, &RecordingSession::updateUI);
    session.start(&surface, &run->inspection, &test, true, 0, run->collaborators);
    ticks->waitUntilWaiting();
    [&drawing] { QTRY_VERIFY_WITH_TIMEOUT(!drawing.isEmpty(), 20000); }();
    const auto tick = [this](int count) {
        for (int i = 0; i < count; ++i) {
            ticks->tick();
            if (camera)
                QTest::qWait(5);
        }
    };
    tick(5);
    for (int question = 0; question < 2; ++question) {
        press(session, recorded.presses, false);
        tick(answerAfter);
        press(session, recorded.presses, true);
        tick(5 * SensorReader::TicksPerSecond + 5);
    }
    recorded.samples = test.dataGSR.mid(0, session.reader()->currentPosition());
    recorded.run = session.stop().value_or(RecordingEnd::Run());
    recorded.video = hashOf(InspectionMedia::tempVideoPath(run->inspection));
    return recorded;
}

QByteArray TestRecordingRoads::recordElsewhere(const Inspection::_Test &test)
{
    Inspection elsewhere;
    if (elsewhere.load(run->inspection.path) != StoreResult::Ok)
        return QByteArray();
    Inspection::_Test *same = elsewhere.test(elsewhere.indexOfTest(test.id));
    if (!same)
        return QByteArray();
    *same = test;
    QFile video(InspectionMedia::testVideoPath(elsewhere, *same));
    if (elsewhere.saveRecording(same) != StoreResult::Ok || !video.open(QIODevice::WriteOnly)
        || video.write("another program's video") <= 0)
        return QByteArray();
    video.close();
    return hashOf(video.fileName());
}

QVector<QByteArray> TestRecordingRoads::keptVideos() const
{
    QVector<QByteArray> videos;
    for (const QString &folder : {root, RecordingRescue::folder(root)}) {
        QDirIterator it(folder, {QStringLiteral("*.qmz")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            Inspection subject;
            subject.load(it.next());
            for (const Inspection::_Test &test : subject.tests) {
                if (test.recorded)
                    videos.append(hashOf(InspectionMedia::testVideoName(subject, test)));
            }
        }
    }
    std::sort(videos.begin(), videos.end());
    return videos;
}

// The file keeps the second recording's own marks and samples, the recovery
// copy the first's; the test in memory is as the file holds it in between.
void TestRecordingRoads::recordedAgainAfterACopyHoldsItsOwnMarks()
{
    Inspection::_Test &test = run->test();
    const Recorded first = record(test, 30);
    const QVector<InspectionLabel> firstMarks = test.labels;
    {
        LockHolder other(run->inspection.path, QStringLiteral("BEGIN EXCLUSIVE"));
        QVERIFY(other.isHeld());
        MessageBoxAnswerer answers({QMessageBox::Save, QMessageBox::Ok});
        finish(test, first);
        QCOMPARE(answers.asked().size(), 2);
    }
    QVERIFY(!test.recorded && test.labels.isEmpty() && test.dataGSR.isEmpty());
    // Whatever the test held, a recording starts from no marks.
    test.labels = firstMarks;
    const Recorded second = record(test, 80);
    QCOMPARE(marksOf(test), second.presses);
    MessageBoxAnswerer none;
    finish(test, second);
    QCOMPARE(none.asked().size(), 0);

    Inspection stored;
    QCOMPARE(stored.load(run->inspection.path), StoreResult::Ok);
    QCOMPARE(stored.loadRecording(&stored.tests[0]), StoreResult::Ok);
    QCOMPARE(marksOf(stored.tests[0]), second.presses);
    QCOMPARE(stored.tests[0].dataGSR.mid(0, second.samples.size()), second.samples);
    const QVector<RecordingRescue::Copy> copies = RecordingRescue::copies(root);
    QCOMPARE(copies.size(), 1);
    Inspection copy;
    QCOMPARE(copy.load(copies[0].file), StoreResult::Ok);
    QCOMPARE(copy.loadRecording(&copy.tests[0]), StoreResult::Ok);
    QCOMPARE(marksOf(copy.tests[0]), first.presses);
    QCOMPARE(copy.tests[0].dataGSR.mid(0, first.samples.size()), first.samples);
    QVERIFY(first.presses != second.presses);
}

void TestRecordingRoads::videoGoesWhereItsRecordingGoes_data()
{
    QTest::addColumn<QString>("road");
    QTest::newRow("saved now") << "saved";
    QTest::newRow("saved on retrying") << "retried";
    QTest::newRow("put off, another test recorded, saved later") << "put off";
    QTest::newRow("copied aside, restored into its test") << "copied, restored";
    QTest::newRow("copied aside, recorded again, restored beside it") << "copied, recorded again, restored";
    QTest::newRow("copied aside, placed in the data folder") << "copied, placed";
    QTest::newRow("copied aside, the copy deleted") << "copied, dropped";
    QTest::newRow("the test recorded meanwhile by another program") << "recorded elsewhere";
}

// After each road every recording kept, in the subject or a copy, has its own
// video as it was recorded; a deleted one takes its video along.
void TestRecordingRoads::videoGoesWhereItsRecordingGoes()
{
    QFETCH(QString, road);
    camera = true;
    run->inspection.appendTest(questionTest());
    Inspection::_Test &other = run->inspection.tests[1];
    QCOMPARE(run->inspection.saveTestStruct(&other, false), StoreResult::Ok);
    Inspection::_Test &test = run->test();
    QVector<QByteArray> expected;
    const Recorded first = record(test, 10);
    QVERIFY(first.run.videoWritten);
    expected << first.video;
    {
        const bool unlocked = road == QLatin1String("saved") || road == QLatin1String("recorded elsewhere");
        QScopedPointer<LockHolder> lock(unlocked ? nullptr : new LockHolder(run->inspection.path, "BEGIN EXCLUSIVE"));
        MessageBoxAnswerer answers;
        if (road == QLatin1String("recorded elsewhere")) {
            expected << recordElsewhere(test);
            answers.enqueue(QMessageBox::Ok);
        } else if (road == QLatin1String("retried")) {
            answers.enqueue(QMessageBox::Retry);
            answers.whileAsking = [&lock] { lock.reset(); };
        } else if (road == QLatin1String("put off")) {
            answers.enqueue(QMessageBox::Cancel);
        } else if (road.startsWith(QLatin1String("copied"))) {
            answers.enqueue(QMessageBox::Save);
            answers.enqueue(QMessageBox::Ok);
        }
        finish(test, first);
        QCOMPARE(answers.remaining(), 0);
    }
    if (road.contains(QLatin1String("recorded again")) || road == QLatin1String("put off")) {
        Inspection::_Test &next = road == QLatin1String("put off") ? other : test;
        const Recorded again = record(next, 20);
        finish(next, again);
        expected << again.video;
    }
    if (road == QLatin1String("put off"))
        QVERIFY(PendingRecordingPrompt::resolve(nullptr, run->inspection));
    const QVector<RecordingRescue::Copy> copies = RecordingRescue::copies(root);
    QCOMPARE(copies.size(), road.startsWith(QLatin1String("copied")) ? 1 : 0);
    for (RecordingRescue::Copy copy : copies) {
        RecordingRescue::Placement placement;
        QString placed;
        QStringList videosLeft;
        if (road.endsWith(QLatin1String("restored"))) {
            QCOMPARE(RecordingRescue::restore(copy, placement), StoreResult::Ok);
            QCOMPARE(placement.asTestsOfTheirOwn.size(), road.contains(QLatin1String("again")) ? 1 : 0);
        } else if (road.endsWith(QLatin1String("placed"))) {
            QCOMPARE(RecordingRescue::placeInDataFolder(root, copy, placed, videosLeft), StoreResult::Ok);
        } else if (road.endsWith(QLatin1String("dropped"))) {
            QVERIFY(RecordingRescue::drop(copy));
            expected.removeOne(first.video);
        }
        QVERIFY(placement.videosLeft.isEmpty() && videosLeft.isEmpty());
    }
    std::sort(expected.begin(), expected.end());
    QCOMPARE(keptVideos(), expected);
    QDirIterator left(root + QStringLiteral(".recovery"), QDir::Files, QDirIterator::Subdirectories);
    QVERIFY(!left.hasNext());
}

// While the save waits on the busy file the status bar says so; the failure
// question comes once it is gone.
void TestRecordingRoads::statusBarTellsOfTheWait()
{
    QMainWindow window;
    window.statusBar()->showMessage(QString());
    window.show();
    window.activateWindow();
    QStringList shown;
    connect(window.statusBar(), &QStatusBar::messageChanged, this, [&shown](const QString &text) { shown << text; });
    Inspection::_Test &test = run->test();
    const Recorded recorded = record(test, 10);
    LockHolder other(run->inspection.path, QStringLiteral("BEGIN EXCLUSIVE"));
    MessageBoxAnswerer answers({QMessageBox::Cancel});
    QString whenAsked;
    answers.whileAsking = [&] { whenAsked = window.statusBar()->currentMessage(); };
    finish(test, recorded);
    QCOMPARE(shown, QStringList({QStringLiteral("Запись сохраняется в файл обследуемого…"), QString()}));
    QCOMPARE(whenAsked, QString());
}

VUG_TEST_MAIN(TestRecordingRoads, QApplication)
#include "tst_recordingroads.moc"
