#include "data/GenericSettings.h"
#include "data/Inspection.h"
#include "data/InspectionMedia.h"
#include "data/RecordingRescue.h"
#include "data/TemporaryVideo.h"
#include "editor/PendingRecordingPrompt.h"
#include "recording/RecordingEnd.h"
#include "tests/support/LockHolder.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/StoredKinds.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QtTest>

namespace {

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestRecordingEnd : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void keepsWholeGroups_data();
    void keepsWholeGroups();
    void noCompleteGroupDiscards();
    void stopQuestionTellsWhatWouldBeLost_data();
    void stopQuestionTellsWhatWouldBeLost();
    void stopWithoutSavingDiscards();
    void videoOfThisRunReplacesTheTarget();
    void videoFoundWhereverItLies_data();
    void videoFoundWhereverItLies();
    void failedRenameIsReported();
    void videoFailureIsToldAndTheSamplesKept();
    void playbackLeavesTheFileAsItWas();
    void unsavedRecordingStaysUntilItReachesAFile_data();
    void unsavedRecordingStaysUntilItReachesAFile();

private:
    Inspection::_Test &test() { return inspection->tests[0]; }
    void finish(bool save, bool done, bool video = false, bool newRecording = true)
    {
        RecordingEnd(inspection.get(), &test(), {newRecording, done, video, QString(), QString(), recorded})
            .finish(save);
    }
    // The file this run's recorder wrote.
    QString record(const QByteArray &bytes)
    {
        recorded = std::make_shared<TemporaryVideo>(InspectionMedia::mediaFolder(*inspection),
                                                    TemporaryVideo::Kind::Test);
        writeFile(recorded->path(), bytes);
        return recorded->path();
    }
    std::shared_ptr<TemporaryVideo> recorded;

    QScopedPointer<QTemporaryDir> dir;
    QScopedPointer<Inspection> inspection;
};

// A subject file with one test of four questions; in memory three groups are
// marked over 400 recorded positions.
void TestRecordingEnd::init()
{
    recorded.reset();
    // The subject lies in the data folder, where a recovery copy finds it.
    GenericSettings settings;
    settings.load();
    QVERIFY(QDir().mkpath(settings.sRootFolder));
    dir.reset(new QTemporaryDir(settings.sRootFolder + QStringLiteral("/subject-XXXXXX")));
    inspection.reset(new Inspection(dir->filePath(QStringLiteral("Иванов.qmz"))));
    Inspection::_Test fresh(QStringLiteral("Тест"));
    for (int i = 0; i < 4; ++i)
        fresh.addTheme(QStringLiteral("Вопрос %1?").arg(i), 2, 1, -1);
    inspection->appendTest(fresh);
    QCOMPARE(inspection->saveTestStruct(&test(), false), StoreResult::Ok);
    test().dataGSR.fill(9, 400);
    test().TimeMM.fill(0, 400);
    for (int group = 1; group <= 3; ++group) {
        for (int theme = 0; theme < 4; ++theme) {
            InspectionLabel mark;
            mark.Group = qint16(group);
            mark.Theme = qint16(theme);
            mark.TickQStart = 100 * group + 20 * theme;
            mark.TickQEnd = mark.TickQStart + 10;
            test().labels.append(mark);
        }
    }
}

void TestRecordingEnd::keepsWholeGroups_data()
{
    QTest::addColumn<bool>("done");
    QTest::addColumn<int>("kept");
    QTest::newRow("last group's answer time out") << true << 12;
    QTest::newRow("last group still running") << false << 8;
}

void TestRecordingEnd::keepsWholeGroups()
{
    QFETCH(bool, done);
    QFETCH(int, kept);
    MessageBoxAnswerer answers;
    finish(true, done);
    QCOMPARE(answers.asked().size(), 0);
    QCOMPARE(test().labels.size(), kept);
    QVERIFY(test().recorded);
    QVERIFY(test().DateTimeRecorded.isValid());
    QCOMPARE(storedKinds(inspection->path, test().rowId()), QStringLiteral("1,2"));

    Inspection reread;
    QCOMPARE(reread.load(inspection->path), StoreResult::Ok);
    QVERIFY(reread.tests[0].recorded);
    QCOMPARE(reread.loadRecording(&reread.tests[0]), StoreResult::Ok);
    QCOMPARE(reread.tests[0].labels.size(), kept);
    QCOMPARE(reread.tests[0].dataGSR, QVector<qint16>(400, 9));
    QCOMPARE(reread.tests[0].DateTimeRecorded.toSecsSinceEpoch(), test().DateTimeRecorded.toSecsSinceEpoch());
}

