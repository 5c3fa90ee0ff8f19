#include "StoreFixtures.h"
#include "data/InspectionMedia.h"
#include "data/RecordingRescue.h"
#include "tests/support/LockHolder.h"
#include "tests/support/PeakMemory.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QTemporaryDir>

#include <cerrno>
#include <functional>
#include <dlfcn.h>
#include <sys/stat.h>

using namespace StoreFixtures;

Q_DECLARE_METATYPE(StoreResult::Code)

namespace {

// The file that cannot be removed, as from a folder of no write permission.
QByteArray g_unremovable;

// Every entry below a folder with what it holds, links not followed.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        QFile file(entry.filePath());
        const bool plain = !entry.isSymLink() && entry.isFile() && file.open(QIODevice::ReadOnly);
        entries[entry.filePath()] = plain ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1)
                                          : entry.symLinkTarget().toUtf8();
    }
    return entries;
}

// The tests of a subject file that hold a recording, by id, with their samples.
QMap<QUuid, QVector<qint16>> recordings(const QString &subject)
{
    QMap<QUuid, QVector<qint16>> found;
    Inspection examination;
    examination.load(subject);
    for (Inspection::_Test &test : examination.tests) {
        if (test.recorded && examination.loadRecording(&test) == StoreResult::Ok)
            found[test.id] = test.dataGSR;
    }
    return found;
}

}  // namespace

extern "C" int unlink(const char *path)
{
    static const auto system = reinterpret_cast<int (*)(const char *)>(dlsym(RTLD_NEXT, "unlink"));
    if (g_unremovable.isEmpty() || g_unremovable != path)
        return system(path);
    errno = EACCES;
    return -1;
}

// Runs before each rename, with its target.
std::function<void(const QString &to)> g_beforeRename;

extern "C" int rename(const char *from, const char *to)
{
    static const auto system = reinterpret_cast<int (*)(const char *, const char *)>(dlsym(RTLD_NEXT, "rename"));
    if (g_beforeRename)
        g_beforeRename(QFile::decodeName(to));
    return system(from, to);
}

class TestRecordingRescue : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void restoreNeverReplacesARecording_data();
    void restoreNeverReplacesARecording();
    void onlyItsOwnSubjectInTheDataFolder_data();
    void onlyItsOwnSubjectInTheDataFolder();
    void eachRecordingPlacedOnce_data();
    void eachRecordingPlacedOnce();
    void placementCutShortFinishedOnce_data();
    void placementCutShortFinishedOnce();
    void copyListedOnlyOnceWhole();

private:
    // A copy of the waiting test recorded over 300 ticks, made as a failed
    // save makes it, and of the others with their recordings.
    RecordingRescue::Copy rescued(const QVector<Inspection::_Test> &others = {});

    QScopedPointer<QTemporaryDir> dir;
    QString root;
    QString subject;
    Inspection::_Test waiting;
};

// A data folder with a subject whose one test was not recorded yet.
void TestRecordingRescue::init()
{
    dir.reset(new QTemporaryDir);
    root = dir->filePath(QStringLiteral("data"));
    QVERIFY(QDir().mkpath(root + QStringLiteral("/Группа")));
    subject = root + QStringLiteral("/Группа/Петров.qmz");
    waiting = recordedTest(QStringLiteral("Тест"), 0);
    QCOMPARE(Inspection(subject).saveTestStruct(&waiting, false), StoreResult::Ok);
}

RecordingRescue::Copy TestRecordingRescue::rescued(const QVector<Inspection::_Test> &others)
{
    Inspection::_Test test = recordedTest(waiting.name, 300, 7);
    test.id = waiting.id;
    QString file, videoLeft;
    [&] { QCOMPARE(RecordingRescue::save(root, subject, test, file, videoLeft), StoreResult::Ok); }();
    Inspection copy(file);
    copy.tests = others;
    saveTests(copy);
    const QVector<RecordingRescue::Copy> copies = RecordingRescue::copies(root);
    return copies.isEmpty() ? RecordingRescue::Copy() : copies[0];
}

