#include "app/DataFolderCheck.h"
#include "app/SettingsDlg.h"
#include "app/vugVorkel.h"
#include "data/ChannelUI.h"
#include "data/GenericSettings.h"
#include "data/Inspection.h"
#include "data/SettingsStore.h"
#include "data/SpravDB.h"
#include "editor/InspectionEditFancy.h"
#include "fancy/FancyTab.h"
#include "fancy/FancyTabBar.h"
#include "fancy/FancyTabWidget.h"
#include "polygram/InspectionPoligrammeFancy.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TestHome.h"

#include <QAction>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTranslator>
#include <QDockWidget>
#include <QMenuBar>

namespace {

// A main window whose restart is only counted.
class TestableMainWindow : public vugVorkel
{
public:
    int restarts = 0;
    bool restartSucceeds = false;
    using vugVorkel::askRestartAfterSettings;

protected:
    bool restartProgram() override
    {
        ++restarts;
        return restartSucceeds;
    }
};

InspectionEditFancy *editorOf(vugVorkel &window)
{
    return window.findChild<InspectionEditFancy *>(QStringLiteral("InspectionEditFancy"));
}

// An examination of three tests, two of them recorded.
void fillExamination(Inspection &inspection, const QString &path)
{
    inspection.path = path;
    for (int i = 0; i < 3; ++i) {
        Inspection::_Test test(QStringLiteral("Тест %1").arg(i));
        test.recorded = i > 0;
        inspection.tests.append(test);
    }
}

}  // namespace

Q_DECLARE_METATYPE(QList<QMessageBox::StandardButton>)

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void nothingBeforeInitialization();
    void initializationBuildsTabsBarAndMenus();
    void subjectEnablesTabsAndFillsEscapedStatus();
    void showAndViewRequestsRememberTabs();
    void requestsWithBadIndexesDoNothing();
    void restartQuestionsAreCaseSensitive();
    void restartAsksInTurnAndStopsAfterRestart();
    void settingsCommandOpensTheDialog();
    void fontIsScaledByFactor();
    void geometryIsSavedAndRestored();
    void editorLayoutSurvivesQuitting();
    void questionBoxesAnswerInRussian();
    void rootFolderThatIsAFileIsToldWithTheDefaultOffered();
    void missingRootFolderIsMadeOnlyWhenAsked_data();
    void missingRootFolderIsMadeOnlyWhenAsked();
    void startWithAMissingRootAsksFirst();
};

void TestMainWindow::init()
{
    QFile::remove(SettingsStore::filePath());
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
}

void TestMainWindow::nothingBeforeInitialization()
{
    vugVorkel window;
    QCOMPARE(window.size(), QSize(800, 400));
    QVERIFY(window.menuBar()->actions().isEmpty());
    QVERIFY(!window.modeTabs());
}

void TestMainWindow::initializationBuildsTabsBarAndMenus()
{
    vugVorkel window;
    window.onInitialize();
    Fancy::FancyTabWidget *tabs = window.modeTabs();
    QVERIFY(tabs);
    QCOMPARE(window.centralWidget(), tabs);
    QCOMPARE(window.windowTitle(), QStringLiteral("Компьютерный полиграф - Воркел"));
    QCOMPARE(window.objectName(), QStringLiteral("MainWindow"));

    const QStringList captions = {"Опросник\n(Alt+1)", "Полиграммы\n(Alt+2)", "Бал.оценка\n(Alt+3)",
                                  "Метр.оценка\n(Alt+4)", "Результат\n(Alt+5)"};
    QCOMPARE(tabs->tabBar()->count(), 5);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(tabs->tabBar()->tab(i)->text(), captions[i]);
        QVERIFY(!tabs->tabBar()->tab(i)->icon().availableSizes().isEmpty());
        QCOMPARE(tabs->isTabEnabled(i), i == 0);
    }
    QCOMPARE(tabs->currentTab(), 0);
    QVERIFY(!window.playAction()->isEnabled());
    QVERIFY(!window.recordAction()->isEnabled());
    QVERIFY(window.alignmentAction()->isEnabled());

    QStringList menus;
    for (QAction *menu : window.menuBar()->actions())
        menus << menu->text();
    QCOMPARE(menus, (QStringList{"&Файл", "Се&рвис", "&Справка"}));
    QCOMPARE(window.recordAction()->shortcut(), QKeySequence(Qt::Key_F5));
    QVERIFY(editorOf(window));
}

