#include "data/GenericSettings.h"
#include "data/SpravDB.h"
#include "editor/InspectionEditFancy.h"
#include "subjects/PersoneDockWindow.h"
#include "tests/subjects/SubjectFixtures.h"
#include "tests/support/LockHolder.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QDirIterator>
#include <QFileSystemModel>
#include <QLineEdit>

using namespace SubjectFixtures;

Q_DECLARE_METATYPE(Inspection *)

namespace {

QString dataRoot()
{
    GenericSettings settings;
    settings.load();
    return QFileInfo(settings.sRootFolder).absoluteFilePath();
}

// Every file and folder below the data root, as paths relative to it.
QStringList storeEntries(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << QDir(root).relativeFilePath(it.next());
    entries.sort();
    return entries;
}

}  // namespace

// The subject dock inside the real examination editor: what the editor holds
// follows every rename and deletion, and nothing is written into a vanished path.
class TestEditorSubjects : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void renameCarriesTheLoadedSubjectAndItsRecordings();
    void deletedSubjectLeavesNothingBehind();
    void deletedFolderDropsTheLoadedSubject();
    void putOffLeavingKeepsTheTreeOnTheOpenSubject();
    void foreignRemovalEndsTheChoice_data();
    void foreignRemovalEndsTheChoice();

private:
    PersoneDockWindow *dockOf(InspectionEditFancy &editor);
    // Chooses the subject in the dock and marks its recorded test's marks as moved.
    void chooseWithMovedMarks(InspectionEditFancy &editor, const QString &path);

    QString root;
    QString lastPath;
    Inspection *lastInspection = nullptr;
};

void TestEditorSubjects::init()
{
    qRegisterMetaType<Inspection *>();
    root = dataRoot();
    QDir(root).removeRecursively();
    QDir(trashFolder()).removeRecursively();
    QVERIFY(QDir().mkpath(root + "/Отдел"));
    SpravDB::sPathFileSprav = QDir::homePath() + "/svorkel.sqmz";
    lastPath.clear();
    lastInspection = nullptr;
}

PersoneDockWindow *TestEditorSubjects::dockOf(InspectionEditFancy &editor)
{
    connect(&editor, &InspectionEditFancy::notifyChangePersone, this,
            [this](const QString &path, Inspection *inspection) {
                lastPath = path;
                lastInspection = inspection;
            },
            Qt::UniqueConnection);
    return editor.findChild<PersoneDockWindow *>("PersoneDockWindow");
}

void TestEditorSubjects::chooseWithMovedMarks(InspectionEditFancy &editor, const QString &path)
{
    PersoneDockWindow *dock = dockOf(editor);
    dock->treeView()->setCurrentIndex(treeIndex(*dock, path));
    QCOMPARE(lastPath, path);
    QVERIFY(lastInspection && !lastInspection->tests.isEmpty());
    for (Inspection::_Test &test : lastInspection->tests)
        test.labelsModified = test.recorded;
}

void TestEditorSubjects::renameCarriesTheLoadedSubjectAndItsRecordings()
{
    const QStringList files = makeRecordedSubject(root + "/Отдел/Иван.qmz", {"Тест1", "Тест2"},
                                                  {"01022024101010.avi", "01022024101011.aac"});
    InspectionEditFancy editor;
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    PersoneDockWindow *dock = dockOf(editor);
    chooseWithMovedMarks(editor, files[0]);

    dock->treeView()->edit(treeIndex(*dock, files[0]));
    auto *line = dock->treeView()->findChild<QLineEdit *>();
    QVERIFY(line);
    line->setText(" Петров ");
    QTest::keyClick(line, Qt::Key_Return);
    QTRY_COMPARE(lastPath, root + "/Отдел/Петров.qmz");
    QCOMPARE(lastInspection->path, root + "/Отдел/Петров.qmz");
    QTest::qWait(300);
    QCOMPARE(storeEntries(root),
             (QStringList{"Отдел", "Отдел/__1__", "Отдел/__1__/" + fileNames(files)[0].replace("Иван", "Петров"),
                          "Отдел/__1__/" + fileNames(files)[1].replace("Иван", "Петров"),
                          "Отдел/__1__/Петров.01022024101010.avi", "Отдел/__1__/Петров.01022024101011.aac",
                          "Отдел/Петров.qmz"}));
}

void TestEditorSubjects::deletedSubjectLeavesNothingBehind()
{
    const QStringList files = makeRecordedSubject(root + "/Отдел/Иван.qmz", {"Тест1"}, {"01022024101010.avi"});
    StoreFixtures::makeSubjectFile(root + "/Иванов.qmz");
    InspectionEditFancy editor;
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    PersoneDockWindow *dock = dockOf(editor);
    chooseWithMovedMarks(editor, files[0]);
    {
        MessageBoxAnswerer answers({QMessageBox::Yes});
        dock->action_DeleteUser();
        QCOMPARE(answers.unexpected(), 0);
    }
    QCOMPARE(lastPath, QString());
    QCOMPARE(lastInspection, nullptr);
    QVERIFY(editor.inspection().path.isEmpty());
    QTest::qWait(300);
    QCOMPARE(storeEntries(root), (QStringList{"Иванов.qmz", "Отдел", "Отдел/__1__"}));
    QCOMPARE(trashedNames(), fileNames(files));
}