void TestRecordingEnd::noCompleteGroupDiscards()
{
    test().labels.resize(3);  // the first group lacks its last question
    {
        MessageBoxAnswerer answers({QMessageBox::Ok});
        finish(true, true);
        QCOMPARE(answers.asked().size(), 1);
        QVERIFY(answers.asked()[0].contains(QStringLiteral("ни одна группа")));
    }
    QVERIFY(test().labels.isEmpty());
    QVERIFY(test().dataGSR.isEmpty());
    QVERIFY(!test().recorded);
    QCOMPARE(storedKinds(inspection->path, test().rowId()), QStringLiteral("1"));

    // One group marked whose answer time has not run out is no complete group either.
    init();
    test().labels.resize(4);
    MessageBoxAnswerer again({QMessageBox::Ok});
    finish(true, false);
    QCOMPARE(again.asked().size(), 1);
    QVERIFY(test().dataGSR.isEmpty());
}

void TestRecordingEnd::stopQuestionTellsWhatWouldBeLost_data()
{
    QTest::addColumn<int>("marks");
    QTest::addColumn<int>("ticksLeft");  // of the reaction time after the last mark
    QTest::addColumn<QString>("warning");
    const QString open = QStringLiteral("Последняя группа предъявлений ещё не завершена");
    const QString lost = QStringLiteral(" Вся запись будет потеряна.");
    QTest::newRow("complete") << 12 << 0 << QString();
    QTest::newRow("last group open") << 12 << 160 << open + " (осталось 8 с): она не будет сохранена.";
    QTest::newRow("only group open") << 4 << 150 << open + " (осталось 8 с): она не будет сохранена." + lost;
    QTest::newRow("after Backspace") << 3 << 0 << open + ": она не будет сохранена." + lost;
}

void TestRecordingEnd::stopQuestionTellsWhatWouldBeLost()
{
    QFETCH(int, marks);
    QFETCH(int, ticksLeft);
    QFETCH(QString, warning);
    test().ia.nIALength = 10;
    test().labels.resize(marks);
    const int position = test().labels.last().TickQEnd + test().ia.lengthTicks() - ticksLeft;
    QCOMPARE(RecordingEnd::lossWarning(test(), position), warning);
}

void TestRecordingEnd::stopWithoutSavingDiscards()
{
    MessageBoxAnswerer answers;
    const QString video = record("discarded");
    finish(false, true, true);
    QVERIFY(!QFileInfo::exists(video));
    QCOMPARE(answers.asked().size(), 0);
    QVERIFY(test().labels.isEmpty());
    QVERIFY(test().dataGSR.isEmpty());
    QCOMPARE(storedKinds(inspection->path, test().rowId()), QStringLiteral("1"));
}

void TestRecordingEnd::videoOfThisRunReplacesTheTarget()
{
    const QString temporary = record("new");
    const QString target = InspectionMedia::testVideoPath(*inspection, test());
    writeFile(target, "old");
    finish(true, true, true);
    QCOMPARE(readFile(target), QByteArray("new"));
    QVERIFY(!QFile::exists(temporary));
}

void TestRecordingEnd::videoFoundWhereverItLies_data()
{
    QTest::addColumn<QString>("change");  // what another program did meanwhile
    QTest::addColumn<QString>("kept");    // where the video ends: "test", "copy" or "" (none)
    QTest::addColumn<QString>("told");    // the first thing the examiner is told
    const QString gone = QStringLiteral("Папка обследуемого не найдена");
    QTest::newRow("another recording's video beside it") << "another recording" << "test" << "";
    QTest::newRow("media folder renamed") << "media folder renamed" << "test" << "";
    QTest::newRow("media folder deleted") << "media folder deleted" << "test" << "";
    QTest::newRow("media folder replaced") << "media folder replaced" << "test" << "";
    QTest::newRow("subject's folder renamed") << "subject's folder renamed" << "copy" << gone;
    QTest::newRow("subject's folder deleted") << "subject's folder deleted" << "copy" << gone;
    QTest::newRow("subject's folder back on retrying") << "subject's folder renamed, back" << "test" << gone;
    QTest::newRow("no video written") << "emptied" << "" << "Видеозапись теста не найдена";
}

