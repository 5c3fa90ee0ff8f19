#include "data/ActivePopupMenu.h"
#include "data/GenericSettings.h"
#include "data/SettingsStore.h"
#include "data/SpravDB.h"
#include "editor/InspectionEditFancy.h"
#include "resources/VugResources.h"
#include "subjects/PersoneLinkDockWindow.h"
#include "subjects/PersoneSearchDlg.h"
#include "subjects/PersoneSearchDockWindow.h"
#include "subjects/PersoneSearchWorker.h"
#include "subjects/SubjectClipboard.h"
#include "tests/data/StoreFixtures.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TestHome.h"
#include "tests/support/UrlCatcher.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QMimeData>
#include <QShortcut>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStatusBar>

using namespace StoreFixtures;
using Conditions = PersoneSearchDlg::_Conditions;

Q_DECLARE_METATYPE(Inspection *)

namespace {

QString dataRoot()
{
    GenericSettings settings;
    settings.load();
    return settings.sRootFolder;
}

QString subject(const QString &path, const QString &comments)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    Inspection inspection(path);
    inspection.tests = {recordedTest(QStringLiteral("Запись"), 10)};
    saveTests(inspection);
    InspectionPerson person;
    person.Comments = comments;
    inspection.savePerson(person);
    return path;
}

QStringList resultTexts(PersoneSearchDockWindow &dock)
{
    QStringList texts;
    QAbstractItemModel *model = dock.listView()->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, 0).data().toString();
    return texts;
}

QString statusOf(PersoneSearchDockWindow &dock)
{
    return dock.findChild<QStatusBar *>()->currentMessage();
}

// Answers the conditions dialog once it is shown: fill sets it up, then OK.
class DialogAnswerer : public QObject
{
public:
    explicit DialogAnswerer(std::function<void(PersoneSearchDlg *)> fill)
        : m_fill(std::move(fill))
    {
        m_timer.callOnTimeout([this] { poll(); });
        m_timer.start(5);
    }
    int answered = 0;

private:
    void poll()
    {
        auto *dialog = qobject_cast<PersoneSearchDlg *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        ++answered;
        m_fill(dialog);
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    }
    std::function<void(PersoneSearchDlg *)> m_fill;
    QTimer m_timer;
};

// Sets the text and, when folder is given, switches the root folder row on with it.
std::function<void(PersoneSearchDlg *)> searchFor(const QString &text, const QString &folder = QString())
{
    return [text, folder](PersoneSearchDlg *dialog) {
        QList<QLineEdit *> edits;
        for (QLineEdit *edit : dialog->findChildren<QLineEdit *>()) {
            if (!qobject_cast<QAbstractSpinBox *>(edit->parentWidget()))
                edits << edit;
        }
        edits[0]->setText(text);
        QList<QCheckBox *> switches;
        for (QCheckBox *box : dialog->findChildren<QCheckBox *>()) {
            if (box->text().isEmpty())
                switches << box;
        }
        if (switches[5]->isChecked() != !folder.isEmpty())
            switches[5]->click();
        if (!folder.isEmpty())
            edits[1]->setText(folder);
    };
}

}  // namespace

class TestPersoneSearchDock : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void searchListsMatchesBelowTheDataRoot();
    void folderOutsideTheDataRootIsRefused();
    void cancelKeepsWhatWasFound();
    void resultsOpenInTheEditorAndSync();
    void contextMenuAndItsActions();
    void linksRequestsMarkOrAddOrDrop();
    void controlCCopiesTheCurrentSubjectsTests();

private:
    QString root;
};

void TestPersoneSearchDock::initTestCase()
{
    initVugResources();
    qRegisterMetaType<Inspection *>();
}

void TestPersoneSearchDock::init()
{
    QFile::remove(SettingsStore::filePath());
    root = dataRoot();
    QDir(root).removeRecursively();
    QDir().mkpath(root);
    SpravDB::sPathFileSprav = root + "/svorkel.sqmz";
    *PersoneSearchDockWindow::conditions() = Conditions();
}