void TestRecordingRescue::restoreNeverReplacesARecording_data()
{
    QTest::addColumn<QString>("name");  // the subject's, when not the usual one
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<int>("more");  // tests the subject gained beside
    QTest::addColumn<StoreResult::Code>("result");
    QTest::newRow("the test still waits") << "" << "" << 0 << StoreResult::Ok;
    QTest::newRow("the test recorded again") << "" << "recorded" << 0 << StoreResult::Ok;
    QTest::newRow("the test removed") << "" << "removed" << 0 << StoreResult::Ok;
    QTest::newRow("its questions changed") << "" << "questions" << 0 << StoreResult::Ok;
    // A legal name of 230 bytes: the copy is made, named with its time, and goes back.
    QTest::newRow("a long subject name") << QString(115, QChar(0x0436)) + ".qmz" << "" << 0 << StoreResult::Ok;
    // Recorded again, so the rescued test is one more.
    QTest::newRow("one below the bound") << "" << "recorded" << InspectionStore::kMaxTests - 2 << StoreResult::Ok;
    QTest::newRow("at the bound") << "" << "recorded" << InspectionStore::kMaxTests - 1 << StoreResult::TooLarge;
}

// What the subject holds stays; the rescued recording is added beside it
// unless its own test still waits for it.
void TestRecordingRescue::restoreNeverReplacesARecording()
{
    QFETCH(QString, name);
    QFETCH(QString, meanwhile);
    QFETCH(int, more);
    QFETCH(StoreResult::Code, result);
    if (!name.isEmpty()) {
        subject = root + QLatin1Char('/') + name;
        QCOMPARE(Inspection(subject).saveTestStruct(&waiting, false), StoreResult::Ok);
    }
    const RecordingRescue::Copy copy = rescued();
    QCOMPARE(copy.subject, subject);
    QVERIFY(name.isEmpty() || QFileInfo(copy.file).fileName().contains(QDate::currentDate().toString("yyyyMMdd-")));
    QVERIFY(RecordingRescue::testsOf(copy).value(0).startsWith(QStringLiteral("Тест (05.03.2024 14:07)")));
    Inspection examination;
    QCOMPARE(examination.load(subject), StoreResult::Ok);
    Inspection::_Test &test = examination.tests[0];
    if (meanwhile == "recorded") {
        test.dataGSR = recordedTest(test.name, 749, 3).dataGSR;
        QCOMPARE(examination.saveRecording(&test), StoreResult::Ok);
    } else if (meanwhile == "removed") {
        QCOMPARE(examination.deleteTest(test.id), StoreResult::Ok);
    } else if (meanwhile == "questions") {
        test.addTheme(QStringLiteral("Новый вопрос?"), QuestionKind::Test, 1, -1);
        QCOMPARE(examination.saveTestStruct(&test, false), StoreResult::Ok);
    }
    QVector<Inspection::_Test> others(more);
    QVERIFY(more == 0 || examination.saveNewTestStructs(others) == StoreResult::Ok);
    const QMap<QUuid, QVector<qint16>> before = recordings(subject);
    const QByteArray bytes = fileBytes(subject);

    RecordingRescue::Placement placement;
    QCOMPARE(RecordingRescue::restore(copy, placement), result);
    const bool restored = result == StoreResult::Ok;
    const bool ownTest = restored && meanwhile.isEmpty();
    if (restored) {
        QCOMPARE(placement.intoTheirTests.size(), int(ownTest));
        QCOMPARE(placement.asTestsOfTheirOwn.size(), int(!ownTest));
    }
    QCOMPARE(RecordingRescue::copies(root).size(), int(!restored));
    QCOMPARE(fileBytes(subject) == bytes, !restored);
    const QMap<QUuid, QVector<qint16>> after = recordings(subject);
    QCOMPARE(after.size(), before.size() + restored);
    for (auto it = before.begin(); it != before.end(); ++it)
        QCOMPARE(after.value(it.key()), it.value());
    QCOMPARE(after.contains(waiting.id), ownTest || meanwhile == "recorded");
    QCOMPARE(after.values().count(recordedTest(QString(), 300, 7).dataGSR), int(restored));
}

