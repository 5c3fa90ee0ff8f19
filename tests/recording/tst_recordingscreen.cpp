#include "ReaderHarness.h"
#include "recording/InspectionRecordFancy.h"
#include "recording/PoligrammeRecordWindow.h"
#include "recording/RecordingSession.h"
#include "recording/_PoligrammeRecordScrollArea.h"
#include "sensors/interface/SensorIdentity.h"
#include "sensors/interface/SensorPlugin.h"
#include "sensors/serial/EmulatedUnit.h"
#include "tests/sensors/CommandUnits.h"
#include "tests/support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>

// The screen as the main window holds it, over the demonstration unit ticked by hand.
class TestRecordingScreen : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void toolBarInOrderWithIconsAndShortcuts();
    void startRefusesATestWithoutQuestions();
    void extraSelectorFollowsTheUnit();
    void extraChannelChoiceReachesTheUnit();
    void scrollRangesOfRecordingAndPlayback();
    void enablingFollowsThePresentation();
    void pauseHoldsAndResumesThePosition();
    void fullScreenTogglesTwice();
    void statusBarSaysWhatTheExamineeIsNotShown_data();
    void statusBarSaysWhatTheExamineeIsNotShown();

private:
    void startScreen(bool newRecording = true);
    QToolBar *toolBar() const { return screen->findChild<QToolBar *>(); }
    // As a pick from the open list does: the record window takes every key while it runs.
    void chooseExtraChannel(int index)
    {
        screen->extraChannelCombo->setCurrentIndex(index);
        emit screen->extraChannelCombo->activated(index);
    }

    std::unique_ptr<EmulatedUnit> unit;
    std::unique_ptr<ReaderRun> run;
    QMainWindow *main = nullptr;
    InspectionRecordFancy *screen = nullptr;
    // The run's own test while it goes on, else the examination's.
    Inspection::_Test &live() { return screen && screen->test ? *screen->test : run->test(); }
};

void TestRecordingScreen::init()
{
    configureReader(QStringLiteral("vugSensorDemo.so"), [](GenericSettings &settings) { settings.iIA = 1; });
    run = std::make_unique<ReaderRun>();
    run->collaborators.loopEndReceiver = nullptr;
    run->collaborators.markLock = nullptr;
    main = new QMainWindow;
    screen = new InspectionRecordFancy(main);
    main->setCentralWidget(screen);
    main->resize(1000, 700);
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main));
}

void TestRecordingScreen::cleanup()
{
    QVERIFY(screen->stop());
    delete main;
    run.reset();
    unit.reset();
}

void TestRecordingScreen::startScreen(bool newRecording)
{
    screen->recordWindow()->collaborators = run->collaborators;
    QVERIFY(screen->start(&run->inspection, &live(), newRecording, 0));
    run->ticks.waitUntilWaiting();
}

void TestRecordingScreen::toolBarInOrderWithIconsAndShortcuts()
{
    QStringList items;
    for (QAction *action : toolBar()->actions()) {
        QWidget *widget = toolBar()->widgetForAction(action);
        if (action->isSeparator()) {
            items << "|";
        } else if (auto *label = qobject_cast<QLabel *>(widget)) {
            items << label->text();
        } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
            items << QStringLiteral("combo:%1").arg(combo->count());
        } else {
            QVERIFY2(!action->icon().pixmap(16).isNull(), qPrintable(action->text()));
            items << action->text();
        }
    }
    QCOMPARE(items, (QStringList{"Включить/выключить паузу оцифровки", "Завершить запись", "|", "Развертка: ",
                                 "combo:13", "|", "Удалить начало полиграммы", "|",
                                 "Включить/выключить режим управления мышкой (F9)",
                                 "Включить режим полного экрана (Alt+Enter)", "|", "Изменить порядок вопросов (F2)",
                                 "Мастер настроек каналов", "|", "Доп.канал: ", "combo:2",
                                 "  Эмулятор сенсорного блока  "}));
    QVERIFY(!screen->demoUnitAction->isVisible());  // until the unit is known
    QCOMPARE(screen->remoteControlAction->shortcut(), QKeySequence(Qt::Key_F9));
    QCOMPARE(screen->fullScreenAction->shortcut(), QKeySequence(Qt::ALT + Qt::Key_Return));
    QVERIFY(screen->pauseAction->isCheckable() && screen->fullScreenAction->isCheckable());
    QVERIFY(screen->wizardAction->isEnabled());
    auto *sweep = qobject_cast<QComboBox *>(toolBar()->widgetForAction(toolBar()->actions()[4]));
    QCOMPARE(sweep->itemText(9), QStringLiteral("    3.25 сек.  "));
    QCOMPARE(screen->objectName(), QStringLiteral("InspectionRecordFancy"));
    QVERIFY(!screen->isWindow());
}

void TestRecordingScreen::startRefusesATestWithoutQuestions()
{
    Inspection::_Test onlyNull(QStringLiteral("Нулевые"));
    onlyNull.addNullTheme(QStringLiteral("Нулевой?"));
    QVERIFY(!screen->start(&run->inspection, &onlyNull, true, 0));
    QVERIFY(!screen->recordWindow()->session());
}

void TestRecordingScreen::extraSelectorFollowsTheUnit()
{
    QCOMPARE(screen->extraChannelCombo->count(), 2);
    QCOMPARE(screen->extraChannelCombo->itemText(0), QStringLiteral("111"));
    screen->onLoadAdvChannelsUI({"А", "Б", "В"});
    QCOMPARE(screen->extraChannelCombo->count(), 3);
    QCOMPARE(screen->extraChannelCombo->itemText(2), QStringLiteral("В"));
    screen->onLoadAdvChannelsUI({});
    QCOMPARE(screen->extraChannelCombo->count(), 0);

    startScreen();
    QCoreApplication::processEvents();
    screen->onSetAdvancedChannel(1);
    QCOMPARE(int(live().extraMode), 1);
    QVERIFY(live().extraModeChanged);
    run->tick();
    QVERIFY(!live().extraModeChanged);  // sent to the unit on the next tick
}

