#include "subjects/SubjectStore.h"
#include "tests/subjects/SubjectFixtures.h"
#include "tests/support/TestHome.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

using namespace SubjectFixtures;

class TestSubjectStore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void newNamesTakeTheFirstFreeNumber();
    void newSubjectFileHoldsAnEmptyTable();
    void namesAreCheckedAfterTrimming_data();
    void namesAreCheckedAfterTrimming();
    void renameMovesOnlyWithinTheFolder();
    void subjectFilesAreItsOwn();
    void trashTakesTheSubjectWithItsRecordings();
    void aTrashThatCannotBeMadeChangesNothing();
    void aFreshHomeGetsItsTrash();

private:
    QString store;
};

void TestSubjectStore::init()
{
    store = QDir::homePath() + "/store";
    QDir(store).removeRecursively();
    QDir(trashFolder()).removeRecursively();
    QFile::remove(trashFolder());
    QVERIFY(QDir().mkpath(store));
}

void TestSubjectStore::newNamesTakeTheFirstFreeNumber()
{
    QCOMPARE(SubjectStore::createFolder(store, "Новая папка%1"), store + "/Новая папка0");
    QCOMPARE(SubjectStore::createFolder(store, "Новая папка%1"), store + "/Новая папка1");
    for (int i = 2; i < 100; ++i)
        QVERIFY(QDir(store).mkdir(QString("Новая папка%1").arg(i)));
    QCOMPARE(SubjectStore::createFolder(store, "Новая папка%1"), QString());

    QCOMPARE(SubjectStore::freeSubjectPath(store, "Новый обследуемый%0"), store + "/Новый обследуемый0.qmz");
    for (int i = 0; i < 100; ++i) {
        if (i != 57)
            touch(store + QString("/Новый обследуемый%1.qmz").arg(i));
    }
    QCOMPARE(SubjectStore::freeSubjectPath(store, "Новый обследуемый%0"), store + "/Новый обследуемый57.qmz");
    touch(store + "/Новый обследуемый57.qmz");
    QCOMPARE(SubjectStore::freeSubjectPath(store, "Новый обследуемый%0"), QString());
}

// Read back by SQLite's own shell, not through our store.
void TestSubjectStore::newSubjectFileHoldsAnEmptyTable()
{
    const QString path = SubjectStore::freeSubjectPath(store, "Новый обследуемый%0");
    StoreFixtures::makeSubjectFile(path);
    QProcess sqlite;
    sqlite.start("sqlite3", {path, "SELECT name FROM sqlite_master WHERE type='table'; SELECT count(*) FROM inspection;"});
    QVERIFY(sqlite.waitForFinished(10000));
    QCOMPARE(sqlite.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(sqlite.readAllStandardOutput()), QString("inspection\n0\n"));
}

void TestSubjectStore::namesAreCheckedAfterTrimming_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("problem");
    using P = SubjectStore::NameProblem;
    QTest::newRow("blanks") << " Иванов " << int(P::None);
    QTest::newRow("empty") << "" << int(P::Empty);
    QTest::newRow("only blanks") << "   " << int(P::Empty);
    QTest::newRow("up and out") << "../x" << int(P::LeadingDot);
    QTest::newRow("slash") << "a/b" << int(P::Separator);
    QTest::newRow("backslash") << "a\\b" << int(P::Separator);
    QTest::newRow("initials") << "И.И" << int(P::None);
    QTest::newRow("line break") << "Иван\nов" << int(P::Control);
    QTest::newRow("tab") << "Иван\tов" << int(P::Control);
    QTest::newRow("unicode line break") << QString("Иван") + QChar(0x2028) + "ов" << int(P::Control);
}

void TestSubjectStore::namesAreCheckedAfterTrimming()
{
    QFETCH(QString, text);
    QFETCH(int, problem);
    QCOMPARE(int(SubjectStore::checkName(text)), problem);
}

