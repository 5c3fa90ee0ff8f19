#include "StoreFixtures.h"
#include "data/InspectionMedia.h"
#include "data/RecordingRescue.h"
#include "data/TestOfItsOwn.h"
#include "tests/support/PeakMemory.h"

#include <QDir>
#include <QTemporaryDir>

#include <cerrno>
#include <dlfcn.h>
#include <functional>
#include <sys/mount.h>
#include <sys/stat.h>

using namespace StoreFixtures;

namespace {
// The fault the file system shows: "no rename without replacing", as some
// file systems refuse it, or "folder sync fails", as a failing disk does.
QString g_fault;
}  // namespace

extern "C" int renameat2(int fromFolder, const char *from, int toFolder, const char *to, unsigned int flags)
{
    using Rename = int (*)(int, const char *, int, const char *, unsigned int);
    static const auto system = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "renameat2"));
    if (g_fault == QLatin1String("no rename without replacing") && (flags & RENAME_NOREPLACE)) {
        errno = EINVAL;
        return -1;
    }
    return system(fromFolder, from, toFolder, to, flags);
}

extern "C" int fsync(int descriptor)
{
    static const auto system = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    struct stat status {};
    if (g_fault == QLatin1String("folder sync fails") && fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
        errno = EIO;
        return -1;
    }
    return system(descriptor);
}

namespace {

// Bytes that tell each offset's apart from the next chunk's.
QByteArray videoOf(int bytes)
{
    QByteArray video(bytes, Qt::Uninitialized);
    for (int i = 0; i < bytes; ++i)
        video[i] = char((i * 7 + i / 4099) % 251);
    return video;
}

QStringList entriesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// A road a video takes: where it is, the folder it goes into, and the run,
// which gives what the road told: empty when the video followed, else the
// cause or the video it says stayed.
struct Road {
    QString source;
    QString folder;
    QString target;  // where only the road's own naming knows it: empty
    std::function<QString()> run;
};

}  // namespace

class TestVideoMoves : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void videoWholeInOnePlace_data();
    void videoWholeInOnePlace();
    void largeVideoCopiedInBoundedMemory();

private:
    Road roadOf(const QString &name);
    // A disk of so many bytes at the folder: false when mounting is refused.
    bool smallDiskAt(const QString &folder, qint64 bytes);

    QScopedPointer<QTemporaryDir> dir;
    QString root;
    QString mounted;
};

void TestVideoMoves::init()
{
    dir.reset(new QTemporaryDir);
    root = dir->filePath(QStringLiteral("data"));
    QVERIFY(QDir().mkpath(root));
}

void TestVideoMoves::cleanup()
{
    g_fault.clear();
    if (!mounted.isEmpty())
        umount2(QFile::encodeName(mounted).constData(), MNT_DETACH);
    mounted.clear();
    dir.reset();
}

bool TestVideoMoves::smallDiskAt(const QString &folder, qint64 bytes)
{
    const QByteArray size = "size=" + QByteArray::number(bytes);
    if (!QDir().mkpath(folder)
        || mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, size.constData()) != 0)
        return false;
    mounted = folder;
    return true;
}

