#include "data/FileChooser.h"
#include "data/Inspection.h"
#include "data/SpravDB.h"
#include "recording/media/RecorderFactory.h"
#include "subjects/PersoneDockWindow.h"
#include "subjects/PersonePropertyDlg.h"
#include "subjects/PersoneSearchDlg.h"
#include "subjects/PersoneTagsWidget.h"
#include "subjects/PhotoPreViewDlg.h"
#include "tests/data/StoreFixtures.h"
#include "tests/support/FakeRecorder.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeView>

namespace {

QImage picture(QColor colour, QSize size = QSize(64, 48))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// "kind:rows" of the subject file, read with the sqlite3 command.
QString kindCounts(const QString &path)
{
    QProcess sqlite;
    sqlite.start(QStringLiteral("sqlite3"),
                 {path, "select group_concat(data_type || ':' || n) from (select data_type, count(*) as n "
                        "from inspection where data_type in (64, 128, 256, 512) group by data_type order by data_type)"});
    sqlite.waitForFinished(20000);
    return QString::fromUtf8(sqlite.readAllStandardOutput()).trimmed();
}

QString storedPreTest(const QString &path)
{
    Inspection subject(path);
    subject.loadPreTestConversation();
    return subject.preTestText;
}

InspectionPerson storedPerson(const QString &path)
{
    Inspection subject(path);
    InspectionPerson person;
    subject.loadPerson(person);
    return person;
}

template<typename T>
T *child(const QObject &dialog, const char *name)
{
    return dialog.findChild<T *>(QLatin1String(name));
}

QAction *photoAction(const PersonePropertyDlg &dialog, const QString &text)
{
    for (QAction *action : dialog.findChildren<QAction *>()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

void selectRow(QListView *list, int row)
{
    list->setCurrentIndex(list->model()->index(row, 0));
    list->selectionModel()->select(list->model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
}

}  // namespace

class TestPersonePropertyDlg : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void namesComeFromTheFileName_data();
    void namesComeFromTheFileName();
    void questionnaireRoundTrips_data();
    void questionnaireRoundTrips();
    void birthdayIsTypedFromTheEmptyField_data();
    void birthdayIsTypedFromTheEmptyField();
    void emptiedBirthdayIsStoredAsNone_data();
    void emptiedBirthdayIsStoredAsNone();
    void dateTypedOverTheWholeFieldReplacesIt_data();
    void dateTypedOverTheWholeFieldReplacesIt();
    void enterInTheKeyTreeEditsAndKeepsTheDialogOpen();
    void photosFromCameraAndFiles();
    void photosAreDeletedAndSaved();
    void unreadablePhotoIsToldAndKept();
    void filesAreAttachedDeletedAndSaved();
    void okWritesEverythingAndCancelNothing();
    void failedSaveKeepsTheDialogOpen();
    void anotherProgramsPhotoIsKeptAndTheSaveTold();
    void subjectDockOpensItAndAnnouncesTheSubject();

private:
    QString makeSubject(const QString &name);
    QString chosen;
    QList<FileChooser::Request> requests;
    FakeRecorder *recorder = nullptr;
    QTemporaryDir dir;
};

void TestPersonePropertyDlg::init()
{
    SpravDB::sPathFileSprav = dir.filePath(QStringLiteral("svorkel.sqmz"));
    requests.clear();
    chosen.clear();
    FileChooser::setChooser([this](const FileChooser::Request &request) {
        requests << request;
        return chosen;
    });
    RecorderFactory::install([this](int) {
        recorder = new FakeRecorder;
        return std::unique_ptr<VideoRecorder>(recorder);
    });
}

void TestPersonePropertyDlg::cleanup()
{
    FileChooser::setChooser({});
    RecorderFactory::install({});
}

QString TestPersonePropertyDlg::makeSubject(const QString &name)
{
    const QString path = dir.filePath(name);
    QFile::remove(path);
    Inspection subject(path);
    if (subject.saveTestStruct(nullptr) != StoreResult::Ok)
        return QString();
    return path;
}

void TestPersonePropertyDlg::namesComeFromTheFileName_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("three words") << "Иванов Иван Иванович.qmz" << QStringList{"Иванов", "Иван", "Иванович"};
    QTest::newRow("one word") << "Петров.qmz" << QStringList{"Петров", "", ""};
    QTest::newRow("two blanks") << "Сидоров  Сидор.qmz" << QStringList{"Сидоров", "", "Сидор"};
    QTest::newRow("four words") << "А Б В Г.qmz" << QStringList{"А", "Б", "В"};
}

void TestPersonePropertyDlg::namesComeFromTheFileName()
{
    QFETCH(QString, file);
    QFETCH(QStringList, names);
    const QString path = makeSubject(file);
    {
        PersonePropertyDlg dialog(nullptr, path);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Анкета обследуемого"));
        QCOMPARE(dialog.size(), QSize(800, 400));
        QCOMPARE(dialog.tabs()->count(), 5);
        const char *fields[] = {"LastName", "FirstName", "MiddleName"};
        for (int i = 0; i < 3; ++i) {
            auto *edit = child<QLineEdit>(dialog, fields[i]);
            QCOMPARE(edit->text(), names[i]);
            QVERIFY(!edit->isEnabled());
        }
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    const InspectionPerson stored = storedPerson(path);
    QVERIFY(stored.LastName.isEmpty() && stored.FirstName.isEmpty() && stored.MiddleName.isEmpty());
}

void TestPersonePropertyDlg::questionnaireRoundTrips_data()
{
    QTest::addColumn<int>("sex");
    QTest::addColumn<QDate>("birthday");
    QTest::newRow("none, no birthday") << 0 << QDate();
    QTest::newRow("male") << 1 << QDate(1980, 5, 17);
    QTest::newRow("female") << 2 << QDate(2001, 12, 31);
}

void TestPersonePropertyDlg::questionnaireRoundTrips()
{
    QFETCH(int, sex);
    QFETCH(QDate, birthday);
    const QString path = makeSubject(QStringLiteral("Иванов.qmz"));
    {
        PersonePropertyDlg dialog(nullptr, path);
        auto *date = child<QDateEdit>(dialog, "Birthday");
        QCOMPARE(date->text(), QStringLiteral("не указана"));
        if (birthday.isValid())
            date->setDate(birthday);
        if (sex == 1)
            dialog.findChildren<QRadioButton *>()[0]->setChecked(true);
        if (sex == 2)
            dialog.findChildren<QRadioButton *>()[1]->setChecked(true);
        child<QTextEdit>(dialog, "Comments")->setPlainText(QStringLiteral("<b>x</b>"));
        dialog.accept();
    }
    const InspectionPerson stored = storedPerson(path);
    QCOMPARE(stored.Sex, sex);
    QCOMPARE(stored.Birthday, birthday);
    QCOMPARE(stored.Comments, QStringLiteral("<b>x</b>"));

    // Shown again as stored, and saved again unchanged.
    PersonePropertyDlg again(nullptr, path);
    const QList<QRadioButton *> radios = again.findChildren<QRadioButton *>();
    QCOMPARE(radios[0]->isChecked(), sex == 1);
    QCOMPARE(radios[1]->isChecked(), sex == 2);
    QCOMPARE(child<QTextEdit>(again, "Comments")->toPlainText(), QStringLiteral("<b>x</b>"));
    again.accept();
    QCOMPARE(storedPerson(path).Comments, QStringLiteral("<b>x</b>"));
    QCOMPARE(storedPerson(path).Birthday, birthday);
}

void TestPersonePropertyDlg::birthdayIsTypedFromTheEmptyField_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("digits") << QStringLiteral("15031985");
    QTest::newRow("with dots") << QStringLiteral("15.03.1985");
}

void TestPersonePropertyDlg::birthdayIsTypedFromTheEmptyField()
{
    QFETCH(QString, typed);
    const QString path = makeSubject(QStringLiteral("Иванов.qmz"));
    {
        PersonePropertyDlg dialog(nullptr, path);
        dialog.show();
        auto *date = child<QDateEdit>(dialog, "Birthday");
        QTest::keyClicks(date, typed);
        dialog.accept();
    }
    QCOMPARE(storedPerson(path).Birthday, QDate(1985, 3, 15));
    PersonePropertyDlg dialog(nullptr, path);
    QCOMPARE(child<QDateEdit>(dialog, "Birthday")->text(), QStringLiteral("15.03.1985"));
}

void TestPersonePropertyDlg::emptiedBirthdayIsStoredAsNone_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Backspace") << int(Qt::Key_Backspace);
    QTest::newRow("Delete") << int(Qt::Key_Delete);
}

