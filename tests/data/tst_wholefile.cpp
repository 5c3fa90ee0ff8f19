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

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}
}  // namespace

extern "C" int fsync(int descriptor)
{
    static const auto system = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    struct stat status {};
    if (!g_folderSyncFails || fstat(descriptor, &status) != 0 || !S_ISDIR(status.st_mode))
        return system(descriptor);
    errno = EIO;
    return -1;
}

class TestWholeFile : public QObject
{
    Q_OBJECT
private slots:
    void destinationHoldsOldOrWholeNew_data();
    void destinationHoldsOldOrWholeNew();
    void onlyLeftoversOfCutWritesRemoved_data();
    void onlyLeftoversOfCutWritesRemoved();
};

void TestWholeFile::destinationHoldsOldOrWholeNew_data()
{
    QTest::addColumn<bool>("link");
    QTest::addColumn<bool>("committed");
    QTest::addColumn<bool>("folderSyncFails");
    QTest::newRow("committed over a file") << false << true << false;
    QTest::newRow("not committed") << false << false << false;
    QTest::newRow("committed over a link: the link replaced, its target kept") << true << true << false;
    // Renamed already: the new file stays, but the commit is told as failed.
    QTest::newRow("the folder's sync failing after the rename") << false << true << true;
}

void TestWholeFile::destinationHoldsOldOrWholeNew()
{
    QFETCH(bool, link);
    QFETCH(bool, committed);
    QFETCH(bool, folderSyncFails);
    QTemporaryDir dir;
    const QString destination = dir.filePath(QStringLiteral("файл.kqmz"));
    const QString target = dir.filePath(QStringLiteral("target"));
    // Made as any new file is: the new one is to take the same permissions.
    const int old = ::open(QFile::encodeName(link ? target : destination).constData(), O_CREAT | O_WRONLY, 0666);
    QVERIFY(old >= 0 && ::write(old, "old", 3) == 3 && ::close(old) == 0);
    const QFile::Permissions made = QFileInfo(link ? target : destination).permissions();
    QVERIFY(!link || QFile::link(target, destination));
    {
        WholeFile file(destination);
        QVERIFY(file.open() && file.file().write("new") == 3);
        QCOMPARE(contents(destination), QByteArray("old"));
        g_folderSyncFails = folderSyncFails;
        const bool done = committed && file.commit();
        g_folderSyncFails = false;
        QCOMPARE(done, committed && !folderSyncFails);
        QCOMPARE(file.failure(), folderSyncFails ? qt_error_string(EIO) : QString());
    }
    QCOMPARE(contents(destination), QByteArray(committed ? "new" : "old"));
    QCOMPARE(QFileInfo(destination).isSymLink(), link && !committed);
    QCOMPARE(QFileInfo(destination).permissions(), made);
    QCOMPARE(contents(target), QByteArray(link ? "old" : "(none)"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), link ? 2 : 1);
}

void TestWholeFile::onlyLeftoversOfCutWritesRemoved_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");  // a leftover's destination, else the entry made
    QTest::newRow("a subject file's leftover") << "left" << "Петров.qmz";
    QTest::newRow("a recording's leftover in the media folder") << "left" << "__1__/Петров-Тест-{1}.avi";
    QTest::newRow("a leftover in a sub-folder's media folder") << "left" << "Отдел/__1__/Петров.avi";
    QTest::newRow("a write going on") << "held" << "Петров.qmz";
    QTest::newRow("a user's own dot-file") << "file" << ".Петров.qmz";
    QTest::newRow("another program's temporary") << "file" << ".Смирнов.qmz.kQzRwT";
    QTest::newRow("five letters after the mark") << "file" << ".Петров.qmz~vorkel.abcde";
    QTest::newRow("readable by others: not as written") << "shared" << ".Петров.qmz~vorkel.abcdef";
    QTest::newRow("a link") << "link" << ".Петров.qmz~vorkel.abcdef";
    QTest::newRow("a folder") << "folder" << ".Петров.qmz~vorkel.abcdef";
}

// A write cut short leaves its whole temporary copy; the next start removes
// that, and nothing the program did not leave so.
void TestWholeFile::onlyLeftoversOfCutWritesRemoved()
{
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("__1__"))));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("Отдел/__1__"))));
    const QString target = dir.filePath(QStringLiteral("target"));
    QString entry = dir.filePath(name);
    QScopedPointer<WholeFile> writing(kind == "left" || kind == "held" ? new WholeFile(entry) : nullptr);
    if (writing) {
        QVERIFY(writing->open() && writing->file().write("part") == 4);
        entry = writing->file().fileName();
        writing->file().setAutoRemove(kind == "held");
        if (kind == "left")
            writing.reset();
    } else if (kind == "folder") {
        QVERIFY(QDir().mkpath(entry));
    } else {
        QFile own(kind == "link" ? target : entry);
        QVERIFY(own.open(QIODevice::WriteOnly)
                && own.setPermissions(kind == "shared" ? own.permissions() | QFile::ReadOther
                                                       : QFile::ReadOwner | QFile::WriteOwner));
        QVERIFY(kind != "link" || QFile::link(target, entry));
    }
    WholeFile::removeLeftovers(dir.path());
    QCOMPARE(QFileInfo::exists(entry) || QFileInfo(entry).isSymLink(), kind != "left");
    QVERIFY(kind != "link" || QFileInfo::exists(target));
    QVERIFY(kind != "held" || writing->commit());
}

QTEST_GUILESS_MAIN(TestWholeFile)
#include "tst_wholefile.moc"
