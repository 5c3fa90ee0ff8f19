#include "subjects/SubjectPackage.h"
#include "subjects/SubjectStore.h"
#include "tests/data/HostileSubjects.h"
#include "tests/subjects/SubjectFixtures.h"
#include "tests/support/LockHolder.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/TestHome.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QtEndian>

#include <sys/mount.h>

using namespace SubjectFixtures;

namespace {

// Every file below a folder with its bytes, by path relative to it.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), StoreFixtures::fileBytes(path));
    }
    return files;
}

QByteArray int32(qint32 value)
{
    const qint32 le = qToLittleEndian(value);
    return QByteArray(reinterpret_cast<const char *>(&le), 4);
}

// One entry as the format has it; block is what follows the data length.
QByteArray entry(const QByteArray &name, const QByteArray &block)
{
    return int32(name.size()) + name + int32(block.size()) + block;
}

QByteArray compressed(const QByteArray &content)
{
    return qCompress(content, 1);
}

const auto never = [](const QString &) { return false; };
const auto always = [](const QString &) { return true; };

QString python()
{
    return QStringLiteral(VUG_PYTHON);
}

QStringList runTool(const QStringList &arguments)
{
    QProcess tool;
    tool.start(python(), QStringList{QStringLiteral(DQMZ_TOOL)} + arguments);
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        return {QStringLiteral("failed: ") + QString::fromUtf8(tool.readAllStandardError())};
    return QString::fromUtf8(tool.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

QByteArray hostileSubjectBytes(HostileSubjects::Kind kind)
{
    const QString path = QDir::homePath() + "/hostile.qmz";
    QFile::remove(path);
    HostileSubjects::make(path, kind);
    return StoreFixtures::fileBytes(path);
}

QByteArray sqliteBytes()
{
    static QByteArray bytes;
    if (bytes.isEmpty()) {
        const QString path = QDir::homePath() + "/template.qmz";
        StoreFixtures::makeSubjectFile(path);
        bytes = StoreFixtures::fileBytes(path);
        QFile::remove(path);
    }
    return bytes;
}

}  // namespace

class TestSubjectPackage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void roundTripIntoAnEmptyStore_data();
    void roundTripIntoAnEmptyStore();
    void subjectWithoutRecordingsGivesOneEntry();
    void onlyTheSubjectsOwnFilesAreExported();
    void packagesReadByAnIndependentReader();
    void packagesWrittenByAnIndependentWriterImport();
    void existingSubjectIsReplacedOnlyWhenAllowed();
    void hostilePackagesChangeNothingOutside_data();
    void hostilePackagesChangeNothingOutside();
    void cutPackageKeepsTheCompleteEntries();
    void tooLargeFileIsRefusedBeforeWriting();
    void onlyTheSubjectsOwnRecordingsArrive_data();
    void onlyTheSubjectsOwnRecordingsArrive();
    void exportOverAnExistingPackageAsks();
    void manySkippedEntriesAreSummarised();
    void importGuardsStopWhatWouldHarm_data();
    void importGuardsStopWhatWouldHarm();
    void namesWithDotsWorkThroughout_data();
    void namesWithDotsWorkThroughout();
    void otherSubjectsKeepTheirRecordings_data();
    void otherSubjectsKeepTheirRecordings();
    void leftoverJournalNeverReachesTheImport();
    void subjectInAnotherWritersTransactionIsNotReplaced();
    void subjectExpandingPastTheBoundsIsRefusedUnwritten();
    void recordingsThatAreLinksStayOut();
    void namesThatLookTheSameAreTheSame_data();
    void namesThatLookTheSameAreTheSame();

private:
    QString store;
    QString target;
    QString out;
};

void TestSubjectPackage::init()
{
    QDir(QDir::homePath() + "/work").removeRecursively();
    store = QDir::homePath() + "/work/store";
    target = QDir::homePath() + "/work/target";
    out = QDir::homePath() + "/work/out";
    for (const QString &folder : {store, target, out})
        QVERIFY(QDir().mkpath(folder));
}

void TestSubjectPackage::roundTripIntoAnEmptyStore_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "Иванов";
    QTest::newRow("double dot") << "Петров А.";  // "Петров А..qmz"
}