void TestMainWindow::subjectEnablesTabsAndFillsEscapedStatus()
{
    vugVorkel window;
    window.onInitialize();
    Inspection inspection;
    const QString path = QStringLiteral("/data/<i>люди</i>/<b>Иванов & Co.qmz");
    fillExamination(inspection, path);

    emit editorOf(window)->notifyChangePersone(path, &inspection);
    QCOMPARE(window.inspection(), &inspection);
    for (int i = 0; i < 5; ++i)
        QVERIFY(window.modeTabs()->isTabEnabled(i));
    QVERIFY(window.playAction()->isEnabled() && window.recordAction()->isEnabled());
    QCOMPARE(window.subjectText(), QStringLiteral("Испытуемый:<b>&lt;b&gt;Иванов &amp; Co</b>"));
    QCOMPARE(window.testsText(), QStringLiteral("Количество предъявленных тестов:<b>2</b>"));
    QCOMPARE(window.pathText(), QStringLiteral("Путь к файлу:<b>/data/&lt;i&gt;люди&lt;/i&gt;</b>"));

    emit editorOf(window)->notifyChangePersone(QString(), nullptr);
    QVERIFY(window.subjectText().isEmpty() && window.testsText().isEmpty() && window.pathText().isEmpty());
    for (int i = 1; i < 5; ++i)
        QVERIFY(!window.modeTabs()->isTabEnabled(i));
    QVERIFY(!window.playAction()->isEnabled());
}

void TestMainWindow::showAndViewRequestsRememberTabs()
{
    vugVorkel window;
    window.onInitialize();
    Inspection inspection;
    fillExamination(inspection, QStringLiteral("/tmp/Петров.qmz"));
    emit editorOf(window)->notifyChangePersone(inspection.path, &inspection);
    auto *review = window.findChild<InspectionPoligrammeFancy *>(QStringLiteral("InspectionPoligrammeFancy"));

    window.modeTabs()->setCurrentIndex(3);
    QCOMPARE(window.tabsToReturnTo(), QVector<int>{3});
    window.modeTabs()->setCurrentIndex(4);
    QCOMPARE(window.tabsToReturnTo(), QVector<int>{3});  // only tabs 2 and 3 are remembered by selection

    window.onLocalShowPoligramme(2, 100, 4);
    QCOMPARE(window.tabsToReturnTo(), QVector<int>{4});
    QCOMPARE(window.modeTabs()->currentTab(), 1);
    QCOMPARE(review->shownTest(), 2);

    window.modeTabs()->setCurrentIndex(0);
    window.onDefViewPoligramme(1);
    QCOMPARE(window.modeTabs()->currentTab(), 1);
    QCOMPARE(review->shownTest(), 1);
    QCOMPARE(window.tabsToReturnTo(), QVector<int>{4});
}

void TestMainWindow::requestsWithBadIndexesDoNothing()
{
    vugVorkel window;
    window.onInitialize();
    window.onDefViewPoligramme(0);  // no examination
    QCOMPARE(window.modeTabs()->currentTab(), 0);
    Inspection inspection;
    fillExamination(inspection, QStringLiteral("/tmp/a.qmz"));
    emit editorOf(window)->notifyChangePersone(inspection.path, &inspection);
    for (int bad : {-1, 3, 1000}) {
        window.onDefViewPoligramme(bad);
        window.onLocalShowPoligramme(bad, 0, 0);
        window.onDefRecordPoligramme(bad);
        window.onLocalPlayPoligramme(bad, 0);
    }
    QCOMPARE(window.modeTabs()->currentTab(), 0);
    QVERIFY(window.tabsToReturnTo().isEmpty());
    QVERIFY(!window.recordingScreen());
}

