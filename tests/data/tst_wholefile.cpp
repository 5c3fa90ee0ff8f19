#include "data/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cerrno>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A folder's sync fails with an I/O error while set.
std::atomic<bool> g_folderSyncFails{false};
}  // namespace

extern "C" int fsync(int descriptor)
{
    static const auto system = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    struct stat status {};
    if (g_folderSyncFails && fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
        errno = EIO;
        return -1;
    }
    return system(descriptor);
}

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

}  // namespace

class TestWholeFile : public QObject
{
    Q_OBJECT
private slots:
    void destinationHoldsOldOrWholeNew_data();
    void destinationHoldsOldOrWholeNew();
    void newFileTakesTheCreationMask();
    void onlyLeftoversOfCutWritesRemoved_data();
    void onlyLeftoversOfCutWritesRemoved();
};

void TestWholeFile::destinationHoldsOldOrWholeNew_data()
{
    QTest::addColumn<bool>("link");
    QTest::addColumn<bool>("committed");
    QTest::addColumn<bool>("folderSyncFails");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("committed over a file") << false << true << false << QByteArray("new");
    QTest::newRow("not committed") << false << false << false << QByteArray("old");
    QTest::newRow("committed over a link: the link replaced, its target kept")
        << true << true << false << QByteArray("new");
    // Renamed already: the new file stays, but the commit is told as failed.
    QTest::newRow("the folder's sync failing after the rename") << false << true << true << QByteArray("new");
}

void TestWholeFile::destinationHoldsOldOrWholeNew()
{
    QFETCH(bool, link);
    QFETCH(bool, committed);
    QFETCH(bool, folderSyncFails);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    const QString destination = dir.filePath(QStringLiteral("файл.kqmz"));
    const QString target = dir.filePath(QStringLiteral("target"));
    QFile old(link ? target : destination);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    if (link)
        QVERIFY(QFile::link(target, destination));
    {
        WholeFile file(destination);
        QVERIFY(file.open());
        file.file().write("new");
        QCOMPARE(contents(destination), QByteArray("old"));
        g_folderSyncFails = folderSyncFails;
        const bool done = committed && file.commit();
        g_folderSyncFails = false;
        QCOMPARE(done, committed && !folderSyncFails);
        QCOMPARE(file.failure(), folderSyncFails ? qt_error_string(EIO) : QString());
    }
    QCOMPARE(contents(destination), expected);
    QCOMPARE(QFileInfo(destination).isSymLink(), link && !committed);
    if (link)
        QCOMPARE(contents(target), QByteArray("old"));
    // Nothing left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), link ? 2 : 1);
}

void TestWholeFile::newFileTakesTheCreationMask()
{
    QTemporaryDir dir;
    const QString made = dir.filePath(QStringLiteral("made"));
    const int fd = ::open(QFile::encodeName(made).constData(), O_CREAT | O_WRONLY, 0666);
    QVERIFY(fd >= 0);
    ::close(fd);
    const auto permissions = [](const QString &path) {
        struct stat info {};
        return stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : 0u;
    };
    QCOMPARE(0666u & ~WholeFile::creationMask(), permissions(made));
    WholeFile file(dir.filePath(QStringLiteral("whole")));
    QVERIFY(file.open() && file.commit());
    QCOMPARE(permissions(dir.filePath(QStringLiteral("whole"))), permissions(made));
}

void TestWholeFile::onlyLeftoversOfCutWritesRemoved_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");  // a leftover's destination, else the entry made
    QTest::addColumn<bool>("removed");
    QTest::newRow("a subject file's leftover") << "left" << "Петров.qmz" << true;
    QTest::newRow("a recording's leftover in the media folder") << "left" << "__1__/Петров-Тест-{1}.avi" << true;
    QTest::newRow("a write going on") << "held" << "Петров.qmz" << false;
    QTest::newRow("a user's own dot-file") << "file" << ".Петров.qmz" << false;
    QTest::newRow("five letters after the name") << "file" << ".Петров.qmz.abcde" << false;
    QTest::newRow("no subject file's name") << "file" << ".Петров.txt.abcdef" << false;
    QTest::newRow("readable by others: not as written") << "shared" << ".Петров.qmz.abcdef" << false;
    QTest::newRow("a link") << "link" << ".Петров.qmz.abcdef" << false;
    QTest::newRow("a folder") << "folder" << ".Петров.qmz.abcdef" << false;
}

// A write cut short leaves its whole temporary copy; the next start removes
// that, and nothing the program did not leave so.
void TestWholeFile::onlyLeftoversOfCutWritesRemoved()
{
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(bool, removed);
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("__1__"))));
    const QString target = dir.filePath(QStringLiteral("target"));
    QString entry = dir.filePath(name);
    QScopedPointer<WholeFile> writing;
    if (kind == QLatin1String("left") || kind == QLatin1String("held")) {
        writing.reset(new WholeFile(entry));
        QVERIFY(writing->open() && writing->file().write("part") == 4);
        entry = writing->file().fileName();
        if (kind == QLatin1String("left")) {
            writing->file().setAutoRemove(false);
            writing.reset();
        }
    } else if (kind == QLatin1String("link")) {
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        QVERIFY(QFile::link(target, entry));
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(entry));
    } else {
        QFile own(entry);
        QVERIFY(own.open(QIODevice::WriteOnly) && own.write("own") == 3);
        QVERIFY(own.setPermissions(kind == QLatin1String("shared") ? own.permissions() | QFile::ReadOther
                                                                   : QFile::ReadOwner | QFile::WriteOwner));
    }
    WholeFile::removeLeftovers(dir.path());
    QCOMPARE(QFileInfo::exists(entry) || QFileInfo(entry).isSymLink(), !removed);
    QVERIFY(kind != QLatin1String("link") || QFileInfo::exists(target));
    QVERIFY(kind != QLatin1String("held") || writing->commit());
}

QTEST_GUILESS_MAIN(TestWholeFile)
#include "tst_wholefile.moc"
