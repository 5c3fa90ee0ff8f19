#include "data/Inspection.h"
#include "data/InspectionMedia.h"
#include "data/TemporaryVideo.h"
#include "data/TestOfItsOwn.h"
#include "tests/support/TestHome.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace InspectionMedia;

class TestInspectionMedia : public QObject
{
    Q_OBJECT
private slots:
    void companionFolderAndTemporaryNames();
    void subjectNamesNeverShareFiles();
    void testVideoNameIsOneFileInTheFolder();
    void testOfItsOwnTakesItsVideoAlong();
    void timeStampedNamesAreNotReused();
    void preTestFilesAreExactlyTheSubjects();
    void trashKeepsWhatItCannotTake();
    void preTestVideosInTimeOrderWithTheirStamps();
};

// Each recording writes a file of its own name, which no other recording's
// start removes while it is held; a held one is found wherever it is moved.
void TestInspectionMedia::companionFolderAndTemporaryNames()
{
    QTemporaryDir dir;
    Inspection inspection(dir.filePath("subjects/Subject1.qmz"));
    const QString folder = dir.filePath("subjects/__1__");
    QCOMPARE(mediaFolder(inspection), folder);
    {
        const TemporaryVideo nowhere(folder, TemporaryVideo::Kind::Test);
        QVERIFY(nowhere.whereNow().isEmpty());
        QVERIFY(!QFileInfo::exists(dir.filePath("subjects")));  // the subject's folder is not made
    }
    QVERIFY(QDir().mkpath(dir.filePath("subjects")));
    auto first = std::make_unique<TemporaryVideo>(folder, TemporaryVideo::Kind::Test);
    const TemporaryVideo second(folder, TemporaryVideo::Kind::Test);
    const TemporaryVideo preTest(folder, TemporaryVideo::Kind::PreTest);
    const QSet<QString> names{first->path(), second.path(), preTest.path()};
    QCOMPARE(names.size(), 3);
    for (const QString &path : names) {
        QCOMPARE(QFileInfo(path).path(), folder);
        QVERIFY(QFileInfo(path).fileName().startsWith('.') && path.endsWith(".avi"));
        QVERIFY(path.contains(QString::number(QCoreApplication::applicationPid())));
    }
    TemporaryVideo::removeLeftovers(folder);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 3);
    QVERIFY(QDir().rename(folder, dir.filePath("moved")));
    QCOMPARE(second.whereNow(), dir.filePath("moved/") + QFileInfo(second.path()).fileName());
    const QString left = dir.filePath("moved/") + QFileInfo(first->path()).fileName();
    first.reset();  // its program ended
    // Another station's lock may not be seen here: its files are never taken.
    const QString station = dir.filePath("moved/.vug-recording-station2-7-0000000a.avi");
    QVERIFY(QFile(station).open(QIODevice::WriteOnly));
    TemporaryVideo::removeLeftovers(dir.filePath("moved"));
    QVERIFY(!QFileInfo::exists(left) && QFileInfo::exists(station));
    QVERIFY(QFileInfo::exists(second.whereNow()) && !preTest.whereNow().isEmpty());
}

void TestInspectionMedia::subjectNamesNeverShareFiles()
{
    QTemporaryDir dir;
    Inspection first(dir.filePath("Иванов И.И..qmz"));
    Inspection second(dir.filePath("Иванов И.П..qmz"));
    QCOMPARE(subjectBaseName(first), QStringLiteral("Иванов И.И."));
    const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9));
    QCOMPARE(newVideoFileName(first, when), dir.filePath("__1__/Иванов И.И..05032024140709.avi"));
    QVERIFY(newVideoFileName(first, when) != newVideoFileName(second, when));
    Inspection::_Test test("Тест");
    QVERIFY(testVideoPath(first, test) != testVideoPath(second, test));

    Inspection plain(dir.filePath("Subject"));
    QCOMPARE(subjectBaseName(plain), QStringLiteral("Subject"));
}

void TestInspectionMedia::testVideoNameIsOneFileInTheFolder()
{
    QTemporaryDir dir;
    Inspection inspection(dir.filePath("Subject A.B..qmz"));
    Inspection::_Test test(QString("ОТВ/2") + QChar(0) + "x");
    const QString path = testVideoPath(inspection, test);
    QCOMPARE(path, dir.filePath("__1__/Subject A.B.-ОТВ_2_x-" + test.id.toString() + ".avi"));

    QFile video(path);
    QVERIFY(video.open(QIODevice::WriteOnly));
    video.close();
    removeTestVideo(inspection, test);
    QVERIFY(!QFile::exists(path));
    removeTestVideo(inspection, test);  // nothing there: no error, nothing made
    QCOMPARE(QDir(mediaFolder(inspection)).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 0);
}

