#include "data/WholeFile.h"
#include "subjects/SubjectPackage.h"
#include "tests/data/StoreFixtures.h"
#include "tests/support/TestHome.h"

#include <atomic>
#include <csignal>
#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {
// Bytes the disk has free for regular files; below zero: as many as wanted.
std::atomic<qint64> g_diskFree{-1};
}  // namespace

// The disk as it fills: a write past the free bytes comes up short, the next fails with ENOSPC.
extern "C" ssize_t write(int descriptor, const void *bytes, size_t count)
{
    static const auto system = reinterpret_cast<ssize_t (*)(int, const void *, size_t)>(dlsym(RTLD_NEXT, "write"));
    struct stat status {};
    const qint64 free = g_diskFree;
    if (free < 0 || fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode))
        return system(descriptor, bytes, count);
    const ssize_t written = free == 0 ? -1 : system(descriptor, bytes, std::min<size_t>(count, size_t(free)));
    errno = free == 0 ? ENOSPC : errno;
    g_diskFree -= std::max<ssize_t>(written, 0);
    return written;
}

class TestWholeFileCallers : public QObject
{
    Q_OBJECT
private slots:
    void refusedWriteKeepsTheOldFileAndIsTold_data();
    void refusedWriteKeepsTheOldFileAndIsTold();
};

void TestWholeFileCallers::refusedWriteKeepsTheOldFileAndIsTold_data()
{
    QTest::addColumn<QString>("caller");
    QTest::addColumn<bool>("fullDisk");
    QTest::addColumn<QString>("cause");
    for (const char *caller : {"key file", "package export", "package over a subject"}) {
        QTest::addRow("%s, full disk", caller) << caller << true << "диск заполнен";
        QTest::addRow("%s, short write", caller) << caller << false << "файл больше, чем позволено записать";
    }
}

// A disk with 64 bytes free, or a process that may write no file past 64
// bytes (SIGXFSZ ignored, so the write comes up short instead).
void TestWholeFileCallers::refusedWriteKeepsTheOldFileAndIsTold()
{
    QFETCH(QString, caller);
    QFETCH(bool, fullDisk);
    QFETCH(QString, cause);
    QTemporaryDir dir;
    const QString subject = dir.filePath("Петров.qmz");
    StoreFixtures::makeSubjectFile(subject);
    const QString package = SubjectPackage::exportSubject(subject, dir.path(), [](const QString &) { return true; }).package;
    QDir(dir.path()).mkdir("into");
    const QString destination = dir.filePath(caller == "key file"         ? "into/ключи.kqmz"
                                             : caller == "package export" ? "into/Петров.dqmz"
                                                                          : "into/Петров.qmz");
    QFile::copy(caller == "package over a subject" ? subject : package, destination);
    const QByteArray old = StoreFixtures::fileBytes(destination);

    rlimit original {};
    getrlimit(RLIMIT_FSIZE, &original);
    rlimit limited{64, original.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (fullDisk)
        g_diskFree = 64;
    else
        setrlimit(RLIMIT_FSIZE, &limited);
    const auto yes = [](const QString &) { return true; };
    const QString told = caller == "key file" ? WholeFile::write(destination, QByteArray(4096, 'k'))
                         : caller == "package export"
                             ? SubjectPackage::exportSubject(subject, dir.filePath("into"), yes).error
                             : SubjectPackage::importPackage(package, dir.filePath("into"), yes).stop;
    g_diskFree = -1;
    setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY2(told.contains(cause), qPrintable(told));
    QCOMPARE(StoreFixtures::fileBytes(destination), old);
    QCOMPARE(QDir(dir.filePath("into")).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(destination).fileName()});
}

VUG_TEST_MAIN(TestWholeFileCallers, QCoreApplication)
#include "tst_wholefilecallers.moc"