Road TestVideoMoves::roadOf(const QString &name)
{
    const QString subject = root + QStringLiteral("/Петров.qmz");
    if (name == QLatin1String("moveFile")) {
        const QString source = root + QStringLiteral("/__1__/temp.avi");
        const QString target = dir->filePath(QStringLiteral("far/Петров-Тест.avi"));
        return {source, QFileInfo(target).path(), target, [source, target] {
                    QString why = QStringLiteral("(not cleared)");
                    if (InspectionMedia::moveFile(source, target, &why))
                        return why;
                    return why.isEmpty() ? QStringLiteral("(refused without a cause)") : why;
                }};
    }
    Inspection::_Test waiting = recordedTest(QStringLiteral("Тест"), 0);
    if (name == QLatin1String("a test of its own")) {
        const Inspection examination(subject);
        return {InspectionMedia::testVideoPath(examination, waiting), InspectionMedia::mediaFolder(examination),
                QString(), [subject, waiting]() mutable {
                    const InspectionTest before = waiting;
                    const Inspection examination(subject);
                    return TestOfItsOwn::separate(examination, waiting)
                               ? QString()
                               : InspectionMedia::testVideoName(examination, before);
                }};
    }
    if (name == QLatin1String("carried aside")) {
        const QString copyFile = RecordingRescue::folder(root) + QStringLiteral("/Петров-20240305-140700.qmz");
        return {InspectionMedia::testVideoPath(Inspection(subject), waiting),
                InspectionMedia::mediaFolder(Inspection(copyFile)), QString(), [subject, waiting, copyFile] {
                    QString left;
                    return RecordingRescue::carryVideo(subject, waiting, copyFile, left) ? QString() : left;
                }};
    }
    // A recovery copy of the subject's waiting test, restored or placed.
    Inspection examination(subject);
    [&] { QCOMPARE(examination.saveTestStruct(&waiting, false), StoreResult::Ok); }();
    Inspection::_Test rescued = recordedTest(waiting.name, 300, 7);
    rescued.id = waiting.id;
    QString file;
    [&] { QCOMPARE(RecordingRescue::save(root, subject, rescued, file), StoreResult::Ok); }();
    const RecordingRescue::Copy copy = RecordingRescue::copies(root).value(0);
    const QString source = InspectionMedia::testVideoPath(Inspection(file), rescued);
    const QString folder = InspectionMedia::mediaFolder(examination);
    if (name == QLatin1String("restored"))
        return {source, folder, QString(), [copy] {
                    RecordingRescue::Placement placement;
                    const StoreResult result = RecordingRescue::restore(copy, placement);
                    return result == StoreResult::Ok ? placement.videosLeft.join(QLatin1Char('\n')) : result.cause();
                }};
    return {source, folder, QString(), [this, copy] {
                QString placed;
                QStringList videosLeft;
                bool copyLeft = false;
                const StoreResult result = RecordingRescue::placeInDataFolder(root, copy, placed, videosLeft, copyLeft);
                return result == StoreResult::Ok ? videosLeft.join(QLatin1Char('\n')) : result.cause();
            }};
}

void TestVideoMoves::videoWholeInOnePlace_data()
{
    QTest::addColumn<QString>("road");
    QTest::addColumn<qint64>("disk");  // the target folder's own disk, in bytes; 0: none
    QTest::addColumn<int>("videoBytes");
    QTest::addColumn<QString>("occupant");  // at the target beforehand
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("moved");
    QTest::addColumn<QString>("cause");  // what a refusal tells; empty: the video that stayed
    const int mib = 1 << 20;
    const QString full = QStringLiteral("диск заполнен: ");
    const QString exists = qt_error_string(EEXIST);
    const QString noReplace = QStringLiteral("no rename without replacing");
    QTest::newRow("one file system: renamed") << "moveFile" << 0ll << 1010000 << "" << "" << true << "";
    QTest::newRow("another disk with room: copied over chunks")
        << "moveFile" << 4ll * mib << 5 * mib / 2 + 123 << "" << "" << true << "";
    QTest::newRow("another disk full as a chunk starts")
        << "moveFile" << 2ll * mib << 2 * mib + 1000 << "" << "" << false << full;
    QTest::newRow("another disk full within the last write")
        << "moveFile" << 1000000ll << 1010000 << "" << "" << false << full;
    QTest::newRow("over a file: refused") << "moveFile" << 0ll << 1000 << "file" << "" << false << exists;
    QTest::newRow("over a link: refused") << "moveFile" << 0ll << 1000 << "link" << "" << false << exists;
    QTest::newRow("over a file on another disk: refused")
        << "moveFile" << 4ll * mib << 1000 << "file" << "" << false << exists;
    QTest::newRow("no rename without replacing: linked") << "moveFile" << 0ll << 1000 << "" << noReplace << true << "";
    QTest::newRow("no rename without replacing, over a file: refused")
        << "moveFile" << 0ll << 1000 << "file" << noReplace << false << exists;
    QTest::newRow("another disk whose folder cannot be synced: the copy taken back")
        << "moveFile" << 4ll * mib << 1000 << "" << "folder sync fails" << false << qt_error_string(EIO);
    QTest::newRow("a test of its own on a disk without room for two: renamed")
        << "a test of its own" << 3ll * mib / 2 << mib << "" << "" << true << "";
    QTest::newRow("carried aside to a full disk")
        << "carried aside" << 1000000ll << 1010000 << "" << "" << false << "";
    QTest::newRow("carried aside to a disk with room")
        << "carried aside" << 4ll * mib << 1010000 << "" << "" << true << "";
    QTest::newRow("restored onto a full disk") << "restored" << 1000000ll << 1010000 << "" << "" << false << "";
    QTest::newRow("placed onto a full disk") << "placed" << 1000000ll << 1010000 << "" << "" << false << "";
    QTest::newRow("placed onto a disk with room") << "placed" << 4ll * mib << 1010000 << "" << "" << true << "";
}