void TestMainWindow::restartQuestionsAreCaseSensitive()
{
    GenericSettings before;
    before.load();
    GenericSettings after = before;
    QVERIFY(vugVorkel::restartQuestions(before, after).isEmpty());
    after.sRootFolder = before.sRootFolder.toUpper();
    QCOMPARE(vugVorkel::restartQuestions(before, after).size(), 1);
    QVERIFY(vugVorkel::restartQuestions(before, after)[0].startsWith("При изменении корневого каталога"));
    after = before;
    after.sPathFileSprav += QStringLiteral(".bak");
    after.fontK = before.fontK + 0.5;
    const QStringList questions = vugVorkel::restartQuestions(before, after);
    QCOMPARE(questions.size(), 2);
    QVERIFY(questions[0].startsWith("При изменении справочника"));
    QVERIFY(questions[1].startsWith("При изменении шрифта"));
}

void TestMainWindow::restartAsksInTurnAndStopsAfterRestart()
{
    TestableMainWindow window;
    GenericSettings before;
    before.load();
    GenericSettings after = before;
    after.sRootFolder += QStringLiteral("/другой");
    after.sPathFileSprav += QStringLiteral(".bak");
    after.fontK = 2;

    {
        // No goes on to the next check; a failed restart goes on as well.
        MessageBoxAnswerer answers({QMessageBox::No, QMessageBox::Yes, QMessageBox::No});
        window.askRestartAfterSettings(before, after);
        QCOMPARE(answers.asked().size(), 3);
        QCOMPARE(answers.unexpected(), 0);
        QCOMPARE(window.restarts, 1);
    }
    {
        window.restartSucceeds = true;
        MessageBoxAnswerer answers({QMessageBox::Yes});
        window.askRestartAfterSettings(before, after);
        QCOMPARE(answers.asked().size(), 1);  // a successful restart asks nothing more
        QCOMPARE(window.restarts, 2);
    }
}

void TestMainWindow::settingsCommandOpensTheDialog()
{
    TestableMainWindow window;
    window.onInitialize();
    QString shown;
    QTimer::singleShot(100, [&shown] {
        if (auto *dialog = qobject_cast<SettingsDlg *>(QApplication::activeModalWidget())) {
            shown = dialog->metaObject()->className();
            dialog->reject();
        }
    });
    window.action_Settings();
    QCOMPARE(shown, QStringLiteral("SettingsDlg"));
    QCOMPARE(window.restarts, 0);  // cancelled: nothing compared, nothing asked
}

void TestMainWindow::fontIsScaledByFactor()
{
    {
        auto settings = SettingsStore::open();
        settings->setValue(QStringLiteral("Generic/fontK"), 1.5);
    }
    vugVorkel window;
    QCOMPARE(QApplication::font().pointSizeF(), 13.5);
    GenericSettings settings;
    settings.load();
    QCOMPARE(SpravDB::sPathFileSprav, settings.sPathFileSprav);  // handed over at construction
}

void TestMainWindow::geometryIsSavedAndRestored()
{
    {
        vugVorkel window;
        window.onInitialize();
        window.resize(912, 533);
    }
    {
        auto settings = SettingsStore::open();
        QVERIFY(!settings->value(QStringLiteral("mainwindow/geo_data")).toByteArray().isEmpty());
        QVERIFY(!settings->value(QStringLiteral("mainwindow/layout_data")).toByteArray().isEmpty());
    }
    vugVorkel again;
    QCOMPARE(again.size(), QSize(912, 533));
}

void TestMainWindow::editorLayoutSurvivesQuitting()
{
    {
        vugVorkel window;
        window.onInitialize();
        window.show();
        auto *dock = window.findChild<QDockWidget *>(QStringLiteral("PreTestCanversationDockWindow"));
        QVERIFY(dock && dock->isVisible());
        dock->hide();
        MessageBoxAnswerer answers({QMessageBox::Yes});
        QVERIFY(window.close());
    }
    InspectionEditFancy editor;
    editor.show();
    auto *dock = editor.findChild<QDockWidget *>(QStringLiteral("PreTestCanversationDockWindow"));
    QVERIFY(dock);
    QVERIFY(!dock->isVisible());
}