void TestSubjectPackage::roundTripIntoAnEmptyStore()
{
    QFETCH(QString, name);
    const QStringList files = makeRecordedSubject(store + "/" + name + ".qmz", {"Тест1", "Тест2"},
                                                  {"01022024101010.avi", "01022024101011.AVI", "01022024101012.aac"});
    const SubjectPackage::ExportResult written = SubjectPackage::exportSubject(files[0], out, never);
    QCOMPARE(written.error, QString());
    QCOMPARE(written.package, out + "/" + name + ".dqmz");
    QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList{name + ".dqmz"});
    QVERIFY(QFileInfo(written.package).permissions() & QFile::ReadGroup);  // not the temporary file's 0600
    QCOMPARE(written.files.size(), 5);  // no speech file
    QCOMPARE(written.files.mid(1, 2), (QStringList{files[3], files[4]}));

    const SubjectPackage::ImportResult read =
        SubjectPackage::importPackage(written.package, target, [](const QString &) { return false; });
    QCOMPARE(read.stop, QString());
    QVERIFY2(read.skipped.isEmpty(), qPrintable(read.skipped.join(";")));
    QVERIFY(!read.cut && !read.refused);
    QCOMPARE(read.imported.size(), 5);
    QMap<QString, QByteArray> expected = snapshot(store);
    expected.remove("__1__/" + name + ".01022024101012.aac");
    QCOMPARE(snapshot(target), expected);
}

void TestSubjectPackage::subjectWithoutRecordingsGivesOneEntry()
{
    StoreFixtures::makeSubjectFile(store + "/Петров.qmz");
    const SubjectPackage::ExportResult written = SubjectPackage::exportSubject(store + "/Петров.qmz", out, never);
    QCOMPARE(written.files, QStringList{store + "/Петров.qmz"});
    QVERIFY(!QFileInfo::exists(store + "/__1__"));  // exporting creates no media folder
    QCOMPARE(runTool({"read", written.package}).size(), 1);
    const auto read = SubjectPackage::importPackage(written.package, target, [](const QString &) { return false; });
    QCOMPARE(read.imported, QStringList{target + "/Петров.qmz"});
    QVERIFY(QFileInfo(target + "/__1__").isDir());
    QVERIFY(QDir(target + "/__1__").isEmpty());
}

void TestSubjectPackage::onlyTheSubjectsOwnFilesAreExported()
{
    const QStringList ivan = makeRecordedSubject(store + "/Иван.qmz", {"Тест"}, {"01022024101010.avi"});
    makeRecordedSubject(store + "/Иванов.qmz", {"Тест"}, {"01022024101011.avi"});
    touch(store + "/__1__/Иван-чужой.avi");
    touch(store + "/__1__/Иван*.01022024101013.avi");
    QCOMPARE(SubjectPackage::packageFiles(store + "/Иван.qmz"), (QStringList{ivan[0], ivan[2], ivan[1]}));
}

void TestSubjectPackage::packagesReadByAnIndependentReader()
{
    const QStringList files = makeRecordedSubject(store + "/Сидоров 2.qmz", {"Тест"}, {"01022024101010.avi"});
    touch(files[1], QByteArray(300000, 'v') + QByteArray("tail"));
    const SubjectPackage::ExportResult written = SubjectPackage::exportSubject(files[0], out, never);
    QCOMPARE(written.error, QString());
    QStringList expected;
    for (const QString &path : written.files) {
        const QByteArray bytes = StoreFixtures::fileBytes(path);
        expected << QStringLiteral("%1\t%2\t%3")
                        .arg(QFileInfo(path).fileName())
                        .arg(bytes.size())
                        .arg(QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()));
    }
    QCOMPARE(runTool({"read", written.package}), expected);

    // The first entry, as Qt itself reads such a block.
    const QByteArray package = StoreFixtures::fileBytes(written.package);
    const qint32 n = qFromLittleEndian<qint32>(package.constData());
    QCOMPARE(package.mid(4, n), QByteArray("Сидоров 2.qmz"));
    const qint32 m = qFromLittleEndian<qint32>(package.constData() + 4 + n);
    QCOMPARE(qUncompress(package.mid(8 + n, m)), StoreFixtures::fileBytes(files[0]));
}

void TestSubjectPackage::packagesWrittenByAnIndependentWriterImport()
{
    const QStringList files = makeRecordedSubject(store + "/Кузнецов.qmz", {"Тест"}, {"01022024101010.avi"});
    QCOMPARE(runTool(QStringList{"write", out + "/k.dqmz", "--pad", "7"} + files), QStringList());
    const auto read = SubjectPackage::importPackage(out + "/k.dqmz", target, [](const QString &) { return false; });
    QCOMPARE(read.stop, QString());
    QCOMPARE(read.imported.size(), 3);
    QCOMPARE(snapshot(target), snapshot(store));
}