// The video ends whole in one place, at its new name or its old, and a road
// that left it tells so; nothing else is left in the folder it went into.
void TestVideoMoves::videoWholeInOnePlace()
{
    QFETCH(QString, road);
    QFETCH(qint64, disk);
    QFETCH(int, videoBytes);
    QFETCH(QString, occupant);
    QFETCH(QString, fault);
    QFETCH(bool, moved);
    QFETCH(QString, cause);
    const Road way = roadOf(road);
    if (disk > 0 && !smallDiskAt(way.folder, disk))
        QSKIP("mounting a small file system needs root's mount rights");
    QVERIFY(QDir().mkpath(way.folder) && QDir().mkpath(QFileInfo(way.source).path()));
    const QByteArray video = videoOf(videoBytes);
    writeFile(way.source, video);
    if (occupant == QLatin1String("file"))
        writeFile(way.target, "another recording");
    if (occupant == QLatin1String("link"))
        QVERIFY(QFile::link(dir->filePath(QStringLiteral("nowhere")), way.target));
    const QStringList before = entriesIn(way.folder);

    g_fault = fault;
    const QString told = way.run();
    g_fault.clear();

    QVERIFY2(told.isEmpty() == moved, qPrintable(told));
    QVERIFY2(moved || told.contains(cause.isEmpty() ? way.source : cause), qPrintable(told));
    QCOMPARE(QFileInfo::exists(way.source), !moved);
    const QStringList after = entriesIn(way.folder);
    if (!moved) {
        QCOMPARE(fileBytes(way.source), video);
        QCOMPARE(after, before);
        if (occupant == QLatin1String("file"))
            QCOMPARE(fileBytes(way.target), QByteArray("another recording"));
        return;
    }
    QStringList arrived = after;
    for (const QString &entry : before)
        arrived.removeAll(entry);
    QCOMPARE(arrived.size(), 1);
    QVERIFY(way.target.isEmpty() || way.target.endsWith(QLatin1Char('/') + arrived[0]));
    QCOMPARE(fileBytes(QDir(way.folder).filePath(arrived[0])), video);
}

// A video of gigabytes crosses disks through a chunk's memory, not whole.
void TestVideoMoves::largeVideoCopiedInBoundedMemory()
{
    const qint64 videoBytes = 64ll << 20;
    const QString far = dir->filePath(QStringLiteral("far"));
    if (!smallDiskAt(far, videoBytes + (1 << 20)))
        QSKIP("mounting a small file system needs root's mount rights");
    const QString source = root + QStringLiteral("/video.avi");
    writeFile(source, QByteArray());
    QVERIFY(QFile::resize(source, videoBytes));  // sparse: no memory of its own
    const PeakMemory memory;
    QString why;
    QVERIFY2(InspectionMedia::moveFile(source, far + QStringLiteral("/video.avi"), &why), qPrintable(why));
    QVERIFY2(memory.growthBytes() < (16 << 20), qPrintable(QString::number(memory.growthBytes())));
    QCOMPARE(QFileInfo(far + QStringLiteral("/video.avi")).size(), videoBytes);
}

QTEST_GUILESS_MAIN(TestVideoMoves)
#include "tst_videomoves.moc"