void TestRecordingRescue::onlyItsOwnSubjectInTheDataFolder_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("placed");  // the subject file it becomes, when told
    QTest::newRow("its subject") << "@subject" << true << "";
    QTest::newRow("its subject with a line break") << "@subject\n" << true << "";
    QTest::newRow("missing, outside") << "@outside/evil.qmz" << false << "";
    QTest::newRow("subject of another data folder") << "@outside/Другой.qmz" << false << "";
    QTest::newRow("escaping the data folder") << "@root/../escaped.qmz" << false << "";
    QTest::newRow("relative") << "relative.qmz" << false << "";
    QTest::newRow("the copy itself") << "@copy" << false << "";
    QTest::newRow("a link in the data folder") << "@root/link.qmz" << false << "";
    QTest::newRow("a link to its subject") << "@root/Группа/Петров-ссылка.qmz" << false << "";
    QTest::newRow("the subject deleted since") << "@root/Удалённый.qmz" << false << "";
    QTest::newRow("a FIFO note") << "@fifo" << false << "";
    QTest::newRow("a note linked to an endless device") << "@zero" << false << "";
    QTest::newRow("a copy linked to another subject") << "@linked copy" << false << "";
    // Placed under a name the tree shows as a subject.
    QTest::newRow("hidden, after a blank") << "@root/ . Петров.qmz" << false << "Петров 2024-03-05 14-07.qmz";
    QTest::newRow("dots only") << "@root/...qmz" << false << "Петров 2024-03-05 14-07.qmz";
    QTest::newRow("a control character") << "@root/Пет\tров.qmz" << false << "Пет_ров 2024-03-05 14-07.qmz";
    QTest::newRow("a backslash") << "@root/Пет\\ров.qmz" << false << "Пет_ров 2024-03-05 14-07.qmz";
}

// Refused notes change nothing and are read in bounded memory, never waited
// on: no file is made, no subject touched, the copy kept until the examiner
// places it in the data folder.
void TestRecordingRescue::onlyItsOwnSubjectInTheDataFolder()
{
    QFETCH(QString, note);
    QFETCH(bool, taken);
    QFETCH(QString, placed);
    const QString outside = dir->filePath(QStringLiteral("outside"));
    const QString other = outside + QStringLiteral("/Другой.qmz");
    Inspection otherSubject(other);
    otherSubject.tests = {recordedTest(QStringLiteral("Чужой"), 50, 2)};
    QVERIFY(QDir().mkpath(outside) && QFile::link(other, root + QStringLiteral("/link.qmz")));
    QVERIFY(QFile::link(subject, root + QStringLiteral("/Группа/Петров-ссылка.qmz")));
    saveTests(otherSubject);

    const RecordingRescue::Copy copy = rescued();
    const QString noteFile = copy.file + QStringLiteral(".subject");
    QVERIFY(QFile::remove(noteFile));
    if (note == QLatin1String("@fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(noteFile).constData(), 0600), 0);
    else if (note == QLatin1String("@zero"))
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), noteFile));
    else if (note == QLatin1String("@linked copy"))
        QVERIFY(QFile::remove(copy.file) && QFile::link(other, copy.file));
    note.replace(QStringLiteral("@subject"), subject)
        .replace(QStringLiteral("@outside"), outside)
        .replace(QStringLiteral("@root"), root)
        .replace(QStringLiteral("@copy"), copy.file);
    if (!note.startsWith(QLatin1Char('@')))
        writeFile(noteFile, note.toUtf8());
    const QMap<QString, QByteArray> outsideBefore = snapshot(outside);
    const QMap<QString, QByteArray> rootBefore = snapshot(root);

    PeakMemory memory;
    const QVector<RecordingRescue::Copy> found = RecordingRescue::copies(root);
    QVERIFY(memory.growthBytes() < (50 << 20));
    QCOMPARE(found.size(), note == QLatin1String("@linked copy") ? 0 : 1);
    for (const RecordingRescue::Copy &each : found) {
        QCOMPARE(each.damaged, note.startsWith(QLatin1Char('@')));
        QCOMPARE(each.subject, taken ? subject : QString());
        RecordingRescue::Placement placement;
        QCOMPARE(RecordingRescue::restore(each, placement) == StoreResult::Ok, taken);
        QCOMPARE(recordings(subject).size(), taken ? 1 : 0);
        QCOMPARE(snapshot(root).keys(), rootBefore.keys());
        QCOMPARE(snapshot(root) == rootBefore, !taken);
        QCOMPARE(RecordingRescue::copies(root).size(), taken ? 0 : 1);
        if (!taken) {
            QString file;
            QStringList videosLeft;
            bool copyLeft = false;
            QCOMPARE(RecordingRescue::placeInDataFolder(root, each, file, videosLeft, copyLeft), StoreResult::Ok);
            QVERIFY(file.startsWith(root + QLatin1Char('/')) && file.endsWith(" 2024-03-05 14-07.qmz"));
            QVERIFY(placed.isEmpty() || file == root + QLatin1Char('/') + placed);
            QCOMPARE(recordings(file).size(), 1);
        }
    }
    QCOMPARE(snapshot(outside), outsideBefore);
}