void TestSubjectPackage::existingSubjectIsReplacedOnlyWhenAllowed()
{
    const QStringList files = makeRecordedSubject(store + "/Иванов.qmz", {"Тест"}, {"01022024101010.avi"});
    const QString package = SubjectPackage::exportSubject(files[0], out, never).package;
    touch(target + "/Иванов.qmz", "the old subject");
    touch(target + "/__1__/Иванов.01022024101010.avi", "the old recording");
    const QMap<QString, QByteArray> before = snapshot(target);
    QStringList asked;
    auto read = SubjectPackage::importPackage(package, target, [&](const QString &name) {
        asked << name;
        return false;
    });
    QVERIFY(read.refused);
    QCOMPARE(asked, QStringList{"Иванов.qmz"});
    QCOMPARE(snapshot(target), before);

    read = SubjectPackage::importPackage(package, target, [](const QString &) { return true; });
    QCOMPARE(read.imported.size(), 3);
    QCOMPARE(snapshot(target), snapshot(store));
}

void TestSubjectPackage::hostilePackagesChangeNothingOutside_data()
{
    QTest::addColumn<QByteArray>("package");
    QTest::addColumn<QStringList>("imported");  // file names that may arrive
    const QByteArray subject = entry("Иванов.qmz", compressed(sqliteBytes()));
    const QByteArray video = compressed("video");
    const QStringList one{"Иванов.qmz"};
    QTest::newRow("up and out") << entry("../x.qmz", compressed(sqliteBytes())) << QStringList();
    QTest::newRow("absolute") << entry("/x.qmz", compressed(sqliteBytes())) << QStringList();
    QTest::newRow("folder in name") << subject + entry("a/b.avi", video) << one;
    QTest::newRow("dot dot") << subject + entry("..", video) << one;
    QTest::newRow("dot") << subject + entry(".", video) << one;
    QTest::newRow("hidden subject") << entry(".Иванов.qmz", compressed(sqliteBytes())) << QStringList();
    QTest::newRow("subject with a trigger")
        << entry("Иванов.qmz", compressed(hostileSubjectBytes(HostileSubjects::Kind::Trigger))) << QStringList();
    QTest::newRow("subject with another table")
        << entry("Иванов.qmz", compressed(hostileSubjectBytes(HostileSubjects::Kind::ExtraTable))) << QStringList();
    QTest::newRow("empty name") << subject + int32(1) + QByteArray(1, '\0') + int32(video.size()) + video << one;
    QTest::newRow("backslash") << subject + entry("a\\b.avi", video) << one;
    QTest::newRow("control") << subject + entry("Иванов.\n.avi", video) << one;
    QTest::newRow("300 bytes") << subject + entry(QByteArray(296, 'a') + ".avi", video) << one;
    QTest::newRow("bad utf-8") << subject + entry("Иванов-\xff\xfe.avi", video) << one;
    QTest::newRow("other subject") << subject + entry("Петров.01022024101010.avi", video) << one;
    QTest::newRow("second subject") << subject + entry("Петров.qmz", compressed(sqliteBytes())) << one;
    QTest::newRow("negative name length") << int32(-5) + QByteArray(20, 'x') << QStringList();
    QTest::newRow("zero name length") << int32(0) + QByteArray(20, 'x') << QStringList();
    QTest::newRow("huge name length") << int32(0x7fffffff) + QByteArray(20, 'x') << QStringList();
    const QByteArray recording("Иванов.01022024101010.avi");
    QTest::newRow("negative data length") << subject + int32(recording.size()) + recording + int32(-1) + video << one;
    QTest::newRow("zero data length") << subject + int32(recording.size()) + recording + int32(0) + video << one;
    QTest::newRow("huge data length") << int32(16) + QByteArray("Иванов.qmz") + int32(0x7fffffff) + video
                                      << QStringList();
    QTest::newRow("data past the end") << subject + entry(recording, video).chopped(3) << one;
    QTest::newRow("not zlib") << subject + entry(recording, QByteArray("\0\0\0\5", 4) + "plain") << one;
    QByteArray bomb = compressed(QByteArray(1 << 20, '\0'));
    bomb.replace(0, 4, QByteArray("\xff\xff\xff\xff", 4));
    QTest::newRow("declares 4 GiB") << subject + entry(recording, bomb) << one;
    QByteArray longer = compressed("video that is longer");
    longer.replace(0, 4, QByteArray("\0\0\0\5", 4));
    QTest::newRow("longer than declared") << subject + entry(recording, longer) << one;
    QByteArray shorter = compressed("vid");
    shorter.replace(0, 4, QByteArray("\0\0\0\5", 4));
    QTest::newRow("shorter than declared") << subject + entry(recording, shorter) << one;
    QTest::newRow("stream ends early") << subject + entry(recording, video + "junk") << one;
    QTest::newRow("first not a database") << entry("Иванов.qmz", compressed("not sqlite")) << QStringList();
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QByteArray random(4096, '\0');
    QRandomGenerator seeded(7);
    for (char &c : random)
        c = char(seeded.generate());
    QTest::newRow("random bytes") << random << QStringList();
}

