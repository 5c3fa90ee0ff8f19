#include "data/BinaryJson.h"
#include "subjects/PersoneDockWindow.h"
#include "subjects/SubjectClipboard.h"
#include "tests/data/HostileSubjects.h"
#include "tests/subjects/SubjectFixtures.h"
#include "tests/support/DeepBinaryJson.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QClipboard>
#include <QFileSystemModel>
#include <QJsonArray>
#include <QMimeData>
#include <QProcess>

using namespace SubjectFixtures;

Q_DECLARE_METATYPE(SubjectClipboard::PasteResult)

namespace {

QStringList testNames(const QString &path)
{
    Inspection subject;
    subject.load(path);
    QStringList names;
    for (const Inspection::_Test &test : subject.tests)
        names << test.name;
    names.sort();
    return names;
}

QMimeData *payload(const QByteArray &bytes)
{
    auto *data = new QMimeData;
    data->setData(SubjectClipboard::subjectFormat, bytes);
    return data;
}

}  // namespace

class TestSubjectClipboard : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void copiedTestsArePastedAsNewTests();
    void emptyOrForeignClipboardDoesNothing();
    void malformedPayloadsWriteNothing_data();
    void malformedPayloadsWriteNothing();
    void subjectThatCannotTakeTestsIsTold();
    void payloadOfMoreTestsThanTheLimitAddsNothing();
    void payloadExpandingPastTheBoundsAddsNothing_data();
    void payloadExpandingPastTheBoundsAddsNothing();
    void dockCopiesAndPastesOnSubjectsOnly();
    void copyReachesAnotherProcess();

private:
    QString store;
    QString ivanov;
    QString petrov;
};

void TestSubjectClipboard::init()
{
    store = QDir::homePath() + "/Documents/.VorkelData";
    QDir(store).removeRecursively();
    ivanov = store + "/Иванов.qmz";
    petrov = store + "/Петров.qmz";
    makeRecordedSubject(ivanov, {"Запись1", "Запись2"}, {});
    makeRecordedSubject(petrov, {"Своя"}, {});
    QApplication::clipboard()->clear();
}

void TestSubjectClipboard::copiedTestsArePastedAsNewTests()
{
    QVERIFY(SubjectClipboard::copyTests(ivanov));
    QVERIFY(SubjectClipboard::hasTests());
    const QMimeData *data = QApplication::clipboard()->mimeData();
    QVERIFY(data->data(SubjectClipboard::subjectFormat).startsWith("qbjs"));
    QVERIFY(data->text().contains("Запись1\n") && data->text().contains("Запись2\n"));

    int added = 0;
    QCOMPARE(SubjectClipboard::pasteTests(data, petrov, &added), SubjectClipboard::PasteResult::Pasted);
    QCOMPARE(added, 2);
    QCOMPARE(testNames(petrov), (QStringList{"Запись1", "Запись2", "Своя"}));
    QCOMPARE(SubjectClipboard::pasteTests(data, ivanov), SubjectClipboard::PasteResult::Pasted);
    QCOMPARE(testNames(ivanov), (QStringList{"Запись1", "Запись1", "Запись2", "Запись2"}));

    Inspection pasted;
    pasted.load(ivanov);
    QSet<QUuid> ids;
    int recorded = 0;
    for (const Inspection::_Test &test : pasted.tests) {
        ids.insert(test.id);
        recorded += test.recorded;
    }
    QCOMPARE(ids.size(), 4);
    QCOMPARE(recorded, 2);  // the copies carry no recording
    QCOMPARE(StoreFixtures::rowsOf(ivanov, InspectionDataType::Recording).size(), 2);
}

void TestSubjectClipboard::emptyOrForeignClipboardDoesNothing()
{
    const QByteArray before = StoreFixtures::fileBytes(petrov);
    QVERIFY(!SubjectClipboard::hasTests());
    QCOMPARE(SubjectClipboard::pasteTests(QApplication::clipboard()->mimeData(), petrov),
             SubjectClipboard::PasteResult::Nothing);
    QApplication::clipboard()->setText("Запись1\n\tВопрос\n");
    QVERIFY(!SubjectClipboard::hasTests());
    QCOMPARE(SubjectClipboard::pasteTests(QApplication::clipboard()->mimeData(), petrov),
             SubjectClipboard::PasteResult::Nothing);
    QCOMPARE(StoreFixtures::fileBytes(petrov), before);
}

void TestSubjectClipboard::malformedPayloadsWriteNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    Inspection source;
    source.load(ivanov);
    QJsonArray tests;
    for (Inspection::_Test &test : source.tests) {
        QJsonObject structure;
        test.toJson(structure);
        tests.append(structure);
    }
    const QByteArray valid = BinaryJson::encode({{"tests", tests}});
    QTest::newRow("truncated") << valid.left(valid.size() / 2);
    QByteArray random(512, '\0');
    for (int i = 0; i < random.size(); ++i)
        random[i] = char(i * 151 + 7);
    QTest::newRow("random bytes") << random;
    QTest::newRow("tests a string") << BinaryJson::encode({{"tests", "Запись"}});
    QTest::newRow("tests holding numbers") << BinaryJson::encode({{"tests", QJsonArray{tests[0], 1, 2}}});
    QTest::newRow("no tests") << BinaryJson::encode({{"other", tests}});
    QTest::newRow("100 000 levels deep") << deepBinaryJson(100000);
}

