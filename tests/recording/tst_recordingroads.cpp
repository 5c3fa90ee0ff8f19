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

// A recording as made, or as a file keeps it: where each mark began (the
// question and its answer), the samples and its video.
struct Recording {
    QVector<QPair<int, int>> marks;
    QVector<qint16> samples;
    QByteArray video;
    // A file may keep samples past the last one seen while recording.
    bool keeps(const Recording &made) const
    {
        return marks == made.marks && video == made.video && samples.mid(0, made.samples.size()) == made.samples;
    }
};

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

// Every recording in the data folder and its recovery copies.
QVector<Recording> keptIn(const QString &root)
{
    QVector<Recording> kept;
    for (const QString &folder : {root, RecordingRescue::folder(root)}) {
        QDirIterator it(folder, {QStringLiteral("*.qmz")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            Inspection subject;
            subject.load(it.next());
            for (Inspection::_Test &test : subject.tests) {
                if (test.recorded && subject.loadRecording(&test) == StoreResult::Ok)
                    kept.append({marksOf(test), test.dataGSR, hashOf(InspectionMedia::testVideoName(subject, test))});
            }
        }
    }
    return kept;
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
    void everyRecordingKeptOnceAsRecorded_data();
    void everyRecordingKeptOnceAsRecorded();

private:
    // Two questions, each answered answerAfter ticks after it, the answer time
    // then run out; the record window's stop ends it.
    Recording record(Inspection::_Test &test, int answerAfter);
    void finish(Inspection::_Test &test) { RecordingEnd(&run->inspection, &test, ended).finish(true); }

    QString root;
    QScopedPointer<QTemporaryDir> dir;
    QScopedPointer<ReaderRun> run;
    // Each recording has a clock of its own, as in the program.
    std::unique_ptr<ManualTickSource> ticks;
    RecordingEnd::Run ended;
};

void TestRecordingRoads::init()
{
    GenericSettings settings;
    settings.load();
    root = settings.sRootFolder;
    QDir(RecordingRescue::folder(root)).removeRecursively();
    QDir(root).removeRecursively();
    QVERIFY(QDir().mkpath(root));
    dir.reset(new QTemporaryDir(root + QStringLiteral("/subject-XXXXXX")));
    run.reset(new ReaderRun);
    run->inspection.path = dir->filePath(QStringLiteral("Иванов.qmz"));
    QCOMPARE(run->inspection.saveTestStruct(&run->test(), false), StoreResult::Ok);
    run->collaborators.makeRecorder = [](int quality) {
        auto sources = std::make_unique<SyntheticCapture>();
        sources->setRealTime(3000);
        return std::unique_ptr<VideoRecorder>(new MMRecorder(quality, std::move(sources)));
    };
    // An answer time of five seconds, nothing recorded after the last one.
    configureReader(QStringLiteral("vugSensorDemo.so"), [](GenericSettings &s) {
        s.iIA = 5;
        s.iTimeAfterForRecod = 0;
        s.bEnableLabelAnswere = true;
        s.bEnableVideoForRecord = true;
    });
}

void TestRecordingRoads::cleanup()
{
    run.reset();
    ticks.reset();
}

Recording TestRecordingRoads::record(Inspection::_Test &test, int answerAfter)
{
    Recording made;
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
            QTest::qWait(5);
        }
    };
    // Where the question, then its answer, was marked.
    const auto press = [&](bool answer) {
        const int at = session.reader()->currentPosition();
        answer ? void(made.marks.last().second = at) : made.marks.append({at, 0});
        session.keyPress(Qt::Key_Space);
        ticks->tick(2);
        session.keyRelease(Qt::Key_Space);
    };
    tick(5);
    for (int question = 0; question < 2; ++question) {
        press(false);
        tick(answerAfter);
        press(true);
        tick(5 * SensorReader::TicksPerSecond + 5);
    }
    made.samples = test.dataGSR.mid(0, session.reader()->currentPosition());
    ended = session.stop().value_or(RecordingEnd::Run());
    made.video = hashOf(ended.video->whereNow());
    return made;
}

Q_DECLARE_METATYPE(QMessageBox::StandardButton)
using Answers = QList<QMessageBox::StandardButton>;

void TestRecordingRoads::everyRecordingKeptOnceAsRecorded_data()
{
    QTest::addColumn<bool>("locked");
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<QString>("next");  // the test recorded next: "again" the same, or the "other"
    QTest::addColumn<QString>("copy");  // what becomes of the recovery copy
    const auto aside = Answers{QMessageBox::Save, QMessageBox::Ok};
    QTest::newRow("saved now") << false << Answers() << "" << "";
    QTest::newRow("saved on retrying") << true << Answers{QMessageBox::Retry} << "" << "";
    QTest::newRow("put off, another test recorded, saved later") << true << Answers{QMessageBox::Cancel} << "other"
                                                                 << "";
    QTest::newRow("copied aside, restored into its test") << true << aside << "" << "restored";
    QTest::newRow("copied aside, recorded again, restored beside it") << true << aside << "again" << "restored";
    QTest::newRow("copied aside, placed in the data folder") << true << aside << "" << "placed";
    QTest::newRow("copied aside, the copy deleted") << true << aside << "" << "dropped";
    QTest::newRow("the test recorded meanwhile by another program") << false << Answers{QMessageBox::Ok} << "" << "";
}