void TestSubjectStore::renameMovesOnlyWithinTheFolder()
{
    using P = SubjectStore::NameProblem;
    P problem;
    touch(store + "/Новый.qmz");
    QCOMPARE(SubjectStore::rename(store + "/Новый.qmz", " Иванов ", false, &problem), store + "/Иванов.qmz");
    QVERIFY(QFileInfo::exists(store + "/Иванов.qmz") && !QFileInfo::exists(store + "/Новый.qmz"));

    for (const QString &bad : {QString("../x"), QString(), QString("a\nb")}) {
        QCOMPARE(SubjectStore::rename(store + "/Иванов.qmz", bad, false, &problem), QString());
        QVERIFY(problem != P::None);
    }
    QCOMPARE(QDir(store).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Иванов.qmz"});
    QCOMPARE(QDir(QDir::homePath()).entryList({"x*"}), QStringList());

    // Same name: nothing to do. A taken name: refused, even for an empty folder,
    // which rename(2) would silently replace.
    QCOMPARE(SubjectStore::rename(store + "/Иванов.qmz", "Иванов", false, &problem), QString());
    QCOMPARE(problem, P::Unchanged);
    touch(store + "/Петров.qmz", "petrov");
    QCOMPARE(SubjectStore::rename(store + "/Иванов.qmz", "Петров", false, &problem), QString());
    QCOMPARE(problem, P::Taken);
    QCOMPARE(StoreFixtures::fileBytes(store + "/Петров.qmz"), QByteArray("petrov"));
    QVERIFY(QDir(store).mkdir("A") && QDir(store).mkdir("B"));
    touch(store + "/A/a.qmz");
    QCOMPARE(SubjectStore::rename(store + "/A", "B", true, &problem), QString());
    QCOMPARE(problem, P::Taken);
    QCOMPARE(SubjectStore::rename(store + "/A", "Отдел", true, &problem), store + "/Отдел");
    QVERIFY(QFileInfo::exists(store + "/Отдел/a.qmz"));
}

void TestSubjectStore::subjectFilesAreItsOwn()
{
    const QStringList ivan = makeRecordedSubject(store + "/Иван.qmz", {"Тест1", "Тест2"},
                                                 {"01022024101010.avi", "01022024101011.AAC"});
    makeRecordedSubject(store + "/Иванов.qmz", {"Тест1"}, {"01022024101012.avi"});
    touch(store + "/__1__/Иван.0102202410101.avi");    // 13 digits
    touch(store + "/__1__/Иван.01022024101013.mp4");   // no recording of ours
    touch(store + "/__1__/Иван-Тест9-{00000000-0000-0000-0000-000000000001}.avi");  // no such test
    QCOMPARE(SubjectStore::subjectFiles(store + "/Иван.qmz"), ivan);

    // A damaged file lists only itself and its pre-test files; nothing creates "__1__".
    QVERIFY(QDir().mkpath(store + "/Отдел"));
    touch(store + "/Отдел/Сидоров.qmz", "not a database at all");
    QCOMPARE(SubjectStore::subjectFiles(store + "/Отдел/Сидоров.qmz"), QStringList{store + "/Отдел/Сидоров.qmz"});
    QVERIFY(!QFileInfo::exists(store + "/Отдел/__1__"));
}

void TestSubjectStore::trashTakesTheSubjectWithItsRecordings()
{
    const QStringList ivan = makeRecordedSubject(store + "/Иван.qmz", {"Тест1", "Тест2"},
                                                 {"01022024101010.avi", "01022024101011.aac"});
    const QStringList ivanov = makeRecordedSubject(store + "/Иванов.qmz", {"Тест1"}, {"01022024101012.avi"});
    QCOMPARE(ivan.size(), 5);
    QCOMPARE(SubjectStore::trashSubject(store + "/Иван.qmz"), QString());
    QCOMPARE(trashedNames(), fileNames(ivan));
    for (const QString &path : ivan)
        QVERIFY(!QFileInfo::exists(path));
    for (const QString &path : ivanov)
        QVERIFY(QFileInfo::exists(path));
}

void TestSubjectStore::aTrashThatCannotBeMadeChangesNothing()
{
    const QStringList ivan = makeRecordedSubject(store + "/Иван.qmz", {"Тест1"}, {"01022024101010.avi"});
    QVERIFY(QDir().mkpath(QFileInfo(trashFolder()).absolutePath()));
    touch(trashFolder(), "a file where the trash should be");
    QCOMPARE(SubjectStore::trashSubject(store + "/Иван.qmz"), store + "/Иван.qmz");
    for (const QString &path : ivan)
        QVERIFY(QFileInfo::exists(path));
}

// A new user's home has no data folder yet: the trash is made with it.
void TestSubjectStore::aFreshHomeGetsItsTrash()
{
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(QDir::homePath() + "/fresh/share"));
    const QStringList ivan = makeRecordedSubject(store + "/Иван.qmz", {"Тест1"}, {"01022024101010.avi"});
    const QString result = SubjectStore::trashSubject(store + "/Иван.qmz");
    const QStringList trashed = trashedNames();
    qputenv("XDG_DATA_HOME", saved);
    QCOMPARE(result, QString());
    QCOMPARE(trashed, fileNames(ivan));
    QVERIFY(trashFolder().startsWith(QString::fromLocal8Bit(saved)));
}

VUG_TEST_MAIN(TestSubjectStore, QCoreApplication)
#include "tst_subjectstore.moc"