void TestPersonePropertyDlg::emptiedBirthdayIsStoredAsNone()
{
    QFETCH(int, key);
    const QString path = makeSubject(QStringLiteral("Иванов.qmz"));
    {
        PersonePropertyDlg dialog(nullptr, path);
        child<QDateEdit>(dialog, "Birthday")->setDate(QDate(1985, 3, 15));
        dialog.accept();
    }
    QCOMPARE(storedPerson(path).Birthday, QDate(1985, 3, 15));
    {
        PersonePropertyDlg dialog(nullptr, path);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *date = child<QDateEdit>(dialog, "Birthday");
        date->setFocus();
        QTest::keyClick(date, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(date, Qt::Key(key));
        dialog.accept();
    }
    QCOMPARE(storedPerson(path).Birthday, QDate());
    PersonePropertyDlg dialog(nullptr, path);
    QCOMPARE(child<QDateEdit>(dialog, "Birthday")->text(), QStringLiteral("не указана"));
}

void TestPersonePropertyDlg::dateTypedOverTheWholeFieldReplacesIt_data()
{
    QTest::addColumn<int>("searchField");  // -1: the questionnaire's birthday
    QTest::addColumn<bool>("separators");
    QTest::addColumn<QDate>("typed");
    QTest::newRow("birthday") << -1 << true << QDate(1975, 6, 22);
    QTest::newRow("birthday, digits only") << -1 << false << QDate(1975, 6, 22);
    QTest::newRow("birthday, one-digit day") << -1 << true << QDate(1975, 6, 5);
    QTest::newRow("search, birth from") << 0 << true << QDate(1980, 12, 31);
    QTest::newRow("search, birth to") << 1 << false << QDate(1980, 12, 31);
    QTest::newRow("search, examined to") << 3 << true << QDate(2024, 11, 30);
}

void TestPersonePropertyDlg::dateTypedOverTheWholeFieldReplacesIt()
{
    QFETCH(int, searchField);
    QFETCH(bool, separators);
    QFETCH(QDate, typed);
    PersoneSearchDlg::_Conditions conditions;
    conditions.bUseBirth = conditions.bUseInspection = true;
    PersoneSearchDlg search(nullptr, &conditions);
    PersonePropertyDlg questionnaire(nullptr, makeSubject(QStringLiteral("Иванов.qmz")));
    QDialog &dialog = searchField < 0 ? static_cast<QDialog &>(questionnaire) : search;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QDateEdit *edit = searchField < 0 ? child<QDateEdit>(questionnaire, "Birthday")
                                      : search.findChildren<QDateEdit *>()[searchField];
    edit->setDate(QDate(1990, 3, 7));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QString format = edit->displayFormat();
    if (!separators)
        format.remove(QRegularExpression("[^dMy]"));
    QTest::keyClicks(edit, typed.toString(format));
    QCOMPARE(edit->date(), typed);
}

void TestPersonePropertyDlg::enterInTheKeyTreeEditsAndKeepsTheDialogOpen()
{
    PersonePropertyDlg dialog(nullptr, makeSubject(QStringLiteral("Иванов.qmz")), PersonePropertyDlg::TagsTab);
    dialog.show();
    QTreeView *tree = dialog.tagsTab()->treeView();
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    dialog.tagsTab()->onTagAdd();
    QTest::keyClick(tree, Qt::Key_Return);
    auto *editor = tree->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("Key"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(tree->model()->index(0, 0).data().toString(), QStringLiteral("Key"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TestPersonePropertyDlg::photosFromCameraAndFiles()
{
    const QString path = makeSubject(QStringLiteral("Иванов.qmz"));
    PersonePropertyDlg dialog(nullptr, path, PersonePropertyDlg::PhotoTab);
    QCOMPARE(dialog.tabs()->currentIndex(), int(PersonePropertyDlg::PhotoTab));
    dialog.show();
    const QImage card = picture(Qt::darkCyan, QSize(640, 480));

    // From the camera: OK takes the latest frame; OK before any frame adds nothing.
    auto takePhoto = [&](bool withFrame) {
        QTimer::singleShot(0, [&, withFrame] {
            auto *camera = qobject_cast<PhotoPreViewDlg *>(QApplication::activeModalWidget());
            QVERIFY(camera);
            if (withFrame) {
                recorder->setImage(card);
                QTRY_VERIFY(!camera->image.isNull());
            }
            camera->accept();
        });
        photoAction(dialog, "Добавить фото из камеры")->trigger();
    };
    takePhoto(true);
    QCOMPARE(dialog.photos().size(), 1);
    QCOMPARE(dialog.photos()[0], card);
    {
        MessageBoxAnswerer answers({QMessageBox::Ok});
        takePhoto(false);
        QCOMPARE(answers.asked().size(), 1);
    }
    QCOMPARE(dialog.photos().size(), 1);

    // From files: a picture joins, a text file is refused with a message.
    chosen = dir.filePath(QStringLiteral("face.png"));
    QVERIFY(picture(Qt::magenta).save(chosen));
    photoAction(dialog, "Добавить фото из файла")->trigger();
    QCOMPARE(requests.last().caption, QStringLiteral("Выбор фотографии"));
    QCOMPARE(requests.last().filter, QStringLiteral("*.bmp *.jpg *.gif *.tiff *.png"));
    QCOMPARE(dialog.photos().size(), 2);
    QCOMPARE(dialog.photoList()->model()->rowCount(), 2);
    chosen = dir.filePath(QStringLiteral("notes.txt"));
    StoreFixtures::writeFile(chosen, "not a picture");
    {
        MessageBoxAnswerer answers({QMessageBox::Ok});
        photoAction(dialog, "Добавить фото из файла")->trigger();
        QCOMPARE(answers.asked().size(), 1);
        QVERIFY(answers.asked()[0].contains(chosen));
    }
    QCOMPARE(dialog.photos().size(), 2);
    dialog.accept();

    Inspection subject(path);
    const QVector<QImage> stored = subject.loadPhotos();
    QCOMPARE(stored.size(), 2);
    QCOMPARE(stored[0].convertToFormat(QImage::Format_RGB32), card);
    QCOMPARE(stored[1].convertToFormat(QImage::Format_RGB32), picture(Qt::magenta));
}

void TestPersonePropertyDlg::photosAreDeletedAndSaved()
{
    const QString path = makeSubject(QStringLiteral("Иванов.qmz"));
    {
        Inspection subject(path);
        QCOMPARE(subject.savePhotos({picture(Qt::red), picture(Qt::green)}), StoreResult::Ok);
    }
    PersonePropertyDlg dialog(nullptr, path, PersonePropertyDlg::PhotoTab);
    dialog.show();
    QAction *remove = photoAction(dialog, "Удалить фото");
    QAction *save = photoAction(dialog, "Сохранить фото");
    QVERIFY(!remove->isEnabled() && !save->isEnabled());
    selectRow(dialog.photoList(), 1);
    QVERIFY(remove->isEnabled() && save->isEnabled());

    chosen = dir.filePath(QStringLiteral("saved.png"));
    save->trigger();
    QCOMPARE(requests.last().caption, QStringLiteral("Выбор файла для сохранения фото"));
    QCOMPARE(QImage(chosen).convertToFormat(QImage::Format_RGB32), picture(Qt::green));
    chosen = dir.filePath(QStringLiteral("folder.png"));
    QVERIFY(QDir().mkpath(chosen));  // a folder where the file should go
    {
        MessageBoxAnswerer answers({QMessageBox::Ok});
        save->trigger();
        QCOMPARE(answers.asked().size(), 1);
    }

    remove->trigger();
    QCOMPARE(dialog.photos().size(), 1);
    QCOMPARE(dialog.photos()[0].convertToFormat(QImage::Format_RGB32), picture(Qt::red));
    selectRow(dialog.photoList(), 0);
    remove->trigger();
    QVERIFY(dialog.photos().isEmpty());
    dialog.accept();
    QCOMPARE(kindCounts(path), QStringLiteral("64:1"));
}

void TestPersonePropertyDlg::unreadablePhotoIsToldAndKept()
{
    const QString path = makeSubject(QStringLiteral("Иванов.qmz"));
    const QByteArray damaged("not a picture");
    QCOMPARE(Inspection(path).savePhotoRecords({damaged}), StoreResult::Ok);
    {
        PersonePropertyDlg dialog(nullptr, path, PersonePropertyDlg::PhotoTab);
        MessageBoxAnswerer answers({QMessageBox::Ok});
        dialog.show();
        QCOMPARE(answers.asked().size(), 1);
        chosen = dir.filePath(QStringLiteral("face.png"));
        QVERIFY(picture(Qt::magenta).save(chosen));
        dialog.onPhotoAddFromFile();
        dialog.accept();
    }
    const QVector<QByteArray> stored = Inspection(path).loadPhotoRecords();
    QCOMPARE(stored.size(), 2);
    QCOMPARE(stored[0], damaged);
    // Deleted by the examiner, it goes.
    PersonePropertyDlg dialog(nullptr, path, PersonePropertyDlg::PhotoTab);
    selectRow(dialog.photoList(), 0);
    photoAction(dialog, "Удалить фото")->trigger();
    dialog.accept();
    QCOMPARE(Inspection(path).loadPhotoRecords().size(), 1);
}

void TestPersonePropertyDlg::filesAreAttachedDeletedAndSaved()
{
    const QString path = makeSubject(QStringLiteral("Иванов.qmz"));
    const QByteArray bytes("\x00\x01 report \xff", 11);
    const QString source = dir.filePath(QStringLiteral("report.bin"));
    StoreFixtures::writeFile(source, bytes);
    PersonePropertyDlg dialog(nullptr, path, PersonePropertyDlg::FilesTab);
    dialog.show();
    chosen = source;
    dialog.onFilesAdd();
    QCOMPARE(requests.last().caption, QStringLiteral("Выбор файла для загрузки"));
    chosen = dir.filePath(QStringLiteral("other.txt"));
    StoreFixtures::writeFile(chosen, "other");
    dialog.onFilesAdd();
    QCOMPARE(dialog.fileModel()->rowCount(), 2);
    QCOMPARE(dialog.fileModel()->item(0)->text(), QStringLiteral("report.bin"));

    // Too large for the subject file, or unreadable: refused with a message.
    chosen = dir.filePath(QStringLiteral("huge.bin"));
    {
        QFile huge(chosen);
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.resize(PersonePropertyDlg::LargestAttachment + 1));
    }
    MessageBoxAnswerer answers({QMessageBox::Ok, QMessageBox::Ok});
    dialog.onFilesAdd();
    chosen = dir.filePath(QStringLiteral("missing.bin"));
    dialog.onFilesAdd();
    QCOMPARE(answers.asked().size(), 2);
    QCOMPARE(dialog.fileModel()->rowCount(), 2);

    dialog.fileList()->setCurrentIndex(dialog.fileModel()->index(1, 0));
    dialog.onFilesDelete();
    QCOMPARE(dialog.fileModel()->rowCount(), 1);
    dialog.fileList()->setCurrentIndex(dialog.fileModel()->index(0, 0));
    chosen = dir.filePath(QStringLiteral("back.bin"));
    dialog.onFilesUpload();
    QCOMPARE(requests.last().directory, QStringLiteral("report.bin"));
    QCOMPARE(readFile(chosen), bytes);
    dialog.accept();

    Inspection subject(path);
    const QVector<Inspection::AttachedFile> stored = subject.loadFiles();
    QCOMPARE(stored.size(), 1);
    QCOMPARE(stored[0].first, QStringLiteral("report.bin"));
    QCOMPARE(stored[0].second, bytes);
}

void TestPersonePropertyDlg::okWritesEverythingAndCancelNothing()
{
    const QString path = makeSubject(QStringLiteral("Иванов.qmz"));
    {
        PersonePropertyDlg dialog(nullptr, path, PersonePropertyDlg::PreTestTab);
        chosen = dir.filePath(QStringLiteral("face.png"));
        QVERIFY(picture(Qt::magenta).save(chosen));
        dialog.onPhotoAddFromFile();
        dialog.onFilesAdd();
        child<QPlainTextEdit>(dialog, "PreTest")->setPlainText(QStringLiteral("Беседа о погоде"));
        dialog.accept();
    }
    QCOMPARE(kindCounts(path), QStringLiteral("64:1,128:1,256:1,512:1"));
    QCOMPARE(storedPreTest(path), QStringLiteral("Беседа о погоде"));

    const QByteArray before = readFile(path);
    {
        PersonePropertyDlg dialog(nullptr, path);
        dialog.onFilesAdd();
        child<QPlainTextEdit>(dialog, "PreTest")->setPlainText(QStringLiteral("другое"));
        child<QTextEdit>(dialog, "Comments")->setPlainText(QStringLiteral("другое"));
        dialog.reject();
    }
    QCOMPARE(readFile(path), before);
}

void TestPersonePropertyDlg::failedSaveKeepsTheDialogOpen()
{
    const QString path = makeSubject(QStringLiteral("Иванов.qmz"));
    {
        Inspection subject(path);
        QCOMPARE(subject.savePhotos({picture(Qt::red)}), StoreResult::Ok);
    }
    StoreFixtures::failWritesAfter(path, 128, 0);
    PersonePropertyDlg dialog(nullptr, path);
    dialog.show();
    chosen = dir.filePath(QStringLiteral("face.png"));
    QVERIFY(picture(Qt::magenta).save(chosen));
    dialog.onPhotoAddFromFile();
    MessageBoxAnswerer answers({QMessageBox::Ok});
    dialog.accept();
    QCOMPARE(answers.asked().size(), 1);
    QVERIFY(answers.asked()[0].contains(path));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    Inspection subject(path);
    QCOMPARE(subject.loadPhotos().size(), 1);
}

// A adds a photo while B's dialog is open; B attaches a file: B is told, nothing
// of B's is written, and B's dialog shows the file as A left it.
void TestPersonePropertyDlg::anotherProgramsPhotoIsKeptAndTheSaveTold()
{
    const QString path = makeSubject(QStringLiteral("Фотограф.qmz"));
    PersonePropertyDlg dialog(nullptr, path);
    dialog.show();
    {
        Inspection a(path);
        a.loadPhotoRecords();
        QCOMPARE(a.savePhotos({picture(Qt::red)}), StoreResult::Ok);
    }
    chosen = dir.filePath(QStringLiteral("note.txt"));
    QFile note(chosen);
    QVERIFY(note.open(QIODevice::WriteOnly) && note.write("B") == 1);
    note.close();
    dialog.onFilesAdd();
    child<QTextEdit>(dialog, "Comments")->setPlainText(QStringLiteral("от B"));
    MessageBoxAnswerer answers({QMessageBox::Ok});
    dialog.accept();
    QCOMPARE(answers.asked().size(), 1);
    QVERIFY(answers.asked()[0].contains("Фото обследуемого изменены другой программой"));
    QCOMPARE(kindCounts(path), QStringLiteral("128:1"));
    QVERIFY(storedPerson(path).Comments.isEmpty());
    QCOMPARE(dialog.photos().size(), 1);
    QCOMPARE(dialog.fileModel()->rowCount(), 0);
    // Saved again on what it now shows, B's edit goes in beside A's photo.
    dialog.onFilesAdd();
    dialog.accept();
    QCOMPARE(answers.asked().size(), 1);
    QCOMPARE(answers.unexpected(), 0);
    QCOMPARE(kindCounts(path), QStringLiteral("64:1,128:1,256:1,512:1"));
}

void TestPersonePropertyDlg::subjectDockOpensItAndAnnouncesTheSubject()
{
    PersoneDockWindow dock;
    dock.initModel();
    QVERIFY(!dock.userPropertyAction()->isEnabled());
    dock.addUserAction()->trigger();
    const QString path = dock.treeView()->currentIndex().data(QFileSystemModel::FilePathRole).toString();
    QVERIFY2(path.endsWith(".qmz"), qPrintable(path));
    QVERIFY(dock.userPropertyAction()->isEnabled());

    QSignalSpy announced(&dock, &PersoneDockWindow::notificationChangedPerosneSignal);
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<PersonePropertyDlg *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->tabs()->currentIndex(), int(PersonePropertyDlg::PersonTab));
        child<QPlainTextEdit>(*dialog, "PreTest")->setPlainText(QStringLiteral("Текст"));
        dialog->accept();
    });
    dock.userPropertyAction()->trigger();
    QCOMPARE(announced.size(), 1);
    QCOMPARE(announced[0][1].toString(), path);
    QCOMPARE(dock.preTestTexts().text(path), QStringLiteral("Текст"));

    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    dock.userPropertyAction()->trigger();
    QCOMPARE(announced.size(), 1);  // cancelled: nothing announced
}

VUG_TEST_MAIN(TestPersonePropertyDlg, QApplication)
#include "tst_personepropertydlg.moc"