// The program's own texts are Russian; Qt's catalogue, which the entry loads
// from Qt's translations folder, puts the standard buttons in Russian too.
void TestMainWindow::questionBoxesAnswerInRussian()
{
    QTranslator qtTranslator;
    QVERIFY(qtTranslator.load(QStringLiteral("qt_ru"), QLibraryInfo::location(QLibraryInfo::TranslationsPath)));
    QCoreApplication::installTranslator(&qtTranslator);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Воркел"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No);
    QString yes = box.button(QMessageBox::Yes)->text();
    QString no = box.button(QMessageBox::No)->text();
    QCoreApplication::removeTranslator(&qtTranslator);
    QCOMPARE(yes.remove(QLatin1Char('&')), QStringLiteral("Да"));
    QCOMPARE(no.remove(QLatin1Char('&')), QStringLiteral("Нет"));
}

void TestMainWindow::rootFolderThatIsAFileIsToldWithTheDefaultOffered()
{
    const QString file = QDir::homePath() + "/файл";
    QFile(file).open(QIODevice::WriteOnly);
    SettingsStore::open()->setValue("Generic/sRootFolder", file);
    MessageBoxAnswerer answerer({QMessageBox::Yes});
    vugVorkel().onInitialize();
    QCOMPARE(answerer.asked().size(), 1);
    QCOMPARE(SettingsStore::open()->value("Generic/sRootFolder").toString(), GenericSettings::defaultRootFolder());
}

void TestMainWindow::missingRootFolderIsMadeOnlyWhenAsked_data()
{
    QTest::addColumn<QList<QMessageBox::StandardButton>>("answers");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("ready");
    QTest::addColumn<bool>("made");
    QTest::newRow("quit") << QList<QMessageBox::StandardButton>{QMessageBox::Close} << QString() << false << false;
    QTest::newRow("create") << QList<QMessageBox::StandardButton>{QMessageBox::Yes} << QString() << true << true;
    QTest::newRow("choose another") << QList<QMessageBox::StandardButton>{QMessageBox::Open} << "другая" << true
                                    << false;
    QTest::newRow("choice cancelled, then quit")
        << QList<QMessageBox::StandardButton>{QMessageBox::Open, QMessageBox::Close} << QString() << false << false;
}

void TestMainWindow::missingRootFolderIsMadeOnlyWhenAsked()
{
    QFETCH(QList<QMessageBox::StandardButton>, answers);
    QFETCH(QString, chosen);
    QFETCH(bool, ready);
    QFETCH(bool, made);
    QTemporaryDir base;
    const QString missing = base.filePath("не подключён/Данные");
    const QString other = chosen.isEmpty() ? QString() : base.filePath(chosen);
    if (!other.isEmpty())
        QVERIFY(QDir().mkpath(other));
    GenericSettings settings;
    settings.load();
    settings.sRootFolder = missing;
    MessageBoxAnswerer answerer(answers);
    const auto outcome = DataFolderCheck::ensure(nullptr, settings, [&](QWidget *, const QString &) { return other; });
    QCOMPARE(outcome == DataFolderCheck::Ready, ready);
    QCOMPARE(answerer.asked().size(), answers.size());
    QVERIFY(answerer.asked()[0].contains("не найдена"));
    QCOMPARE(QFileInfo(missing).isDir(), made);
    QVERIFY(made || !QFileInfo::exists(base.filePath("не подключён")));
    if (!other.isEmpty()) {
        GenericSettings stored;
        stored.load();
        QCOMPARE(stored.sRootFolder, other);
    }
}

void TestMainWindow::startWithAMissingRootAsksFirst()
{
    QTemporaryDir base;
    const QString missing = base.filePath("Данные");
    SettingsStore::open()->setValue("Generic/sRootFolder", missing);
    MessageBoxAnswerer answerer({QMessageBox::Yes});
    vugVorkel window;
    QVERIFY(!QFileInfo::exists(missing));
    window.onInitialize();
    QCOMPARE(answerer.asked().size(), 1);
    QVERIFY(QFileInfo(missing).isDir());
    QVERIFY(window.modeTabs());
}

int main(int argc, char *argv[])
{
    TestHome home;
    QApplication app(argc, argv);
    initChannelsUI();
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_mainwindow.moc"