void TestPersoneSearchDock::searchListsMatchesBelowTheDataRoot()
{
    subject(root + "/a/Иванов.qmz", "видел ШПИОНА");
    const QString petrov = subject(root + "/a/b/Петров.qmz", "шпион");
    subject(root + "/Сидоров.qmz", "никого");
    subject(root + "/.скрытая/Тайный.qmz", "шпион");
    const QString damaged = subject(root + "/Повреждённый.qmz", "шпион");
    runStatement(damaged, "UPDATE inspection SET data = X'00' WHERE data_type = 1");
    writeFile(root + "/Не база.qmz", "это не база данных");

    PersoneSearchDockWindow dock;
    {
        DialogAnswerer answer(searchFor("шпион"));
        MessageBoxAnswerer told({QMessageBox::Ok});
        dock.searchAction()->trigger();
        QCOMPARE(answer.answered, 1);
        QCOMPARE(told.asked(), QStringList({"Не удалось прочитать файлов обследуемых: 2"}));
    }
    QCOMPARE(resultTexts(dock).join('|'), QString("a/b/Петров|a/Иванов"));
    QCOMPARE(dock.listView()->model()->index(0, 0).data(Qt::UserRole + 1).toString(), petrov);
    QCOMPARE(PersoneSearchDockWindow::conditions()->sRootFolder, root);

    // From a deeper folder the names stay relative to the data root.
    {
        DialogAnswerer answer(searchFor("шпион", root + "/a/b"));
        dock.searchAction()->trigger();
    }
    QCOMPARE(resultTexts(dock), QStringList({"a/b/Петров"}));
}

void TestPersoneSearchDock::folderOutsideTheDataRootIsRefused()
{
    subject(root + "/Иванов.qmz", "шпион");
    QDir().mkpath(root + "_old");
    subject(root + "_old/Старый.qmz", "шпион");
    PersoneSearchDockWindow dock;
    for (const QString &outside : {root + "_old", QDir::tempPath()}) {
        DialogAnswerer answer(searchFor("шпион", outside));
        MessageBoxAnswerer told({QMessageBox::Ok});
        dock.searchAction()->trigger();
        QCOMPARE(told.asked(), QStringList({"Поиск возможен только из корневой папки обследуемых."}));
        QCOMPARE(resultTexts(dock), QStringList());
    }
    // With its switch off the folder is not looked at: the data root is searched.
    PersoneSearchDockWindow::conditions()->sRootFolder = root + "_old";
    MessageBoxAnswerer told;
    {
        DialogAnswerer answer(searchFor("шпион"));
        dock.searchAction()->trigger();
    }
    QCOMPARE(told.asked(), QStringList());
    QCOMPARE(resultTexts(dock), QStringList({"Иванов"}));
    QCOMPARE(statusOf(dock), QString());
    // A search that finds nothing says so.
    DialogAnswerer answer(searchFor("никого"));
    dock.searchAction()->trigger();
    QCOMPARE(resultTexts(dock), QStringList());
    QCOMPARE(statusOf(dock), QString("Не найдено ни одного обследуемого"));
}

// Cancels the search just before the worker's fourth result is taken in.
class CancelAtFourthResult : public QObject
{
public:
    explicit CancelAtFourthResult(QWidget *dock) : m_dock(dock) { qApp->installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::MetaCall || !qobject_cast<PersoneSearchWorker *>(watched) || ++m_results != 4)
            return false;
        auto *progress = m_dock->findChild<QProgressDialog *>();
        shownRange = progress->maximum();
        label = progress->labelText();
        statusMeanwhile = m_dock->findChild<QStatusBar *>()->currentMessage();
        progress->cancel();
        return false;
    }

    int shownRange = 0;
    QString label;
    QString statusMeanwhile;