// Each ends with a reason to tell, nothing outside the target, no existing
// file changed and at most the listed names arriving.
void TestSubjectPackage::hostilePackagesChangeNothingOutside()
{
    QFETCH(QByteArray, package);
    QFETCH(QStringList, imported);
    touch(target + "/Старый.qmz", "kept");
    touch(store + "/x.qmz", "outside");
    StoreFixtures::writeFile(out + "/hostile.dqmz", package);
    const QMap<QString, QByteArray> outside = snapshot(QDir::homePath() + "/work");
    const auto read = SubjectPackage::importPackage(out + "/hostile.dqmz", target, [](const QString &) {
        return false;
    });
    QVERIFY2(!read.stop.isEmpty() || !read.skipped.isEmpty() || read.cut, qPrintable(read.imported.join(',')));
    QStringList names;
    for (const QString &path : read.imported)
        names << QFileInfo(path).fileName();
    QCOMPARE(names, imported);
    QMap<QString, QByteArray> after = snapshot(QDir::homePath() + "/work");
    for (const QString &name : imported)
        after.remove("target/" + name);
    QCOMPARE(after, outside);
    QVERIFY(!QFileInfo::exists(QDir::homePath() + "/x.qmz"));
    QVERIFY(!QFileInfo::exists("/x.qmz"));
}

void TestSubjectPackage::cutPackageKeepsTheCompleteEntries()
{
    const QStringList files = makeRecordedSubject(store + "/Иванов.qmz", {"Тест"}, {"01022024101010.avi"});
    const QByteArray package = StoreFixtures::fileBytes(SubjectPackage::exportSubject(files[0], out, never).package);
    QVector<int> ends;  // where each entry ends
    for (int at = 0; at < package.size();) {
        at += 4 + qFromLittleEndian<qint32>(package.constData() + at);
        at += 4 + qFromLittleEndian<qint32>(package.constData() + at);
        ends << at;
    }
    QCOMPARE(ends.size(), 3);
    for (int size = 0; size < package.size(); ++size) {
        QDir(target).removeRecursively();
        QDir().mkpath(target);
        StoreFixtures::writeFile(out + "/cut.dqmz", package.left(size));
        const auto read = SubjectPackage::importPackage(out + "/cut.dqmz", target, [](const QString &) { return false; });
        const int complete = int(std::count_if(ends.begin(), ends.end(), [size](int end) { return end <= size; }));
        QCOMPARE(read.imported.size(), complete);
        QCOMPARE(read.cut, !ends.contains(size) && size > 0);
        for (const QString &path : read.imported)
            QCOMPARE(StoreFixtures::fileBytes(path), StoreFixtures::fileBytes(QString(path).replace(target, store)));
        // No temporary file is left behind.
        QCOMPARE(QDir(target).entryList({".*"}, QDir::Files | QDir::Hidden), QStringList());
    }
}

