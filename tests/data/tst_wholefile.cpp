#include "data/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
};

void TestWholeFile::destinationHoldsOldOrWholeNew_data()
{
    QTest::addColumn<bool>("link");
    QTest::addColumn<bool>("committed");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("committed over a file") << false << true << QByteArray("new");
    QTest::newRow("not committed") << false << false << QByteArray("old");
    QTest::newRow("committed over a link: the link replaced, its target kept") << true << true << QByteArray("new");
}

void TestWholeFile::destinationHoldsOldOrWholeNew()
{
    QFETCH(bool, link);
    QFETCH(bool, committed);
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
        if (committed)
            QVERIFY(file.commit());
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

QTEST_GUILESS_MAIN(TestWholeFile)
#include "tst_wholefile.moc"