// A new id, the video under it; a video is never put over another one.
void TestInspectionMedia::testOfItsOwnTakesItsVideoAlong()
{
    QTemporaryDir dir;
    Inspection inspection(dir.filePath("S.qmz"));
    Inspection::_Test test("Тест");
    const Inspection::_Test before = test;
    QFile video(testVideoPath(inspection, test));
    QVERIFY(video.open(QIODevice::WriteOnly) && video.write("recorded") == 8);
    video.close();
    QVERIFY(TestOfItsOwn::separate(inspection, test));
    QVERIFY(test.id != before.id);
    QVERIFY(!QFile::exists(testVideoName(inspection, before)));
    QFile moved(testVideoName(inspection, test));
    QVERIFY(moved.open(QIODevice::ReadOnly));
    QCOMPARE(moved.readAll(), QByteArray("recorded"));

    QVERIFY(QFile::copy(moved.fileName(), testVideoName(inspection, before)));
    QCOMPARE(moveTestVideo(inspection, before, inspection, test), VideoMove::Stayed);
    QVERIFY(QFile::exists(testVideoName(inspection, before)));
    // Nothing there is never told as moved.
    QVERIFY(QFile::remove(testVideoName(inspection, before)));
    QCOMPARE(moveTestVideo(inspection, before, inspection, test), VideoMove::NoVideo);
}

void TestInspectionMedia::timeStampedNamesAreNotReused()
{
    QTemporaryDir dir;
    Inspection inspection(dir.filePath("S.qmz"));
    const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9));
    const QString video = newVideoFileName(inspection, when);
    QCOMPARE(video, dir.filePath("__1__/S.05032024140709.avi"));
    QCOMPARE(newAudioFileName(inspection, when), dir.filePath("__1__/S.05032024140709.aac"));
    QFile file(video);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QCOMPARE(newVideoFileName(inspection, when), QString());
    QVERIFY(!newAudioFileName(inspection, when).isEmpty());
}

void TestInspectionMedia::preTestFilesAreExactlyTheSubjects()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("__1__/1.01022024101010.avi"));  // a folder, not a file
    const QStringList names = {"1.01022024101011.AaC", "1.01022024101012.AVI",
                               "11.01022024101010.avi", "1.0102202410101.avi", "1.010220241010100.avi",
                               "1.01022024101010.avi.bak", "1.01022024101010.mp4", "x1.01022024101010.avi",
                               "1-Тест-{id}.avi", "1.٠١٠٢٢٠٢٤١٠١٠١٠.avi", "Иван [1]*.01022024101010.aac"};
    for (const QString &name : names) {
        QFile file(dir.filePath("__1__/" + name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString folder = dir.filePath("__1__/");
    QCOMPARE(preTestFiles(dir.filePath("1.qmz")),
             (QStringList{folder + "1.01022024101011.AaC", folder + "1.01022024101012.AVI"}));
    QCOMPARE(preTestFiles(dir.filePath("Иван [1]*.qmz")), QStringList{folder + "Иван [1]*.01022024101010.aac"});
    QVERIFY(preTestFiles(dir.filePath("Иван.qmz")).isEmpty());
    QVERIFY(preTestFiles(dir.filePath("other/1.qmz")).isEmpty());  // no companion folder there
}

void TestInspectionMedia::trashKeepsWhatItCannotTake()
{
    QTemporaryDir dir(QDir::homePath() + "/media-XXXXXX");
    const QString path = dir.filePath("video.avi");
    QFile video(path);
    QVERIFY(video.open(QIODevice::WriteOnly));
    video.close();
    const QString trash = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash";

    // A file where the Trash folder should be: the move fails and the video stays.
    QDir(trash).removeRecursively();
    QFile blocker(trash);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(!moveToTrash(path));
    QVERIFY(QFile::exists(path));
    QVERIFY(!QDir::current().exists("files/video.avi"));

    QFile::remove(trash);
    QVERIFY(moveToTrash(path));
    QVERIFY(!QFile::exists(path));
    QVERIFY(QFile::exists(trash + "/files/video.avi"));
    QVERIFY(moveToTrash(path));  // gone already: nothing to do
}

void TestInspectionMedia::preTestVideosInTimeOrderWithTheirStamps()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("__1__"));
    // By name the 31st of December would come last; by time it comes first.
    for (const char *name : {"А.Б.31122025235959.avi", "А.Б.01012026000000.AVI", "А.Б.15012026120000.aac"}) {
        QFile file(dir.filePath(QStringLiteral("__1__/") + QString::fromUtf8(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString folder = dir.filePath("__1__/");
    QCOMPARE(preTestVideos(dir.filePath("А.Б.qmz")),
             (QStringList{folder + "А.Б.31122025235959.avi", folder + "А.Б.01012026000000.AVI"}));

    QCOMPARE(timeStampOf("Иванов И.И.07122026143005.avi"), QStringLiteral("07122026143005"));
    QCOMPARE(timeStampOf(folder + "1.07122026143005.AVI"), QStringLiteral("07122026143005"));
    QVERIFY(timeStampOf("Иван.0712202614300.avi").isEmpty());
    QVERIFY(timeStampOf("Иван.07122026143005").isEmpty());
    QVERIFY(timeStampOf("07122026143005.avi").isEmpty());
}

VUG_TEST_MAIN(TestInspectionMedia, QCoreApplication)
#include "tst_inspectionmedia.moc"