void TestSubjectPackage::tooLargeFileIsRefusedBeforeWriting()
{
    const QStringList files = makeRecordedSubject(store + "/Иванов.qmz", {"Тест"}, {});
    QFile video(files[1]);
    QVERIFY(video.resize(Q_INT64_C(0x100000000)));  // sparse: 4 GiB without the disk space
    const SubjectPackage::ExportResult written = SubjectPackage::exportSubject(files[0], out, never);
    QVERIFY(written.package.isEmpty());
    QVERIFY(written.error.contains(files[1]));
    QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestSubjectPackage::onlyTheSubjectsOwnRecordingsArrive_data()
{
    QTest::addColumn<QStringList>("entries");   // recording entries after the subject, in order
    QTest::addColumn<bool>("subjectThere");     // the subject exists and is replaced
    QTest::addColumn<QStringList>("arriving");  // the entries that must be written
    const QString pretest = "Иван.01022024101010.avi";
    const QString other = "Иван-Петров-Тест1-{00000000-0000-0000-0000-00000000000a}.avi";
    QTest::newRow("own") << QStringList{"own test video", pretest} << false << QStringList{"own test video", pretest};
    QTest::newRow("another subject's test video") << QStringList{"there " + other} << true << QStringList();
    QTest::newRow("another subject's pre-test video") << QStringList{"there Иван.С.01022024101010.avi"} << true
                                                      << QStringList();
    QTest::newRow("unknown test") << QStringList{"Иван-Тест-{00000000-0000-0000-0000-00000000000b}.avi"} << true
                                  << QStringList();
    QTest::newRow("stamp too short") << QStringList{"Иван.0102202410101.avi"} << true << QStringList();
    QTest::newRow("twice") << QStringList{pretest, pretest} << false << QStringList{pretest};
    QTest::newRow("there, new subject") << QStringList{"there " + pretest} << false << QStringList();
    QTest::newRow("there, subject replaced") << QStringList{"there " + pretest} << true << QStringList{pretest};
}

// Every file already in the target that is not to arrive keeps its bytes;
// what arrives is the first entry of its name.
void TestSubjectPackage::onlyTheSubjectsOwnRecordingsArrive()
{
    QFETCH(QStringList, entries);
    QFETCH(bool, subjectThere);
    QFETCH(QStringList, arriving);
    const QStringList files = makeRecordedSubject(store + "/Иван.qmz", {"Тест"}, {});
    const QString ownVideo = QFileInfo(files[1]).fileName();
    QByteArray package = entry("Иван.qmz", compressed(StoreFixtures::fileBytes(files[0])));
    for (QString &name : entries) {
        if (name.startsWith("there ")) {
            name = name.mid(6);
            touch(target + "/__1__/" + name, "theirs");
        }
        name.replace("own test video", ownVideo);
        package += entry(name.toUtf8(), compressed("new " + name.toUtf8() + QByteArray::number(package.size())));
    }
    if (subjectThere)
        touch(target + "/Иван.qmz", "old");
    arriving.replaceInStrings("own test video", ownVideo);
    StoreFixtures::writeFile(out + "/p.dqmz", package);
    const QMap<QString, QByteArray> before = snapshot(target);

    const auto read = SubjectPackage::importPackage(out + "/p.dqmz", target, always);
    QMap<QString, QByteArray> after = snapshot(target);
    QCOMPARE(read.imported.size(), 1 + arriving.size());
    QCOMPARE(read.skippedCount, entries.size() - arriving.size());
    for (const QString &name : arriving)
        QVERIFY(after.take("__1__/" + name).startsWith("new " + name.toUtf8()));
    after.remove("Иван.qmz");
    QMap<QString, QByteArray> kept = before;
    kept.remove("Иван.qmz");
    for (const QString &name : arriving)
        kept.remove("__1__/" + name);
    QCOMPARE(after, kept);
}

void TestSubjectPackage::exportOverAnExistingPackageAsks()
{
    const QStringList files = makeRecordedSubject(store + "/Иванов.qmz", {"Тест"}, {});
    touch(out + "/Иванов.dqmz", "an older package");
    QStringList asked;
    const auto answer = [&](bool yes) {
        return [&asked, yes](const QString &name) {
            asked << name;
            return yes;
        };
    };
    const auto kept = SubjectPackage::exportSubject(files[0], out, answer(false));
    QVERIFY(kept.refused && kept.package.isEmpty());
    QCOMPARE(StoreFixtures::fileBytes(out + "/Иванов.dqmz"), QByteArray("an older package"));
    QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), 1);
    const auto replaced = SubjectPackage::exportSubject(files[0], out, answer(true));
    QCOMPARE(replaced.package, out + "/Иванов.dqmz");
    QCOMPARE(asked, (QStringList{"Иванов.dqmz", "Иванов.dqmz"}));
    QCOMPARE(runTool({"read", replaced.package}).size(), 2);
}