void TestSubjectClipboard::malformedPayloadsWriteNothing()
{
    QFETCH(QByteArray, bytes);
    const QByteArray before = StoreFixtures::fileBytes(petrov);
    QScopedPointer<QMimeData> data(payload(bytes));
    QCOMPARE(SubjectClipboard::pasteTests(data.data(), petrov), SubjectClipboard::PasteResult::Malformed);
    QCOMPARE(StoreFixtures::fileBytes(petrov), before);
}

void TestSubjectClipboard::payloadOfMoreTestsThanTheLimitAddsNothing()
{
    const QByteArray before = StoreFixtures::fileBytes(petrov);
    QJsonArray tests;
    for (int n = 0; n <= SubjectClipboard::MaxPastedTests; ++n)
        tests.append(QJsonObject());
    QScopedPointer<QMimeData> data(payload(BinaryJson::encode({{"tests", tests}})));
    QCOMPARE(SubjectClipboard::pasteTests(data.data(), petrov), SubjectClipboard::PasteResult::TooMany);
    QCOMPARE(StoreFixtures::fileBytes(petrov), before);
}

void TestSubjectClipboard::payloadExpandingPastTheBoundsAddsNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<SubjectClipboard::PasteResult>("result");
    using namespace HostileSubjects;
    QJsonArray questions;
    for (int n = 0; n <= InspectionStore::kMaxQuestions; ++n)
        questions.append(QJsonObject());
    const QJsonArray pastItsQuestions{QJsonObject{{"themis", questions}}};
    QTest::newRow("past a test's questions")
        << BinaryJson::encode({{"tests", pastItsQuestions}}) << SubjectClipboard::PasteResult::TooMany;
    const QByteArray manyQuestions = arrayOfOne(objectWith("themis", emptyQuestions(kMostEmptyQuestions)));
    QTest::newRow("8.4 million questions") << QByteArray("qbjs") + word(1) + objectWith("tests", manyQuestions)
                                           << SubjectClipboard::PasteResult::Malformed;
}

// A 128 MB payload of one such test aborted the paste.
void TestSubjectClipboard::payloadExpandingPastTheBoundsAddsNothing()
{
    QFETCH(QByteArray, bytes);
    const QByteArray before = StoreFixtures::fileBytes(petrov);
    QScopedPointer<QMimeData> data(payload(bytes));
    const PeakMemory memory;
    QTEST(SubjectClipboard::pasteTests(data.data(), petrov), "result");
    QVERIFY2(memory.growthBytes() < 320 << 20, qPrintable(QString::number(memory.growthBytes() >> 20)));
    QCOMPARE(StoreFixtures::fileBytes(petrov), before);
}

void TestSubjectClipboard::subjectThatCannotTakeTestsIsTold()
{
    QScopedPointer<QMimeData> data(SubjectClipboard::mimeOf(ivanov));
    touch(store + "/Чужой.qmz", "no database");
    QCOMPARE(SubjectClipboard::pasteTests(data.data(), store + "/Чужой.qmz"), SubjectClipboard::PasteResult::NotStored);
    QCOMPARE(StoreFixtures::fileBytes(store + "/Чужой.qmz"), QByteArray("no database"));
    QCOMPARE(SubjectClipboard::pasteTests(data.data(), store + "/Нет.qmz"), SubjectClipboard::PasteResult::NotStored);
    QVERIFY(!QFileInfo::exists(store + "/Нет.qmz"));
}

void TestSubjectClipboard::dockCopiesAndPastesOnSubjectsOnly()
{
    PersoneDockWindow dock;
    dock.initModel();
    const auto choose = [&](const QString &path) { dock.treeView()->setCurrentIndex(treeIndex(dock, path)); };
    choose(store);
    dock.onActionInspectionCopy();
    QVERIFY(!SubjectClipboard::hasTests());  // a folder copies nothing

    choose(ivanov);
    dock.onActionInspectionCopy();
    QVERIFY(SubjectClipboard::hasTests());
    choose(petrov);
    QSignalSpy announced(&dock, &PersoneDockWindow::notificationChangedPerosneSignal);
    dock.onActionInspectionPaste();
    QCOMPARE(announced.size(), 1);
    QCOMPARE(announced[0][1].toString(), petrov);
    QCOMPARE(testNames(petrov).size(), 3);

    choose(store);
    const QByteArray before = StoreFixtures::fileBytes(petrov);
    dock.onActionInspectionPaste();
    QCOMPARE(StoreFixtures::fileBytes(petrov), before);

    QApplication::clipboard()->setMimeData(payload("garbage"));
    choose(petrov);
    MessageBoxAnswerer answers({QMessageBox::Ok});
    dock.onActionInspectionPaste();
    QCOMPARE(answers.asked().size(), 1);
    QCOMPARE(StoreFixtures::fileBytes(petrov), before);
}

// The X clipboard between two programs: a helper copies and stays the owner.
void TestSubjectClipboard::copyReachesAnotherProcess()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs the X server's clipboard");
    QProcess copier;
    copier.start(QStringLiteral(SUBJECT_COPIER), {ivanov});
    QVERIFY(copier.waitForReadyRead(20000));
    QCOMPARE(copier.readLine().trimmed(), QByteArray("copied"));
    QTRY_VERIFY_WITH_TIMEOUT(SubjectClipboard::hasTests(), 10000);
    QCOMPARE(SubjectClipboard::pasteTests(QApplication::clipboard()->mimeData(), petrov),
             SubjectClipboard::PasteResult::Pasted);
    QCOMPARE(testNames(petrov), (QStringList{"Запись1", "Запись2", "Своя"}));
    copier.closeWriteChannel();
    QVERIFY(copier.waitForFinished(10000));
}

VUG_TEST_MAIN(TestSubjectClipboard, QApplication)
#include "tst_subjectclipboard.moc"