// After each road every recording kept, in the subject or a copy, is there
// once with its own marks, samples and video as recorded; a deleted copy
// takes its video along. While a save waits on the busy file the status bar
// says so; a question comes once it is gone.
void TestRecordingRoads::everyRecordingKeptOnceAsRecorded()
{
    QFETCH(bool, locked);
    QFETCH(Answers, answers);
    QFETCH(QString, next);
    QFETCH(QString, copy);
    QMainWindow window;
    window.statusBar()->showMessage(QString());
    window.show();
    window.activateWindow();
    QStringList shown;
    connect(window.statusBar(), &QStatusBar::messageChanged, this, [&shown](const QString &text) { shown << text; });
    run->inspection.appendTest(questionTest());
    QCOMPARE(run->inspection.saveTestStruct(&run->inspection.tests[1], false), StoreResult::Ok);
    Inspection::_Test &test = run->test();
    QVector<Recording> expected{record(test, 10)};
    QVERIFY(ended.videoWritten);
    const QVector<InspectionLabel> firstMarks = test.labels;
    // Asked though nothing holds the file: another program recorded the test meanwhile.
    if (!locked && !answers.isEmpty()) {
        // Another program records the same test, its video under the test's name, and saves it.
        Inspection elsewhere;
        QCOMPARE(elsewhere.load(run->inspection.path), StoreResult::Ok);
        Inspection::_Test *same = elsewhere.test(elsewhere.indexOfTest(test.id));
        *same = test;
        QCOMPARE(elsewhere.saveRecording(same), StoreResult::Ok);
        QFile video(InspectionMedia::testVideoPath(elsewhere, *same));
        QVERIFY(video.open(QIODevice::WriteOnly) && video.write("another program's video") > 0);
        video.close();
        expected << Recording{expected[0].marks, expected[0].samples, hashOf(video.fileName())};
    }
    {
        QScopedPointer<LockHolder> lock(locked ? new LockHolder(run->inspection.path, "BEGIN EXCLUSIVE") : nullptr);
        MessageBoxAnswerer answerer(answers);
        QStringList whenAsked;
        answerer.whileAsking = [&] {
            whenAsked << window.statusBar()->currentMessage();
            if (answers.contains(QMessageBox::Retry))
                lock.reset();
        };
        finish(test);
        QCOMPARE(answerer.remaining(), 0);
        whenAsked.removeAll(QString());
        QCOMPARE(whenAsked, QStringList());
        if (locked)
            QCOMPARE(shown.mid(0, 2), QStringList({QStringLiteral("Запись сохраняется в файл обследуемого…"), QString()}));
    }
    // Copied aside, the test in memory is as the file holds it.
    QVERIFY(copy.isEmpty() || (!test.recorded && test.labels.isEmpty() && test.dataGSR.isEmpty()));
    if (!next.isEmpty()) {
        Inspection::_Test &again = next == QLatin1String("other") ? run->inspection.tests[1] : test;
        // Whatever the test held, a recording starts from no marks.
        again.labels = firstMarks;
        expected << record(again, 20);
        MessageBoxAnswerer none;
        finish(again);
        QCOMPARE(none.asked(), QStringList());
    }
    QVERIFY(PendingRecordingPrompt::resolve(nullptr, run->inspection));
    const QVector<RecordingRescue::Copy> copies = RecordingRescue::copies(root);
    QCOMPARE(copies.size(), copy.isEmpty() ? 0 : 1);
    for (const RecordingRescue::Copy &each : copies) {
        RecordingRescue::Placement placement;
        QString placed;
        QStringList videosLeft;
        if (copy == QLatin1String("restored")) {
            QCOMPARE(RecordingRescue::restore(each, placement), StoreResult::Ok);
            QCOMPARE(placement.asTestsOfTheirOwn.size(), next.isEmpty() ? 0 : 1);
        } else if (copy == QLatin1String("placed")) {
            QCOMPARE(RecordingRescue::placeInDataFolder(root, each, placed, videosLeft, placement.copyLeft),
                     StoreResult::Ok);
        } else {
            QVERIFY(RecordingRescue::drop(each));
            expected.removeFirst();
        }
        QVERIFY(placement.videosLeft.isEmpty() && videosLeft.isEmpty());
    }
    const QVector<Recording> kept = keptIn(root);
    QCOMPARE(kept.size(), expected.size());
    for (const Recording &made : expected)
        QCOMPARE(std::count_if(kept.begin(), kept.end(), [&made](const Recording &each) { return each.keeps(made); }), 1L);
    QDirIterator left(RecordingRescue::folder(root), QDir::Files, QDirIterator::Subdirectories);
    QVERIFY(!left.hasNext());
}

VUG_TEST_MAIN(TestRecordingRoads, QApplication)
#include "tst_recordingroads.moc"