void TestSubjectPackage::manySkippedEntriesAreSummarised()
{
    QByteArray package = entry("Иванов.qmz", compressed(sqliteBytes()));
    const QByteArray foreign = entry("Петров.01022024101010.avi", compressed("v"));
    for (int i = 0; i < 5000; ++i)
        package += foreign;
    StoreFixtures::writeFile(out + "/many.dqmz", package);
    const auto read = SubjectPackage::importPackage(out + "/many.dqmz", target, never);
    QCOMPARE(read.skippedCount, 5000);
    const QStringList lines = read.report().split('\n');
    QVERIFY2(lines.size() <= SubjectPackage::kListedSkips + 3, qPrintable(QString::number(lines.size())));
    QVERIFY(lines.contains("Пропущено записей: 5000."));
    QVERIFY(lines.last().contains(QString::number(5000 - SubjectPackage::kListedSkips)));
}

void TestSubjectPackage::importGuardsStopWhatWouldHarm_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QByteArray>("recording");  // the pre-test video's compressed block
    QTest::addColumn<QString>("reason");
    QByteArray runsPast = compressed(QByteArray(32 << 20, 'v'));
    runsPast.replace(0, 4, QByteArray("\0\0\0\5", 4));
    QTest::newRow("recordings folder links outside") << "link" << compressed("video") << "за пределы папки";
    QTest::newRow("data run past the declared length") << "" << runsPast << "длиннее заявленного";
    QTest::newRow("no room for the file") << "small disk" << compressed(QByteArray(4 << 20, 'v')) << "не хватает места";
}