private:
    QWidget *m_dock;
    int m_results = 0;
};

void TestPersoneSearchDock::cancelKeepsWhatWasFound()
{
    for (int i = 0; i < 6; ++i)
        subject(root + QString("/Субъект%1.qmz").arg(i), "шпион");
    PersoneSearchDockWindow dock;
    {
        DialogAnswerer answer(searchFor("никого"));
        dock.searchAction()->trigger();
    }
    QCOMPARE(statusOf(dock), QString("Не найдено ни одного обследуемого"));
    CancelAtFourthResult canceller(&dock);
    DialogAnswerer answer(searchFor("шпион"));
    dock.searchAction()->trigger();
    QCOMPARE(canceller.shownRange, 6);
    QCOMPARE(canceller.label, QString("Поиск обследуемых..."));
    QCOMPARE(canceller.statusMeanwhile, QString());  // the last search's word went as this one started
    QCOMPARE(resultTexts(dock), QStringList({"Субъект0", "Субъект1", "Субъект2"}));
    QCOMPARE(statusOf(dock), QString("Поиск прерван: показаны найденные до отмены"));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TestPersoneSearchDock::resultsOpenInTheEditorAndSync()
{
    const QString petrov = subject(root + "/Петров.qmz", "шпион");
    {
        InspectionEditFancy editor;
        auto *dock = editor.findChild<PersoneSearchDockWindow *>();
        QVERIFY(!dock->isSyncEnabled());
        QSignalSpy opened(&editor, &InspectionEditFancy::notifyChangePersone);
        QSignalSpy synced(dock, &PersoneSearchDockWindow::notificationChangedPerosneSignal_ForSync);
        DialogAnswerer answer(searchFor("шпион"));
        dock->searchAction()->trigger();
        dock->listView()->setCurrentIndex(dock->listView()->model()->index(0, 0));
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened[0][0].toString(), petrov);
        QCOMPARE(opened[0][1].value<Inspection *>()->tests.size(), 1);
        QCOMPARE(synced.size(), 0);

        dock->listView()->clearSelection();
        dock->listView()->setCurrentIndex(QModelIndex());
        QCOMPARE(opened.last()[0].toString(), QString());
        dock->onActionMakeSync();
        dock->listView()->setCurrentIndex(dock->listView()->model()->index(0, 0));
        QCOMPARE(synced.size(), 1);
        QCOMPARE(synced[0][0].toString(), petrov);

        // "Создать ярлык" hands the found subject to the links dock.
        QListView *links = editor.findChild<PersoneLinkDockWindow *>()->listView();
        const int before = links->model()->rowCount();
        dock->createLinkAction()->trigger();
        QCOMPARE(links->model()->rowCount(), before + 1);
        QCOMPARE(links->model()->index(before, 0).data(Qt::UserRole + 1).toString(), petrov);
    }
    auto settings = SettingsStore::open();
    QCOMPARE(settings->value("PersoneSearchDockWindow/bEnabledSync").toBool(), true);
    PersoneSearchDockWindow again;
    QVERIFY(again.isSyncEnabled());
}

