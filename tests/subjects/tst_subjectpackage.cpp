#include "subjects/SubjectPackage.h"
#include "tests/subjects/SubjectFixtures.h"
#include "tests/support/TestHome.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QProcess>
#include <QRandomGenerator>
#include <QtEndian>

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

void TestSubjectPackage::roundTripIntoAnEmptyStore()
{
    const QStringList files = makeRecordedSubject(store + "/Иванов.qmz", {"Тест1", "Тест2"},
                                                  {"01022024101010.avi", "01022024101011.AVI", "01022024101012.aac"});
    const SubjectPackage::ExportResult written = SubjectPackage::exportSubject(files[0], out);
    QCOMPARE(written.error, QString());
    QCOMPARE(written.package, out + "/Иванов.dqmz");
    QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList{"Иванов.dqmz"});
    QCOMPARE(written.files.size(), 5);  // no speech file
    QCOMPARE(written.files.mid(1, 2), (QStringList{files[3], files[4]}));

    const SubjectPackage::ImportResult read =
        SubjectPackage::importPackage(written.package, target, [](const QString &) { return false; });
    QCOMPARE(read.stop, QString());
    QVERIFY2(read.skipped.isEmpty(), qPrintable(read.skipped.join(";")));
    QVERIFY(!read.cut && !read.refused);
    QCOMPARE(read.imported.size(), 5);
    QMap<QString, QByteArray> expected = snapshot(store);
    expected.remove("__1__/Иванов.01022024101012.aac");
    QCOMPARE(snapshot(target), expected);
}

void TestSubjectPackage::subjectWithoutRecordingsGivesOneEntry()
{
    StoreFixtures::makeSubjectFile(store + "/Петров.qmz");
    const SubjectPackage::ExportResult written = SubjectPackage::exportSubject(store + "/Петров.qmz", out);
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
    const SubjectPackage::ExportResult written = SubjectPackage::exportSubject(files[0], out);
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
    const QString package = SubjectPackage::exportSubject(files[0], out).package;
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
    const QByteArray recording("Иванов-1.avi");
    QTest::newRow("negative data length") << subject + int32(recording.size()) + recording + int32(-1) + video << one;
    QTest::newRow("zero data length") << subject + int32(recording.size()) + recording + int32(0) + video << one;
    QTest::newRow("huge data length") << int32(16) + QByteArray("Иванов.qmz") + int32(0x7fffffff) + video
                                      << QStringList();
    QTest::newRow("data past the end") << subject + entry("Иванов-1.avi", video).chopped(3) << one;
    QTest::newRow("not zlib") << subject + entry("Иванов-1.avi", QByteArray("\0\0\0\5", 4) + "plain") << one;
    QByteArray bomb = compressed(QByteArray(1 << 20, '\0'));
    bomb.replace(0, 4, QByteArray("\xff\xff\xff\xff", 4));
    QTest::newRow("declares 4 GiB") << subject + entry("Иванов-1.avi", bomb) << one;
    QByteArray longer = compressed("video that is longer");
    longer.replace(0, 4, QByteArray("\0\0\0\5", 4));
    QTest::newRow("longer than declared") << subject + entry("Иванов-1.avi", longer) << one;
    QByteArray shorter = compressed("vid");
    shorter.replace(0, 4, QByteArray("\0\0\0\5", 4));
    QTest::newRow("shorter than declared") << subject + entry("Иванов-1.avi", shorter) << one;
    QTest::newRow("stream ends early") << subject + entry("Иванов-1.avi", video + "junk") << one;
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
    const QByteArray package = StoreFixtures::fileBytes(SubjectPackage::exportSubject(files[0], out).package);
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
        QCOMPARE(QDir(target).entryList({".import-*"}, QDir::Files | QDir::Hidden), QStringList());
    }
}

void TestSubjectPackage::tooLargeFileIsRefusedBeforeWriting()
{
    const QStringList files = makeRecordedSubject(store + "/Иванов.qmz", {"Тест"}, {});
    QFile video(files[1]);
    QVERIFY(video.resize(Q_INT64_C(0x100000000)));  // sparse: 4 GiB without the disk space
    const SubjectPackage::ExportResult written = SubjectPackage::exportSubject(files[0], out);
    QVERIFY(written.package.isEmpty());
    QVERIFY(written.error.contains(files[1]));
    QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList());
}

VUG_TEST_MAIN(TestSubjectPackage, QCoreApplication)
#include "tst_subjectpackage.moc"
