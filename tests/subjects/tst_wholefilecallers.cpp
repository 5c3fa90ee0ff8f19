#include "data/RecordingRescue.h"
#include "data/WholeFile.h"
#include "subjects/SubjectPackage.h"
#include "tests/data/StoreFixtures.h"
#include "tests/support/TestHome.h"

#include <atomic>
#include <dlfcn.h>
#include <sys/stat.h>

namespace {
// Bytes a regular file may still take; below zero: as many as wanted.
std::atomic<qint64> g_room{-1};
// What a write past them fails with: ENOSPC as a full disk, EFBIG as a file size limit.
std::atomic<int> g_refusal{ENOSPC};
}  // namespace

// A write past the room comes up short, the next one fails.
extern "C" ssize_t write(int descriptor, const void *bytes, size_t count)
{
    static const auto system = reinterpret_cast<ssize_t (*)(int, const void *, size_t)>(dlsym(RTLD_NEXT, "write"));
    struct stat status {};
    const qint64 room = g_room;
    if (room < 0 || fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode))
        return system(descriptor, bytes, count);
    const ssize_t written = room == 0 ? -1 : system(descriptor, bytes, std::min<size_t>(count, size_t(room)));
    errno = room == 0 ? g_refusal.load() : errno;
    g_room -= std::max<ssize_t>(written, 0);
    return written;
}

class TestWholeFileCallers : public QObject
{
    Q_OBJECT
private slots:
    void refusedWriteKeepsTheOldFileAndIsTold_data();
    void refusedWriteKeepsTheOldFileAndIsTold();
    void refusedRecoveryCopySaysWhyAndLeavesNothing();
};

void TestWholeFileCallers::refusedWriteKeepsTheOldFileAndIsTold_data()
{
    QTest::addColumn<QString>("caller");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<int>("refusal");
    QTest::addColumn<QString>("cause");
    for (const auto &caller : {std::pair{"key file", "ключи.kqmz"}, {"package export", "Петров.dqmz"},
                               {"package over a subject", "Петров.qmz"}}) {
        QTest::addRow("%s, full disk", caller.first) << caller.first << caller.second << ENOSPC << "диск заполнен";
        QTest::addRow("%s, file size limit", caller.first)
            << caller.first << caller.second << EFBIG << "файл больше, чем позволено записать";
    }
}

// 64 bytes of room: the file there before is kept byte for byte, nothing is left beside it.
void TestWholeFileCallers::refusedWriteKeepsTheOldFileAndIsTold()
{
    QFETCH(QString, caller);
    QFETCH(QString, destination);
    QFETCH(int, refusal);
    QFETCH(QString, cause);
    QTemporaryDir dir;
    const QString subject = dir.filePath("Петров.qmz");
    const QString into = dir.filePath("into");
    StoreFixtures::makeSubjectFile(subject);
    const auto yes = [](const QString &) { return true; };
    const QString package = SubjectPackage::exportSubject(subject, dir.path(), yes).package;
    QVERIFY(QDir().mkpath(into) && QFile::copy(destination.endsWith(".qmz") ? subject : package, into + "/" + destination));
    const QByteArray old = StoreFixtures::fileBytes(into + "/" + destination);

    g_refusal = refusal;
    g_room = 64;
    const QString told = caller == "key file"         ? WholeFile::write(into + "/" + destination, QByteArray(4096, 'k'))
                         : caller == "package export" ? SubjectPackage::exportSubject(subject, into, yes).error
                                                      : SubjectPackage::importPackage(package, into, yes).stop;
    g_room = -1;

    QVERIFY2(told.contains(cause), qPrintable(told));
    QCOMPARE(StoreFixtures::fileBytes(into + "/" + destination), old);
    QCOMPARE(QDir(into).entryList(QDir::Files | QDir::Hidden), QStringList{destination});
}

// The copy's note is written whole first: on a full disk the copy says why and
// leaves neither note nor copy behind.
void TestWholeFileCallers::refusedRecoveryCopySaysWhyAndLeavesNothing()
{
    QTemporaryDir dir;
    const QString root = dir.filePath("data");
    QVERIFY(QDir().mkpath(root));
    QString file, videoLeft;
    g_refusal = ENOSPC;
    g_room = 0;
    const StoreResult result = RecordingRescue::save(root, root + "/Петров.qmz", StoreFixtures::recordedTest("Т", 50),
                                                     file, videoLeft);
    g_room = -1;
    QCOMPARE(result, StoreResult::NotWritten);
    QVERIFY2(result.cause().contains("диск заполнен"), qPrintable(result.cause()));
    QCOMPARE(QDir(RecordingRescue::folder(root)).entryList(QDir::Files | QDir::Hidden), QStringList());
}

VUG_TEST_MAIN(TestWholeFileCallers, QCoreApplication)
#include "tst_wholefilecallers.moc"