void TestRecordingRescue::eachRecordingPlacedOnce_data()
{
    QTest::addColumn<bool>("meanwhile");  // the waiting test recorded in the subject meanwhile
    QTest::addColumn<bool>("oneId");      // the copy's two recordings under one id
    QTest::addColumn<QString>("firstTry");
    QTest::addColumn<int>("alreadyThere");  // when tried again
    // A refusal leaves nothing in the subject file: tried again, nothing is there already.
    QTest::newRow("refused after the first, tried again") << false << false << "refused" << 0;
    QTest::newRow("refused after the first, both as tests of their own") << true << false << "refused" << 0;
    QTest::newRow("two recordings under one id") << false << true << "" << 0;
    QTest::newRow("the copy not removed, tried again") << false << false << "copy left" << 2;
}

// A copy of two recordings, the first of the waiting test; whatever the road,
// the subject ends with each of them exactly once and the copy gone.
void TestRecordingRescue::eachRecordingPlacedOnce()
{
    QFETCH(bool, meanwhile);
    QFETCH(bool, oneId);
    QFETCH(QString, firstTry);
    QFETCH(int, alreadyThere);
    Inspection::_Test again = recordedTest(waiting.name, 100, 3);
    again.id = waiting.id;
    QVERIFY(!meanwhile || Inspection(subject).saveRecording(&again) == StoreResult::Ok);
    const Inspection::_Test second = recordedTest(QStringLiteral("Второй"), 200, 9);
    const RecordingRescue::Copy copy = rescued({second});
    if (oneId)
        runStatement(copy.file, QStringLiteral("UPDATE inspection SET test_id='%1' WHERE test_id='%2'")
                                    .arg(waiting.rowId(), second.rowId()));
    const QString note = copy.file + QStringLiteral(".subject");
    const QByteArray copyBytes = fileBytes(copy.file);
    const QByteArray noteBytes = fileBytes(note);
    RecordingRescue::Placement placement;
    if (firstTry == QLatin1String("refused")) {
        const QByteArray before = fileBytes(subject);
        failWritesAfter(subject, InspectionDataType::Recording, meanwhile + 1);
        QVERIFY(RecordingRescue::restore(copy, placement) != StoreResult::Ok);
        openingStatements().remove(fileKey(subject));
        QCOMPARE(fileBytes(subject), before);
    } else if (firstTry == QLatin1String("copy left")) {
        // The note cannot be removed: the copy stays beside a subject holding its tests.
        QVERIFY(QFile::remove(note) && QDir().mkpath(note + QStringLiteral("/inside")));
        QCOMPARE(RecordingRescue::restore(copy, placement), StoreResult::Ok);
        QVERIFY(placement.copyLeft && QDir(note).removeRecursively());
        writeFile(copy.file, copyBytes);
        writeFile(note, noteBytes);
    }
    QCOMPARE(RecordingRescue::restore(copy, placement), StoreResult::Ok);
    QVERIFY(!placement.copyLeft && RecordingRescue::copies(root).isEmpty());
    QCOMPARE(placement.alreadyThere.size(), alreadyThere);
    const QList<QVector<qint16>> stored = recordings(subject).values();
    QCOMPARE(stored.size(), meanwhile + 2);
    QCOMPARE(stored.count(recordedTest(waiting.name, 300, 7).dataGSR), 1);
    QCOMPARE(stored.count(second.dataGSR), 1);
}

void TestRecordingRescue::placementCutShortFinishedOnce_data()
{
    QTest::addColumn<QString>("cut");
    QTest::addColumn<StoreResult::Code>("again");  // the same copy placed again
    QTest::newRow("after the subject file was written") << "commit" << StoreResult::Ok;
    QTest::newRow("after the videos followed") << "videos" << StoreResult::Ok;
    QTest::newRow("after the copy was removed") << "removal" << StoreResult::Refused;
    QTest::newRow("the copy's removal failing") << "unremovable" << StoreResult::Ok;
    // Known by the note written at the placement, not by the placed file's name.
    QTest::newRow("the copy's removal failing, the placed file renamed") << "unremovable, renamed" << StoreResult::Ok;
    QTest::newRow("after the subject file was written, it locked") << "commit, locked" << StoreResult::Ok;
}

