// A video moved by name or along a recording's road ends whole in one place,
// crosses disks in a chunk's memory, even without a non-replacing rename, and
// a refusal tells why: a full disk, a failed folder sync, a file or link there.
#include "StoreFixtures.h"
#include "data/InspectionMedia.h"
#include "data/RecordingRescue.h"
#include "data/TemporaryVideo.h"
#include "data/TestOfItsOwn.h"
#include "tests/support/PeakMemory.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <cerrno>
#include <dlfcn.h>
#include <functional>
#include <sys/mount.h>
#include <sys/stat.h>

using namespace StoreFixtures;

namespace {

// The row's fault: "no rename without replacing", as some file systems refuse
// it, "folder sync fails", as a failing disk does, or what is at the target.
QString g_fault;

// A road a video takes: where it is, the folder it goes into, and its run: what
// the road told, empty when the video followed, else the cause or the video.
struct Road {
    QString source, folder;
    std::function<QString()> run;
    QString target {};  // where only the road's own naming knows it: empty
};

Road roadOf(const QString &name, const QTemporaryDir &dir)
{
    const QString root = dir.filePath(QStringLiteral("data")), subject = root + QStringLiteral("/Петров.qmz");
    QDir().mkpath(root);
    if (name == QLatin1String("moveFile")) {
        const QString source = root + QStringLiteral("/__1__/temp.avi");
        const QString target = dir.filePath(QStringLiteral("far/Петров-Тест.avi"));
        return {source, QFileInfo(target).path(), [source, target] {
                    QString why = QStringLiteral("(not cleared)");
                    const bool moved = InspectionMedia::moveFile(source, target, &why);
                    return moved || !why.isEmpty() ? why : QStringLiteral("(refused without a cause)");
                }, target};
    }
    if (name.startsWith(QLatin1String("own video"))) {
        // Another program renames the media folder or deletes the file while the recorder holds it.
        const auto video = std::make_shared<TemporaryVideo>(root + QStringLiteral("/__1__"), TemporaryVideo::Kind::Test);
        const QString target = dir.filePath(QStringLiteral("far/Петров-Тест.avi"));
        return {video->path(), QFileInfo(target).path(), [video, name, root, target] {
                    if (name.endsWith(QLatin1String("moved")))
                        QDir().rename(root + QStringLiteral("/__1__"), root + QStringLiteral("/другая"));
                    else
                        QFile::remove(video->path());
                    const QString why = video->moveTo(target);
                    const QDir moved(root + QStringLiteral("/другая"));
                    return why.isEmpty() && !moved.isEmpty(QDir::Files | QDir::Hidden) ? moved.path() : why;
                }, target};
    }
    Inspection::_Test waiting = recordedTest(QStringLiteral("Тест"), 0);
    if (name == QLatin1String("a test of its own")) {
        const Inspection examination(subject);
        return {InspectionMedia::testVideoPath(examination, waiting), InspectionMedia::mediaFolder(examination),
                [subject, waiting]() mutable {
                    const Inspection examination(subject);
                    const QString left = InspectionMedia::testVideoName(examination, waiting);
                    return TestOfItsOwn::separate(examination, waiting) ? QString() : left;
                }};
    }
    if (name == QLatin1String("carried aside")) {
        const QString copyFile = RecordingRescue::folder(root) + QStringLiteral("/Петров-20240305-140700.qmz");
        return {InspectionMedia::testVideoPath(Inspection(subject), waiting),
                InspectionMedia::mediaFolder(Inspection(copyFile)), [subject, waiting, copyFile] {
                    QString left;
                    const auto carried = RecordingRescue::carryVideo(subject, waiting, copyFile, left);
                    return carried == InspectionMedia::VideoMove::Moved ? QString() : left;
                }};
    }
    // A recovery copy of the subject's waiting test, restored or placed.
    Inspection examination(subject);
    [&] { QCOMPARE(examination.saveTestStruct(&waiting, false), StoreResult::Ok); }();
    Inspection::_Test rescued = recordedTest(waiting.name, 300, 7);
    rescued.id = waiting.id;
    QString file, videoLeft;
    [&] { QCOMPARE(RecordingRescue::save(root, subject, rescued, file, videoLeft), StoreResult::Ok); }();
    const RecordingRescue::Copy copy = RecordingRescue::copies(root).value(0);
    return {InspectionMedia::testVideoPath(Inspection(file), rescued), InspectionMedia::mediaFolder(examination),
            [name, root, copy] {
                RecordingRescue::Placement placement;
                QString placed;
                const StoreResult result = name == QLatin1String("restored")
                    ? RecordingRescue::restore(copy, placement)
                    : RecordingRescue::placeInDataFolder(root, copy, placed, placement.videosLeft, placement.copyLeft);
                return result == StoreResult::Ok ? placement.videosLeft.join(QLatin1Char('\n')) : result.cause();
            }};
}

}  // namespace

extern "C" int renameat2(int fromFolder, const char *from, int toFolder, const char *to, unsigned int flags)
{
    static const auto system = reinterpret_cast<decltype(&renameat2)>(dlsym(RTLD_NEXT, "renameat2"));
    if (!g_fault.startsWith(QLatin1String("no rename without replacing")) || !(flags & RENAME_NOREPLACE))
        return system(fromFolder, from, toFolder, to, flags);
    errno = EINVAL;
    return -1;
}

extern "C" int fsync(int descriptor)
{
    static const auto system = reinterpret_cast<decltype(&fsync)>(dlsym(RTLD_NEXT, "fsync"));
    struct stat status {};
    if (g_fault != QLatin1String("folder sync fails") || fstat(descriptor, &status) != 0 || !S_ISDIR(status.st_mode))
        return system(descriptor);
    errno = EIO;
    return -1;
}