void TestPersoneSearchDock::contextMenuAndItsActions()
{
    const QString petrov = subject(root + "/папка/Петров.qmz", "шпион");
    PersoneSearchDockWindow dock;
    dock.resize(300, 400);
    dock.show();
    DialogAnswerer answer(searchFor("шпион"));
    dock.searchAction()->trigger();
    const QPoint onItem = dock.listView()->visualRect(dock.listView()->model()->index(0, 0)).center();
    std::unique_ptr<QMenu> menu(dock.createContextMenu(onItem));
    const QList<QAction *> entries = menu->actions();
    QCOMPARE(entries.size(), 5);
    QCOMPARE(entries[0]->text(), QString("Копировать ВЕСЬ ВОПРОСНИК в системный буфер\tCtrl+C"));
    QCOMPARE(entries[2]->text(), QString("Показать папку в Проводнике"));
    QVERIFY(entries[0]->isEnabled() && entries[2]->isEnabled());
    QVERIFY(entries[4]->isCheckable() && !entries[4]->isChecked());
    std::unique_ptr<QMenu> below(dock.createContextMenu(QPoint(5, 390)));
    QVERIFY(!below->actions()[0]->isEnabled() && !below->actions()[2]->isEnabled());

    dock.listView()->setCurrentIndex(dock.listView()->model()->index(0, 0));
    UrlCatcher catcher;
    entries[2]->trigger();
    QCOMPARE(catcher.urls, QList<QUrl>({QUrl::fromLocalFile(root + "/папка")}));
    QVERIFY(catcher.urls[0].toString().startsWith("file:///"));

    // The menu runs as the program's open pop-up.
    bool menuWasOpen = false;
    QTimer::singleShot(50, [&] {
        auto *open = qobject_cast<QMenu *>(ActivePopupMenu::widget());
        menuWasOpen = open && open->actions().size() == 5;
        if (open)
            open->close();
    });
    dock.onCustomContextMenu(onItem);
    QVERIFY(menuWasOpen);
    QCOMPARE(activePopupMenuId, quintptr(0));
}

void TestPersoneSearchDock::linksRequestsMarkOrAddOrDrop()
{
    const QString first = subject(root + "/Первый.qmz", "шпион");
    const QString second = subject(root + "/Второй.qmz", "шпион");
    PersoneSearchDockWindow dock;
    DialogAnswerer answer(searchFor("шпион"));
    dock.searchAction()->trigger();
    QCOMPARE(resultTexts(dock), QStringList({"Второй", "Первый"}));

    dock.onCreatePersoneLinkAndVerify(first);
    QCOMPARE(dock.listView()->currentIndex().row(), 1);
    const QString elsewhere = subject(root + "/Другой.qmz", "");
    dock.onCreatePersoneLinkAndVerify(elsewhere);
    QCOMPARE(resultTexts(dock), QStringList({"Второй", "Первый", "Другой"}));
    QCOMPARE(dock.listView()->model()->index(2, 0).data(Qt::ToolTipRole).toString(), elsewhere);

    QSignalSpy link(&dock, &PersoneSearchDockWindow::notyfyCreatePersoneLinkAndVerifyFromSearch);
    dock.createLinkAction()->trigger();
    QCOMPARE(link.size(), 1);
    QCOMPARE(link[0][0].toString(), first);

    QFile::remove(second);
    QFile::remove(elsewhere);
    dock.onCreatePersoneLinkAndVerify(QString());
    QCOMPARE(resultTexts(dock), QStringList({"Первый", "Другой"}));
}

void TestPersoneSearchDock::controlCCopiesTheCurrentSubjectsTests()
{
    subject(root + "/Петров.qmz", "шпион");
    PersoneSearchDockWindow dock;
    DialogAnswerer answer(searchFor("шпион"));
    dock.searchAction()->trigger();
    QShortcut *copy = dock.findChild<QShortcut *>();
    QCOMPARE(copy->key(), QKeySequence("Ctrl+C"));
    QCOMPARE(copy->context(), Qt::WidgetWithChildrenShortcut);

    QApplication::clipboard()->setText("было");
    emit copy->activated();
    QCOMPARE(QApplication::clipboard()->text(), QString("было"));

    dock.listView()->setCurrentIndex(dock.listView()->model()->index(0, 0));
    emit copy->activated();
    const QMimeData *copied = QApplication::clipboard()->mimeData();
    QVERIFY(copied->hasFormat(SubjectClipboard::subjectFormat));
    QVERIFY(copied->text().startsWith("Запись"));
}

VUG_TEST_MAIN(TestPersoneSearchDock, QApplication)
#include "tst_personesearchdock.moc"