// A copy of two recordings with their videos placed in the data folder, cut
// short on its way: placed again, it ends as one subject holding each
// recording once, its videos beside it, and no copy.
void TestRecordingRescue::placementCutShortFinishedOnce()
{
    QFETCH(QString, cut);
    QFETCH(StoreResult::Code, again);
    const RecordingRescue::Copy copy = rescued({recordedTest(QStringLiteral("Второй"), 200, 9)});
    Inspection held;
    QCOMPARE(held.load(copy.file), StoreResult::Ok);
    for (Inspection::_Test &test : held.tests) {
        QCOMPARE(held.loadRecording(&test), StoreResult::Ok);
        writeFile(InspectionMedia::testVideoPath(held, test), test.name.toUtf8());
    }
    const QByteArray copyBytes = fileBytes(copy.file);
    const QByteArray noteBytes = fileBytes(copy.file + QStringLiteral(".subject"));
    QString file;
    QStringList videosLeft;
    bool copyLeft = false;
    g_unremovable = cut.startsWith(QLatin1String("unremovable")) ? QFile::encodeName(copy.file) : QByteArray();
    QCOMPARE(RecordingRescue::placeInDataFolder(root, copy, file, videosLeft, copyLeft), StoreResult::Ok);
    g_unremovable.clear();
    QCOMPARE(copyLeft, cut.startsWith(QLatin1String("unremovable")));
    const Inspection placed(file);
    const QString renamed = root + QStringLiteral("/Петров (переименован).qmz");
    QVERIFY(!cut.endsWith(QLatin1String("renamed")) || QFile::rename(file, renamed));
    if (cut.startsWith(QLatin1String("commit"))) {
        for (const Inspection::_Test &test : qAsConst(held.tests))
            QVERIFY(QFile::rename(InspectionMedia::testVideoName(placed, test),
                                  InspectionMedia::testVideoName(held, test)));
    }
    if (cut.startsWith(QLatin1String("commit")) || cut == QLatin1String("videos")) {
        writeFile(copy.file, copyBytes);
        writeFile(copy.file + QStringLiteral(".subject"), noteBytes);
    }
    QString second;
    if (cut.endsWith(QLatin1String("locked"))) {
        // What the file holds cannot be told now: refused as busy, never placed twice.
        LockHolder holder(file, QStringLiteral("BEGIN EXCLUSIVE"));
        QCOMPARE(RecordingRescue::placeInDataFolder(root, copy, second, videosLeft, copyLeft), StoreResult::Busy);
    }

    QCOMPARE(RecordingRescue::placeInDataFolder(root, copy, second, videosLeft, copyLeft), again);
    QVERIFY(videosLeft.isEmpty() && !copyLeft && RecordingRescue::copies(root).isEmpty());
    QCOMPARE(second, again == StoreResult::Ok ? file : QString());
    QVERIFY(!cut.endsWith(QLatin1String("renamed")) || QFile::rename(renamed, file));
    QCOMPARE(QDir(root).entryList({QStringLiteral("*.qmz")}, QDir::Files), QStringList{QFileInfo(file).fileName()});
    QMap<QUuid, QVector<qint16>> stored = recordings(file);
    QCOMPARE(stored.size(), 2);
    for (const Inspection::_Test &test : qAsConst(held.tests)) {
        QCOMPARE(stored.value(test.id), test.dataGSR);
        QCOMPARE(fileBytes(InspectionMedia::testVideoName(placed, test)), test.name.toUtf8());
    }
}

// The copy takes its name last, its video beside it already: a program
// starting meanwhile finds no copy to offer.
void TestRecordingRescue::copyListedOnlyOnceWhole()
{
    Inspection::_Test test = recordedTest(waiting.name, 300, 7);
    test.id = waiting.id;
    writeFile(InspectionMedia::testVideoPath(Inspection(subject), test), "video");
    QStringList named;  // as the copy is named: the copies listed, its video
    g_beforeRename = [&](const QString &to) {
        if (to.endsWith(QLatin1String(".qmz")))
            named << QString::number(RecordingRescue::copies(root).size())
                         + fileBytes(InspectionMedia::testVideoPath(Inspection(to), test));
    };
    QString file, videoLeft;
    const StoreResult result = RecordingRescue::save(root, subject, test, file, videoLeft);
    g_beforeRename = nullptr;
    QCOMPARE(result, StoreResult::Ok);
    QCOMPARE(named, QStringList{QStringLiteral("0video")});
    QVERIFY(videoLeft.isEmpty());
    QCOMPARE(RecordingRescue::copies(root).size(), 1);
}

QTEST_GUILESS_MAIN(TestRecordingRescue)
#include "tst_recordingrescue.moc"