class TestVideoMoves : public QObject
{
    Q_OBJECT
private slots:
    void videoWholeInOnePlace_data();
    void videoWholeInOnePlace();
};

void TestVideoMoves::videoWholeInOnePlace_data()
{
    QTest::addColumn<QString>("road");
    QTest::addColumn<int>("disk");  // the target folder's own disk, in bytes; 0: none
    QTest::addColumn<int>("videoBytes");
    QTest::addColumn<QString>("fault");  // of the file system, or what is at the target beforehand
    QTest::addColumn<QString>("cause");  // what a refusal tells, "stayed": the video's old name; empty: moved
    const int mib = 1 << 20;
    const QString full = QStringLiteral("диск заполнен: "), exists = qt_error_string(EEXIST);
    QTest::newRow("one file system: renamed") << "moveFile" << 0 << 1010000 << "" << "";
    QTest::newRow("another disk: chunked, in bounded memory") << "moveFile" << 65 * mib << 64 * mib + 123 << "" << "";
    QTest::newRow("another disk full as a chunk starts") << "moveFile" << 2 * mib << 2 * mib + 9 << "" << full;
    QTest::newRow("another disk full within the last write") << "moveFile" << 1000000 << 1010000 << "" << full;
    QTest::newRow("over a file: refused") << "moveFile" << 0 << 1000 << "a file there" << exists;
    QTest::newRow("over a link: refused") << "moveFile" << 0 << 1000 << "a link there" << exists;
    QTest::newRow("over a file on another disk: refused") << "moveFile" << 4 * mib << 1000 << "a file there" << exists;
    QTest::newRow("no non-replacing rename: linked") << "moveFile" << 0 << 1000 << "no rename without replacing" << "";
    QTest::newRow("no non-replacing rename, over a file: refused")
        << "moveFile" << 0 << 1000 << "no rename without replacing, a file there" << exists;
    QTest::newRow("another disk whose folder cannot be synced: the copy taken back")
        << "moveFile" << 4 * mib << 1000 << "folder sync fails" << qt_error_string(EIO);
    QTest::newRow("a test of its own on a disk without room for two: renamed")
        << "a test of its own" << 3 * mib / 2 << mib << "" << "";
    QTest::newRow("a recording's video in a folder another program renamed: found there")
        << "own video moved" << 0 << 1010000 << "" << "";
    QTest::newRow("a recording's video deleted by another program: copied out of its handle")
        << "own video deleted" << 0 << 1010000 << "" << "";
    QTest::newRow("the same onto another disk") << "own video deleted" << 4 * mib << 1010000 << "" << "";
    QTest::newRow("carried aside to a full disk") << "carried aside" << 1000000 << 1010000 << "" << "stayed";
    QTest::newRow("carried aside to a disk with room") << "carried aside" << 4 * mib << 1010000 << "" << "";
    QTest::newRow("restored onto a full disk") << "restored" << 1000000 << 1010000 << "" << "stayed";
    QTest::newRow("placed onto a full disk") << "placed" << 1000000 << 1010000 << "" << "stayed";
    QTest::newRow("placed onto a disk with room") << "placed" << 4 * mib << 1010000 << "" << "";
}

void TestVideoMoves::videoWholeInOnePlace()
{
    QFETCH(QString, road);
    QFETCH(int, disk);
    QFETCH(int, videoBytes);
    QFETCH(QString, fault);
    QFETCH(QString, cause);
    const bool moved = cause.isEmpty();
    const QTemporaryDir dir;
    const Road way = roadOf(road, dir);
    const QByteArray folder = QFile::encodeName(way.folder), size = "size=" + QByteArray::number(disk);
    QVERIFY(QDir().mkpath(way.folder) && QDir().mkpath(QFileInfo(way.source).path()));
    if (disk > 0 && mount("tmpfs", folder.constData(), "tmpfs", 0, size.constData()) != 0)
        QSKIP("mounting a small file system needs root's mount rights");
    const auto unmount = qScopeGuard([disk, folder] {
        if (disk > 0)
            umount2(folder.constData(), MNT_DETACH);
    });
    QByteArray video(videoBytes, Qt::Uninitialized);
    for (int i = 0; i < videoBytes; ++i)  // each offset's bytes apart from the next chunk's
        video[i] = char((i * 7 + i / 4099) % 251);
    writeFile(way.source, video);
    if (fault.endsWith(QLatin1String("a file there")))
        writeFile(way.target, "another recording");
    if (fault == QLatin1String("a link there"))
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")), way.target));
    const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    const QStringList before = QDir(way.folder).entryList(all);

    const PeakMemory memory;
    g_fault = fault;
    const QString told = way.run();
    g_fault.clear();
    QVERIFY2(memory.growthBytes() < (16 << 20), qPrintable(QString::number(memory.growthBytes())));
    const QString named = cause == QLatin1String("stayed") ? way.source : cause;
    QVERIFY2(moved ? told.isEmpty() : told.contains(named), qPrintable(told));
    QStringList arrived = QDir(way.folder).entryList(all);
    if (!moved) {
        QCOMPARE(fileBytes(way.source), video);
        QCOMPARE(arrived, before);
        QVERIFY(!fault.endsWith(QLatin1String("a file there")) || fileBytes(way.target) == "another recording");
        return;
    }
    QVERIFY(!QFileInfo::exists(way.source));
    for (const QString &entry : before)
        arrived.removeAll(entry);
    QCOMPARE(arrived.size(), 1);
    QVERIFY(way.target.isEmpty() || way.target.endsWith(QLatin1Char('/') + arrived[0]));
    QCOMPARE(fileBytes(QDir(way.folder).filePath(arrived[0])), video);
}

QTEST_GUILESS_MAIN(TestVideoMoves)
#include "tst_videomoves.moc"