// A choice in the selector is what the Vorkel16 unit is sent on the next tick.
void TestRecordingScreen::extraChannelChoiceReachesTheUnit()
{
    configureReader(QStringLiteral("vugSensorVorkel16.so"));
    unit = std::make_unique<EmulatedUnit>();
    unit->answerOthers("ack!");
    unit->answer("go__", CommandUnits::centreFrame(QStringLiteral("vugSensorVorkel16.so")));
    startScreen();
    const QStringList names = SensorIdentity::additionalInputNames(SensorPlugin::userLanguage());
    QTRY_COMPARE(screen->extraChannelCombo->itemText(0), names[0]);
    QCOMPARE(screen->extraChannelCombo->itemText(1), names[1]);
    run->tick(2);
    unit->clearLog();

    chooseExtraChannel(1);
    run->tick();
    QCOMPARE(unit->commands(), (QList<QByteArray>{"dop1", "go__"}));
    unit->clearLog();
    run->tick();
    QCOMPARE(unit->commands(), QList<QByteArray>{"go__"});  // sent once

    chooseExtraChannel(0);
    run->tick();
    QCOMPARE(unit->commands(), (QList<QByteArray>{"go__", "dop0", "go__"}));
}

void TestRecordingScreen::scrollRangesOfRecordingAndPlayback()
{
    QCOMPARE(run->inspection.saveTestStruct(&live(), false), StoreResult::Ok);
    startScreen();
    QCOMPARE(screen->scrollArea->horizontalScrollBar()->maximum(), SensorReader::RecordCapacity);
    QCOMPARE(screen->scrollArea->verticalScrollBar()->minimum(), -750);
    QCOMPARE(screen->scrollArea->verticalScrollBar()->maximum(), 750);
    QVERIFY(screen->extraChannelComboAction->isVisible());
    run->tick(40);
    screen->stopAndSave(false);

    live().dataGSR.fill(1, 321);
    startScreen(false);
    QCOMPARE(screen->scrollArea->horizontalScrollBar()->maximum(), 321);
    QVERIFY(!screen->extraChannelLabelAction->isVisible());
    QVERIFY(!screen->extraChannelComboAction->isVisible());
}

void TestRecordingScreen::enablingFollowsThePresentation()
{
    startScreen();
    run->tick(5);
    screen->onUpdateUI(5);
    QVERIFY(screen->pauseAction->isEnabled());
    QVERIFY(screen->clearStartAction->isEnabled());
    QVERIFY(screen->extraChannelCombo->isEnabled());

    screen->recordWindow()->session()->keyPress(Qt::Key_Space);
    run->tick(5);
    screen->onUpdateUI(10);
    QVERIFY(!screen->pauseAction->isEnabled());  // during a presentation
    QVERIFY(!screen->clearStartAction->isEnabled());
    QVERIFY(!screen->extraChannelCombo->isEnabled());

    screen->pauseAction->setChecked(true);  // a pause in force can always be ended
    screen->onUpdateUI(10);
    QVERIFY(screen->pauseAction->isEnabled());
}

void TestRecordingScreen::pauseHoldsAndResumesThePosition()
{
    startScreen();
    run->tick(10);
    RecordingSession *session = screen->recordWindow()->session();
    screen->onPauseHardRecordingAction();
    QVERIFY(screen->pauseAction->isChecked());
    const int held = session->position();
    run->tick(10);
    QCOMPARE(session->position(), held);
    screen->onPauseHardRecordingAction();
    QVERIFY(!screen->pauseAction->isChecked());
    run->tick(10);
    QCOMPARE(session->position(), held + 10);
}

void TestRecordingScreen::statusBarSaysWhatTheExamineeIsNotShown_data()
{
    QTest::addColumn<bool>("forExaminee");
    QTest::newRow("questions for the examinee") << true;
    QTest::newRow("nothing for the examinee") << false;
}

// One screen only: a test with questions for the examinee is told once; a key
// refused during a pause says why.
void TestRecordingScreen::statusBarSaysWhatTheExamineeIsNotShown()
{
    QFETCH(bool, forExaminee);
    live().ShowAllQuestSecondMonitor = forExaminee;
    startScreen();
    int told = 0;
    for (QLabel *label : screen->statusBar()->findChildren<QLabel *>())
        told += label->text() == QStringLiteral("Второй монитор не найден: вопросы обследуемому не показываются");
    QCOMPARE(told, forExaminee ? 1 : 0);
    screen->onPauseHardRecordingAction();
    screen->recordWindow()->session()->keyPress(Qt::Key_Space);
    QVERIFY(screen->statusBar()->currentMessage().startsWith(QStringLiteral("Запись на паузе")));
}

void TestRecordingScreen::fullScreenTogglesTwice()
{
    startScreen();
    screen->setFullScreen();
    QVERIFY(main->isFullScreen());
    QVERIFY(screen->fullScreenAction->isChecked());
    screen->onFullScreenAction();
    QVERIFY(!main->isFullScreen());
    QVERIFY(!screen->fullScreenAction->isChecked());

    screen->setFullScreen();
    QVERIFY(screen->stop());  // a stop leaves full screen first
    QVERIFY(!main->isFullScreen());
}

VUG_TEST_MAIN(TestRecordingScreen, QApplication)
#include "tst_recordingscreen.moc"