// Each guard names why it stopped: without it the entry would fail later for
// another reason, or be written where it must not go.
void TestSubjectPackage::importGuardsStopWhatWouldHarm()
{
    QFETCH(QString, setup);
    QFETCH(QByteArray, recording);
    QFETCH(QString, reason);
    if (setup == "link")
        QVERIFY(QFile::link(store, target + "/__1__"));
    if (setup == "small disk" && mount("tmpfs", QFile::encodeName(target).constData(), "tmpfs", 0, "size=1m") != 0)
        QSKIP("mounting a small file system needs root's mount rights");
    const auto unmount = qScopeGuard([&] {
        if (setup == "small disk")
            umount(QFile::encodeName(target).constData());
    });
    StoreFixtures::writeFile(out + "/p.dqmz", entry("Иванов.qmz", compressed(sqliteBytes()))
                                                  + entry("Иванов.01022024101010.avi", recording));
    const QMap<QString, QByteArray> outside = snapshot(store);
    const auto read = SubjectPackage::importPackage(out + "/p.dqmz", target, never);
    QVERIFY2((read.stop + read.skipped.join(';')).contains(reason), qPrintable(read.stop + read.skipped.join(';')));
    QCOMPARE(read.imported, QStringList{target + "/Иванов.qmz"});
    QCOMPARE(snapshot(store), outside);
    QCOMPARE(QDir(target + "/__1__").entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestSubjectPackage::namesWithDotsWorkThroughout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("problem");
    using P = SubjectStore::NameProblem;
    QTest::newRow("initials after") << "Петров П.П." << int(P::None);
    QTest::newRow("initials before") << "А.Б. Сидоров" << int(P::None);
    QTest::newRow("only dots") << ".." << int(P::LeadingDot);
    QTest::newRow("hidden") << ".скрытый" << int(P::LeadingDot);
    QTest::newRow("no room for the stamp") << QString(240, 'x') << int(P::TooLong);
}

// Renamed, recorded, exported and imported.
void TestSubjectPackage::namesWithDotsWorkThroughout()
{
    QFETCH(QString, name);
    QFETCH(int, problem);
    StoreFixtures::makeSubjectFile(store + "/Новый.qmz");
    SubjectStore::NameProblem found;
    const QString path = SubjectStore::rename(store + "/Новый.qmz", name, false, &found);
    QCOMPARE(int(found), problem);
    QCOMPARE(path.isEmpty(), QFileInfo::exists(store + "/Новый.qmz"));
    if (path.isEmpty())
        return;
    const QString video =
        InspectionMedia::newVideoFileName(Inspection(path), QDateTime(QDate(2024, 2, 1), QTime(10, 10)));
    touch(video);
    QCOMPARE(InspectionMedia::timeStampOf(video), QString("01022024101000"));
    const auto written = SubjectPackage::exportSubject(path, out, never);
    QCOMPARE(SubjectPackage::importPackage(written.package, target, never).imported.size(), 2);
}

void TestSubjectPackage::otherSubjectsKeepTheirRecordings_data()
{
    QTest::addColumn<QStringList>("other");     // a subject in the target folder and its test
    QTest::addColumn<QStringList>("imported");  // replaced by the package: subject and test
    QTest::addColumn<bool>("sameId");           // the package's test takes the other's id, so the names meet
    QTest::newRow("into a longer name") << QStringList{"Иван-Петров", "Т"} << QStringList{"Иван", "Петров-Т"} << true;
    QTest::newRow("into a shorter name") << QStringList{"Иван", "Петров-Т"} << QStringList{"Иван-Петров", "Т"} << true;
    QTest::newRow("a longer name's own") << QStringList{"Петрова", "Т"} << QStringList{"Петрова-Водкина", "Т"} << false;
}

void TestSubjectPackage::otherSubjectsKeepTheirRecordings()
{
    QFETCH(QStringList, other);
    QFETCH(QStringList, imported);
    QFETCH(bool, sameId);
    const QStringList theirs = makeRecordedSubject(target + "/" + other[0] + ".qmz", {other[1]}, {});
    Inspection hostile(store + "/" + imported[0] + ".qmz");
    hostile.appendTest(StoreFixtures::recordedTest(imported[1], 40));
    if (sameId)
        hostile.tests[0].id = QUuid(theirs[1].right(42).left(38));
    StoreFixtures::saveTests(hostile);
    touch(InspectionMedia::testVideoPath(hostile, hostile.tests[0]), "new");
    touch(target + "/" + imported[0] + ".qmz", "old");
    const auto written = SubjectPackage::exportSubject(hostile.path, out, never);
    QCOMPARE(SubjectPackage::importPackage(written.package, target, always).skippedCount, sameId ? 1 : 0);
    QCOMPARE(StoreFixtures::fileBytes(theirs[1]), other[1].toUtf8());
    QCOMPARE(SubjectPackage::packageFiles(target + "/" + imported[0] + ".qmz").size(), sameId ? 1 : 2);
}

// The journal of a save cut short, holding the old file's pages.
void TestSubjectPackage::leftoverJournalNeverReachesTheImport()
{
    const QStringList old = makeRecordedSubject(store + "/old/X.qmz", {"Старый1", "Старый2"}, {});
    const QStringList fresh = makeRecordedSubject(store + "/X.qmz", {"Новый"}, {});
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(old[0]).constData(), &db);
    // A spilled cache syncs the journal, which makes it hot.
    QVERIFY(HostileSubjects::execute(db, "PRAGMA cache_size=1; BEGIN; UPDATE inspection SET data = zeroblob(9);"));
    QVERIFY(QFile::copy(old[0] + "-journal", target + "/X.qmz-journal"));
    sqlite3_close_v2(db);
    QVERIFY(QFile::copy(old[0], target + "/X.qmz"));
    const auto written = SubjectPackage::exportSubject(fresh[0], out, never);
    QCOMPARE(SubjectPackage::importPackage(written.package, target, always).imported.size(), 2);
    QProcess sqlite;  // its first open would roll a journal left beside it in
    sqlite.start("sqlite3", {target + "/X.qmz", "PRAGMA integrity_check"});
    QVERIFY(sqlite.waitForFinished(10000));
    QCOMPARE(sqlite.readAllStandardOutput(), QByteArray("ok\n"));
    QCOMPARE(StoreFixtures::fileBytes(target + "/X.qmz"), StoreFixtures::fileBytes(fresh[0]));
}

void TestSubjectPackage::subjectInAnotherWritersTransactionIsNotReplaced()
{
    const QStringList old = makeRecordedSubject(target + "/X.qmz", {"Старый"}, {});
    const QStringList fresh = makeRecordedSubject(store + "/X.qmz", {"Новый"}, {});
    const auto written = SubjectPackage::exportSubject(fresh[0], out, never);
    const QByteArray before = StoreFixtures::fileBytes(old[0]);
    LockHolder other(old[0], "BEGIN IMMEDIATE");
    QVERIFY(other.isHeld());
    QVERIFY(other.run("INSERT INTO inspection (test_id, data_type, data) VALUES ('other', 99, x'00')"));
    const auto read = SubjectPackage::importPackage(written.package, target, always);
    QVERIFY(read.imported.isEmpty());
    QVERIFY2(read.stop.contains("занят другой программой"), qPrintable(read.stop));
    QVERIFY(other.commit());
    QCOMPARE(StoreFixtures::rowsOf(old[0], 99).size(), 1);
    QVERIFY(StoreFixtures::fileBytes(old[0]) != before);
}