void TestEditorSubjects::deletedFolderDropsTheLoadedSubject()
{
    const QStringList files = makeRecordedSubject(root + "/Отдел/Иван.qmz", {"Тест1"}, {"01022024101010.avi"});
    InspectionEditFancy editor;
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    PersoneDockWindow *dock = dockOf(editor);
    chooseWithMovedMarks(editor, files[0]);
    // The folder is acted on while the subject stays loaded, as after a choice in the links.
    {
        const QSignalBlocker quiet(dock->treeView()->selectionModel());
        dock->treeView()->setCurrentIndex(treeIndex(*dock, root + "/Отдел"));
    }
    QCOMPARE(lastPath, files[0]);
    {
        MessageBoxAnswerer answers({QMessageBox::Yes});
        dock->action_DeleteFolder();
        QCOMPARE(answers.unexpected(), 0);
    }
    QCOMPARE(lastPath, QString());
    QCOMPARE(lastInspection, nullptr);
    QTest::qWait(300);
    QCOMPARE(storeEntries(root), QStringList());
}

// A subject whose recording is still to be saved stays open when leaving it
// is put off ("Отложить"): the tree shows it again, not the entry clicked.
void TestEditorSubjects::putOffLeavingKeepsTheTreeOnTheOpenSubject()
{
    const QString open = makeRecordedSubject(root + "/Отдел/Иван.qmz", {"Тест1"}, {})[0];
    const QString other = makeRecordedSubject(root + "/Отдел/Пётр.qmz", {"Тест1"}, {})[0];
    InspectionEditFancy editor;
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    PersoneDockWindow *dock = dockOf(editor);
    dock->treeView()->setCurrentIndex(treeIndex(*dock, open));
    Inspection::_Test &test = lastInspection->tests[0];
    QCOMPARE(lastInspection->loadRecording(&test), StoreResult::Ok);
    lastInspection->setRecordingPending(test.id, true);
    LockHolder holder(open, "BEGIN EXCLUSIVE");
    MessageBoxAnswerer answers({QMessageBox::Cancel});
    const QRect clicked = dock->treeView()->visualRect(treeIndex(*dock, other));
    QTest::mouseClick(dock->treeView()->viewport(), Qt::LeftButton, {}, clicked.center());
    QCOMPARE(answers.asked().size(), 1);
    QCOMPARE(editor.inspection().path, open);
    QTRY_COMPARE(dock->treeView()->currentIndex(), treeIndex(*dock, open));
    QCOMPARE(dock->treeView()->selectionModel()->selectedIndexes(), QModelIndexList{treeIndex(*dock, open)});
}

// Another program renames or deletes the chosen subject, or its folder: the
// choice ends, told, and no neighbouring subject is opened in its place.
void TestEditorSubjects::foreignRemovalEndsTheChoice_data()
{
    QTest::addColumn<QString>("renamed");  // empty: deleted
    QTest::addColumn<int>("burst");  // neighbours renamed along with it
    QTest::newRow("subject renamed") << "Отдел/Пётр.qmz" << 0;
    QTest::newRow("subject deleted") << QString() << 0;
    QTest::newRow("folder renamed") << "Отдел2" << 0;
    QTest::newRow("burst of renames") << "Отдел/Пётр.qmz" << 300;
}

void TestEditorSubjects::foreignRemovalEndsTheChoice()
{
    QFETCH(QString, renamed);
    QFETCH(int, burst);
    const QString chosen = root + "/Отдел/Иван.qmz";
    StoreFixtures::makeSubjectFile(chosen);
    for (const char *name : {"Анна", "Яков"})
        StoreFixtures::makeSubjectFile(root + "/Отдел/" + QString(name) + ".qmz");
    for (int n = 0; n < burst; ++n)
        QVERIFY(QFile(root + QString("/Отдел/С%1.qmz").arg(n, 4, 10, QChar('0'))).open(QIODevice::WriteOnly));
    QStringList announced;
    InspectionEditFancy editor;
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    PersoneDockWindow *dock = dockOf(editor);
    dock->treeView()->setCurrentIndex(treeIndex(*dock, chosen));
    QCOMPARE(editor.inspection().path, chosen);
    connect(&editor, &InspectionEditFancy::notifyChangePersone, this,
            [&announced](const QString &path) { announced << path; });
    MessageBoxAnswerer answers({QMessageBox::Ok});

    const QString moved = root + "/" + (renamed.contains('/') ? renamed : renamed + "/Иван.qmz");
    if (renamed.isEmpty())
        QVERIFY(QFile::remove(chosen));
    else
        QVERIFY(QFile::rename(renamed.contains('/') ? chosen : root + "/Отдел", root + "/" + renamed));
    for (int n = 0; n < burst; ++n) {
        const QString name = root + QString("/Отдел/С%1.qmz").arg(n, 4, 10, QChar('0'));
        QVERIFY(QFile::rename(name, QString(name).replace("С", "Т")));
    }
    QTRY_VERIFY_WITH_TIMEOUT(editor.inspection().path.isEmpty(), 20000);
    if (!renamed.isEmpty())
        QVERIFY(treeIndex(*dock, moved).isValid());
    if (burst > 0)
        QVERIFY(treeIndex(*dock, root + QString("/Отдел/Т%1.qmz").arg(burst - 1, 4, 10, QChar('0'))).isValid());
    QTest::qWait(200);
    QCOMPARE(announced, QStringList{QString()});
    QCOMPARE(answers.asked().size(), 1);
    QVERIFY(answers.asked()[0].contains(chosen));
    QVERIFY(!dock->treeView()->currentIndex().isValid());
}

VUG_TEST_MAIN(TestEditorSubjects, QApplication)
#include "tst_editorsubjects.moc"