// The recorder holds its file: the end finds it where it now lies and puts it
// beside the recording, the test's or the recovery copy's, making no folder
// where the subject's was; one it cannot find is told, with where it looked.
void TestRecordingEnd::videoFoundWhereverItLies()
{
    QFETCH(QString, change);
    QFETCH(QString, kept);
    QFETCH(QString, told);
    const QString temporary = record("recorded");
    const QString media = InspectionMedia::mediaFolder(*inspection), folder = dir->path();
    std::unique_ptr<TemporaryVideo> other;
    if (change == QLatin1String("another recording")) {
        other = std::make_unique<TemporaryVideo>(media, TemporaryVideo::Kind::Test);
        writeFile(other->path(), "another");
    } else if (change.startsWith(QLatin1String("media folder"))) {
        QVERIFY(change.endsWith(QLatin1String("deleted")) ? QDir(media).removeRecursively()
                                                           : QDir().rename(media, folder + QStringLiteral("/old")));
        QVERIFY(!change.endsWith(QLatin1String("replaced")) || QDir().mkdir(media));
    } else if (change.startsWith(QLatin1String("subject's folder renamed"))) {
        QVERIFY(QDir().rename(folder, folder + QStringLiteral("-2")));
    } else if (change == QLatin1String("subject's folder deleted")) {
        QVERIFY(QDir(folder).removeRecursively());
    } else {
        writeFile(temporary, QByteArray());
    }
    const bool copied = kept == QLatin1String("copy"), back = change.endsWith(QLatin1String("back"));
    MessageBoxAnswerer answers({QMessageBox::Ok, copied ? QMessageBox::Save : QMessageBox::Retry});
    answers.whileAsking = [&] {
        if (back && answers.asked().size() == 2)
            QDir().rename(folder + QStringLiteral("-2"), folder);
    };
    finish(true, true, true);
    QCOMPARE(answers.asked().value(0).section('\n', 0, 0).section(':', 0, 0), told.section(':', 0, 0));
    const bool held = told.startsWith(QStringLiteral("Папка"));
    QVERIFY(told.isEmpty() || answers.asked()[0].contains(held ? QStringLiteral(".recovery") : temporary));
    QCOMPARE(QFileInfo::exists(folder), back || !change.startsWith(QLatin1String("subject's folder")));
    GenericSettings settings;
    settings.load();
    const QVector<RecordingRescue::Copy> copies = RecordingRescue::copies(settings.sRootFolder);
    QCOMPARE(copies.size(), copied ? 1 : 0);
    const QString video = copied ? InspectionMedia::testVideoName(Inspection(copies[0].file), test())
                                 : InspectionMedia::testVideoName(*inspection, test());
    QCOMPARE(readFile(video), kept.isEmpty() ? QByteArray() : QByteArray("recorded"));
    QVERIFY(!QFileInfo::exists(RecordingRescue::videoHeldFor(settings.sRootFolder, inspection->path, test())));
    QVERIFY(!other || readFile(other->path()) == "another");
    // Nothing of this run's is left where the video lay.
    QStringList left;
    for (QDirIterator it(QFileInfo(folder).path(), {QStringLiteral(".vug-recording-*")}, QDir::Files | QDir::Hidden,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        left << it.next();
    QCOMPARE(left, other ? QStringList{other->path()} : QStringList());
    if (copied)
        QVERIFY(RecordingRescue::drop(copies[0]));
    QDir(folder + QStringLiteral("-2")).removeRecursively();
}

void TestRecordingEnd::failedRenameIsReported()
{
    const QString temporary = record("new");
    const QString target = InspectionMedia::testVideoPath(*inspection, test());
    QVERIFY(QDir().mkpath(target));
    writeFile(target + QStringLiteral("/inside"), "x");
    MessageBoxAnswerer answers({QMessageBox::Ok});
    finish(true, true, true);
    QCOMPARE(answers.asked().size(), 1);
    QVERIFY(answers.asked()[0].contains(temporary));
    QVERIFY(answers.asked()[0].contains(target));
    QCOMPARE(readFile(temporary), QByteArray("new"));
    QCOMPARE(storedKinds(inspection->path, test().rowId()), QStringLiteral("1,2"));
}

void TestRecordingEnd::videoFailureIsToldAndTheSamplesKept()
{
    MessageBoxAnswerer answers({QMessageBox::Ok});
    RecordingEnd::Run run{true, true, false, QStringLiteral("Ошибка записи видеофайла"), QString(), nullptr};
    RecordingEnd(inspection.get(), &test(), run).finish(true);
    QCOMPARE(answers.asked().size(), 1);
    QVERIFY(answers.asked()[0].contains(QStringLiteral("Ошибка записи видеофайла")));
    QCOMPARE(storedKinds(inspection->path, test().rowId()), QStringLiteral("1,2"));
    QVERIFY(!QFile::exists(InspectionMedia::testVideoPath(*inspection, test())));
}

void TestRecordingEnd::playbackLeavesTheFileAsItWas()
{
    finish(true, true);
    const QByteArray saved = readFile(inspection->path);
    const QDateTime stamped = test().DateTimeRecorded;
    const QString target = InspectionMedia::testVideoPath(*inspection, test());
    writeFile(target, "recorded");
    record("another run's");
    test().labels.resize(6);

    MessageBoxAnswerer answers;
    finish(true, true, true, false);
    finish(false, true, false, false);
    QCOMPARE(answers.asked().size(), 0);
    QCOMPARE(readFile(inspection->path), saved);
    QCOMPARE(test().DateTimeRecorded, stamped);
    QCOMPARE(test().labels.size(), 6);
    QCOMPARE(test().dataGSR.size(), 400);
    QCOMPARE(readFile(target), QByteArray("recorded"));
}

void TestRecordingEnd::unsavedRecordingStaysUntilItReachesAFile_data()
{
    QTest::addColumn<bool>("locked");
    QTest::addColumn<bool>("rescued");
    QTest::newRow("locked, saved again") << true << false;
    QTest::newRow("removed, saved again") << false << false;
    QTest::newRow("locked, recovery copy restored") << true << true;
}

// The save fails and is put off; leaving the subject writes no marks without
// samples; once the file is free the samples reach it, directly or through
// the recovery copy at the next start.
void TestRecordingEnd::unsavedRecordingStaysUntilItReachesAFile()
{
    QFETCH(bool, locked);
    QFETCH(bool, rescued);
    const QString path = inspection->path;
    const QString aside = path + QStringLiteral(".aside");
    {
        QScopedPointer<LockHolder> other(locked ? new LockHolder(path, QStringLiteral("BEGIN EXCLUSIVE")) : nullptr);
        QVERIFY(locked ? other->isHeld() : QFile::rename(path, aside));
        MessageBoxAnswerer answers({rescued ? QMessageBox::Save : QMessageBox::Cancel, QMessageBox::Ok});
        finish(true, true);
        QCOMPARE(answers.asked().size(), rescued ? 2 : 1);
        QVERIFY(answers.asked()[0].contains(locked ? QStringLiteral("занят другой программой")
                                                   : QStringLiteral("файл не найден")));
        QCOMPARE(inspection->hasPendingRecording(), !rescued);
        inspection->saveModifiedTests();
    }
    if (!locked)
        QVERIFY(QFile::rename(aside, path));
    QCOMPARE(storedKinds(path, test().rowId()), QStringLiteral("1"));
    if (rescued) {
        // Offered at the next start under another program's lock: tried
        // again once the lock ends.
        GenericSettings settings;
        settings.load();
        QScopedPointer<LockHolder> other(new LockHolder(path, QStringLiteral("BEGIN EXCLUSIVE")));
        MessageBoxAnswerer answers({QMessageBox::Yes, QMessageBox::Retry, QMessageBox::Ok});
        answers.whileAsking = [&] {
            if (answers.asked().size() == 2)
                other.reset();
        };
        PendingRecordingPrompt::offerRecoveryCopies(nullptr, settings.sRootFolder);
        QCOMPARE(answers.asked().size(), 3);
        QVERIFY(answers.asked()[1].contains(QStringLiteral("занят другой программой")));
        QVERIFY(answers.asked()[2].startsWith(QStringLiteral("Запись перенесена в файл обследуемого")));
        QVERIFY(answers.asked()[2].contains(QStringLiteral("В тест:")));
        QVERIFY(RecordingRescue::copies(settings.sRootFolder).isEmpty());
    } else {
        MessageBoxAnswerer none;
        QVERIFY(PendingRecordingPrompt::resolve(nullptr, *inspection));
        QCOMPARE(none.asked().size(), 0);
    }
    QCOMPARE(storedKinds(path, test().rowId()), QStringLiteral("1,2"));
    Inspection loaded;
    QCOMPARE(loaded.load(path), StoreResult::Ok);
    QCOMPARE(loaded.loadRecording(&loaded.tests[0]), StoreResult::Ok);
    QCOMPARE(loaded.tests[0].dataGSR.size(), 400);
    QCOMPARE(loaded.tests[0].labels.size(), 12);
}

VUG_TEST_MAIN(TestRecordingEnd, QApplication)
#include "tst_recordingend.moc"