// A 99 MB package whose subject of 1 GB aborted the import, and was left in
// the target to abort the program whenever it was chosen.
void TestSubjectPackage::subjectExpandingPastTheBoundsIsRefusedUnwritten()
{
    {
        const QString made = QDir::homePath() + "/expanding.qmz";
        QVERIFY(HostileSubjects::makeWithTest(
            made, HostileSubjects::emptyQuestionsStructure(HostileSubjects::kMostEmptyQuestions)));
        StoreFixtures::writeFile(out + "/p.dqmz", entry("Иванов.qmz", compressed(StoreFixtures::fileBytes(made))));
        QFile::remove(made);
    }
    const PeakMemory memory;
    const auto read = SubjectPackage::importPackage(out + "/p.dqmz", target, always);
    QVERIFY2(read.stop.contains("больше тех, что создаёт программа"), qPrintable(read.stop));
    QVERIFY(read.imported.isEmpty());
    QCOMPARE(QDir(target).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    QVERIFY2(memory.growthBytes() < 320 << 20, qPrintable(QString::number(memory.growthBytes() >> 20)));
}

// A test or pre-test video linked to a file outside the data folder put that
// file's bytes into the package.
void TestSubjectPackage::recordingsThatAreLinksStayOut()
{
    const QStringList files = makeRecordedSubject(store + "/Иван.qmz", {"Тест"}, {"01022024101010.avi"});
    touch(QDir::homePath() + "/work/secret", "not the subject's");
    for (const QString &recording : files.mid(1)) {
        QFile::remove(recording);
        QVERIFY(QFile::link(QDir::homePath() + "/work/secret", recording));
    }
    QCOMPARE(SubjectPackage::packageFiles(files[0]), QStringList{files[0]});
    const SubjectPackage::ExportResult written = SubjectPackage::exportSubject(files[0], out, never);
    QCOMPARE(written.files, QStringList{files[0]});
    QCOMPARE(written.links.size(), 2);
    for (const QString &recording : files.mid(1))
        QVERIFY(written.leftOutReport().contains(QFileInfo(recording).fileName()));
}

void TestSubjectPackage::namesThatLookTheSameAreTheSame_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("packaged");
    const QString composed = QStringLiteral("Иванов Й").normalized(QString::NormalizationForm_C);
    const QString decomposed = composed.normalized(QString::NormalizationForm_D);
    QVERIFY(composed != decomposed);
    QTest::newRow("decomposed package") << composed << decomposed;
    QTest::newRow("decomposed subject") << decomposed << composed;
}

// A decomposed «Й» beside a composed one gave a second subject that looked
// the same, without a question.
void TestSubjectPackage::namesThatLookTheSameAreTheSame()
{
    QFETCH(QString, stored);
    QFETCH(QString, packaged);
    touch(target + "/" + stored + ".qmz", "old");
    StoreFixtures::writeFile(out + "/p.dqmz", entry((packaged + ".qmz").toUtf8(), compressed(sqliteBytes())));
    QStringList asked;
    const auto ask = [&asked](bool yes) {
        return [&asked, yes](const QString &name) {
            asked << name;
            return yes;
        };
    };
    QVERIFY(SubjectPackage::importPackage(out + "/p.dqmz", target, ask(false)).refused);
    QCOMPARE(StoreFixtures::fileBytes(target + "/" + stored + ".qmz"), QByteArray("old"));
    SubjectPackage::importPackage(out + "/p.dqmz", target, ask(true));
    QCOMPARE(asked.size(), 2);
    const QString name = stored.normalized(QString::NormalizationForm_C) + ".qmz";
    QCOMPARE(QDir(target).entryList({"*.qmz"}, QDir::Files), QStringList{name});
    QCOMPARE(StoreFixtures::fileBytes(target + "/" + name), sqliteBytes());
}

VUG_TEST_MAIN(TestSubjectPackage, QCoreApplication)
#include "tst_subjectpackage.moc"
