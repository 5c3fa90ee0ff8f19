#include "DemoRecording.h"
#include "app/vugVorkel.h"
#include "data/ActivePopupMenu.h"
#include "data/ChannelUI.h"
#include "data/GenericSettings.h"
#include "data/Inspection.h"
#include "data/SettingsStore.h"
#include "editor/InspectionEditFancy.h"
#include "fancy/FancyActionBar.h"
#include "fancy/FancyTabWidget.h"
#include "recording/InspectionRecordFancy.h"
#include "recording/PoligrammeRecordWindow.h"
#include "recording/RecordingEvents.h"
#include "recording/RecordingSession.h"
#include "recording/SensorReader.h"
#include "recording/_PoligrammeRecordScrollArea.h"
#include "recording/_QSecondMonitor.h"
#include "recording/media/MMRecorder.h"
#include "recording/media/RecorderFactory.h"
#include "data/InspectionMedia.h"
#include "data/RecordingRescue.h"
#include "subjects/PersoneDockWindow.h"
#include "tests/support/FakeRecorder.h"
#include "tests/support/Ffprobe.h"
#include "tests/support/SyntheticCapture.h"
#include "subjects/PreTestCanversationDockWindow.h"
#include "tests/support/MenuActions.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/StoredKinds.h"
#include "tests/support/TestHome.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFileSystemModel>
#include <QLayout>
#include <QPropertyAnimation>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>


namespace {

// Test 0 has questions and no recording; test 1 is recorded; test 2 has no questions.
void fillExamination(Inspection &inspection)
{
    // A test may have read its examination from a file: each starts from none.
    inspection.clear();
    inspection.path = QStringLiteral("/tmp/Сидоров.qmz");
    Inspection::_Test fresh(QStringLiteral("Новый тест"));
    fresh.addTheme(QStringLiteral("Вопрос"), 2, 1, -1);
    Inspection::_Test recorded(QStringLiteral("Записанный"));
    recorded.addTheme(QStringLiteral("Вопрос"), 2, 1, -1);
    recorded.recorded = true;
    recorded.DateTimeRecorded = QDateTime(QDate(2026, 3, 4), QTime(5, 6));
    recorded.dataGSR.fill(0, 40);
    Inspection::_Test empty(QStringLiteral("Пустой"));
    inspection.tests = {fresh, recorded, empty};
}

// Video on, recorded from made-up camera and microphone running in real time.
void useSyntheticCamera(bool camera)
{
    GenericSettings settings;
    settings.load();
    settings.bEnableVideoForRecord = true;
    settings.iQualityVideo = 1;
    settings.save();
    RecorderFactory::install([camera](int quality) {
        auto sources = std::make_unique<SyntheticCapture>();
        sources->setRealTime(3000);
        sources->setCamera(camera);
        return std::unique_ptr<VideoRecorder>(new MMRecorder(quality, std::move(sources)));
    });
}

// Sees the end of a recording's loop reach the main window, before the main window does.
struct LoopEndSpy : QObject {
    explicit LoopEndSpy(QObject *main)
        : main(main)
    {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        seen += watched == main && event->type() == RecordingEvents::LoopEnded;
        return false;
    }
    QObject *main;
    int seen = 0;
};

QStringList captionsOf(QMenu *menu)
{
    QStringList captions;
    for (QAction *action : menu->actions())
        captions << action->text();
    return captions;
}

}  // namespace

class TestRecordingControl : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void menusOfferTheRightTests();
    void menuPositionsFollowTheActionBar();
    void recordingReplacesAndRestoresTheModeTabs();
    void testWithoutQuestionsDoesNotStart();
    void stopQuestionSequences();
    void pauseIsRefusedWithinAPresentation();
    void savedRecordingReachesTheSubjectFile();
    void recordingOfATestChangedElsewhereShowsBesideIt();
    void recordingOutlivesItsSubjectFile_data();
    void recordingOutlivesItsSubjectFile();
    void incompleteGroupIsNotKept();
    void failedSaveIsReported();
    void playbackStopsWithoutQuestions();
    void videoRecordingBecomesTheTestsVideo();
    void videoWithoutCameraIsToldAfterTheWait();
    void eventsCloseTheScreen();
    void loopEndDuringAQuestion_data();
    void loopEndDuringAQuestion();
    void quitQuestionSequences();
    void functionKeysReachThePreTestDock();
    void tabCyclingAndModeDigits();
    void modeDigitsDuringAScreenShowAfterIt_data();
    void modeDigitsDuringAScreenShowAfterIt();
    void escapeReturnsToRememberedTab();
    void escapeClosesAnOpenMenuBarMenu();

private:
    SensorReader *reader() const;
    // The recording's own test, while it runs.
    Inspection::_Test &running() const { return *window->recordingScreen()->test; }
    // Presents test 0's first count questions, each held a few ticks, waiting
    // out the answer time after each.
    void presentQuestions(int count);
    // Picks the test of that caption from the record menu, as the user does.
    void recordFromMenu(const QString &caption);
    void pressKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, quint32 scanCode = 0);
    bool lastConsumed = false;
    vugVorkel *window = nullptr;
    Inspection inspection;
};

void TestRecordingControl::init()
{
    configureDemoUnit();
    fillExamination(inspection);
    window = openMainWindow(inspection);
    QVERIFY(window->isActiveWindow());
}

void TestRecordingControl::cleanup()
{
    delete window;
    window = nullptr;
    RecorderFactory::install({});
    // A recovery copy left would be offered at the next window's start.
    GenericSettings settings;
    settings.load();
    QDir(RecordingRescue::folder(settings.sRootFolder)).removeRecursively();
}

SensorReader *TestRecordingControl::reader() const
{
    InspectionRecordFancy *screen = window->recordingScreen();
    RecordingSession *session = screen ? screen->recordWindow()->session() : nullptr;
    return session ? session->reader() : nullptr;
}

void TestRecordingControl::presentQuestions(int count)
{
    QTRY_VERIFY(reader() && reader()->currentPosition() > 5);
    const Inspection::_Test &test = running();
    for (int i = 0; i < count; ++i) {
        sendKey(window, QEvent::KeyPress, Qt::Key_Space);
        QCOMPARE(test.labels.size(), i + 1);
        const int start = test.labels[i].TickQStart;
        QTRY_VERIFY(reader()->currentPosition() > start + 5);
        sendKey(window, QEvent::KeyRelease, Qt::Key_Space);
        QVERIFY(test.labels[i].TickQEnd > start);
        // A press within the answer time would mark an answer, not the next question.
        const int answered = test.labels[i].TickQEnd + test.ia.lengthTicks();
        QTRY_VERIFY_WITH_TIMEOUT(reader()->currentPosition() > answered, 5000);
    }
}

void TestRecordingControl::recordFromMenu(const QString &caption)
{
    bool chosen = false;
    QTimer::singleShot(50, [&chosen, caption] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QAction *action = menu ? actionNamed(menu, caption) : nullptr;
        if (!action)
            return;
        menu->setActiveAction(action);
        QTest::keyClick(menu, Qt::Key_Return);
        chosen = true;
    });
    window->action_StartRecording();
    QVERIFY(chosen);
}

// Sends a key press to the focused widget; the filter's verdict is read by
// sending the same event to the filter itself.
void TestRecordingControl::pressKey(int key, Qt::KeyboardModifiers modifiers, quint32 scanCode)
{
    QKeyEvent probe(QEvent::KeyPress, key, modifiers, scanCode, 0, 0);
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : window;
    lastConsumed = window->eventFilter(target, &probe);
}

void TestRecordingControl::menusOfferTheRightTests()
{
    QScopedPointer<QMenu> recording(window->createTestMenu(true));
    QCOMPARE(captionsOf(recording.data()), QStringList{"Новый тест"});
    QCOMPARE(recording->actions()[0]->data().toInt(), 0);
    QScopedPointer<QMenu> playback(window->createTestMenu(false));
    QCOMPARE(captionsOf(playback.data()), QStringList{"Записанный (04.03.2026 05:06)"});
    inspection.tests[1].DateTimeRecorded = QDateTime();
    QScopedPointer<QMenu> undated(window->createTestMenu(false));
    QCOMPARE(captionsOf(undated.data()), QStringList{"Записанный"});
}

void TestRecordingControl::menuPositionsFollowTheActionBar()
{
    const int h = window->bar()->buttonsLayout()->geometry().height();
    const int height = window->height();
    QCOMPARE(window->testMenuPosition(true), window->mapToGlobal(QPoint(74, height - h / 3)));
    QCOMPARE(window->testMenuPosition(false), window->mapToGlobal(QPoint(74, height - 2 * (h / 3))));
    // The pop-up marker is set only while a menu executes, and the menu goes after use.
    QCOMPARE(activePopupMenuId, quintptr(0));
    const int menusBefore = window->findChildren<QMenu *>().size();
    bool markedWhileOpen = false;
    QTimer::singleShot(50, [&markedWhileOpen] {
        markedWhileOpen = ActivePopupMenu::widget() != nullptr;
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget()))
            menu->close();
    });
    window->action_StartRecording();
    QVERIFY(markedWhileOpen);
    QCOMPARE(activePopupMenuId, quintptr(0));
    QCOMPARE(window->findChildren<QMenu *>().size(), menusBefore);
}

void TestRecordingControl::recordingReplacesAndRestoresTheModeTabs()
{
    Fancy::FancyTabWidget *tabs = window->modeTabs();
    window->startRecordPoligramme(0);
    InspectionRecordFancy *screen = window->recordingScreen();
    QVERIFY(screen);
    QCOMPARE(window->centralWidget(), screen);
    QVERIFY(!tabs->parent());  // detached, not destroyed
    QVERIFY(!window->isPlayback());
    QVERIFY(!window->alignmentAction()->isEnabled());
    QVERIFY(!window->diagnosticsAction()->isEnabled());
    QCOMPARE(screen->scrollArea->horizontalScrollBar()->maximum(), SensorReader::RecordCapacity);
    QTRY_VERIFY(reader()->currentPosition() > 2);  // the demonstration unit records
    QTRY_VERIFY(screen->demoUnitAction->isVisible());  // and says so

    MessageBoxAnswerer answers({QMessageBox::Yes, QMessageBox::No});
    window->onStopRecordingAction();
    QCOMPARE(window->centralWidget(), tabs);
    QCOMPARE(tabs->parent(), window);
    QVERIFY(!window->recordingScreen());
    QVERIFY(window->alignmentAction()->isEnabled());
    QVERIFY(window->diagnosticsAction()->isEnabled());
}

void TestRecordingControl::testWithoutQuestionsDoesNotStart()
{
    window->startRecordPoligramme(2);
    QVERIFY(!window->recordingScreen());
    QCOMPARE(window->centralWidget(), window->modeTabs());
    window->playPoligramme(2, 0);
    QVERIFY(!window->recordingScreen());
    QCOMPARE(window->centralWidget(), window->modeTabs());
}

void TestRecordingControl::stopQuestionSequences()
{
    inspection.tests[0].ShowAllQuestSecondMonitor = true;
    window->startRecordPoligramme(0);
    QTRY_VERIFY(reader() && reader()->currentPosition() > 5);
    sendKey(window, QEvent::KeyPress, Qt::Key_Space);
    sendKey(window, QEvent::KeyRelease, Qt::Key_Space);
    QTRY_VERIFY(reader()->currentPosition() > running().labels[0].TickQEnd + 1);
    {
        // The only group's reaction time still runs: the question says so and goes on by default.
        MessageBoxAnswerer answers({QMessageBox::No});
        bool goesOnByDefault = false;
        // The examinee's screen goes dark while the examiner is asked.
        QPropertyAnimation *examineeFade = window->recordingScreen()->recordWindow()->session()->examineeView()->textFade;
        bool examineeFading = false;
        bool warningWent = false;
        answers.whileAsking = [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            goesOnByDefault = box->defaultButton() == box->button(QMessageBox::No);
            examineeFading = examineeFade->state() == QAbstractAnimation::Running && examineeFade->endValue() == 0.0;
            // The group completes while the question is open: the question says so.
            warningWent = QTest::qWaitFor([box] { return !box->text().contains(QStringLiteral("осталось")); }, 3000);
        };
        window->onStopRecordingAction();
        QCOMPARE(answers.asked().size(), 1);
        QVERIFY(answers.asked()[0].contains(QStringLiteral("ещё не завершена (осталось ")));
        QVERIFY(goesOnByDefault);
        QVERIFY(examineeFading);
        QVERIFY(warningWent);
        QVERIFY(window->recordingScreen());  // No keeps recording
        const int before = reader()->currentPosition();
        QTRY_VERIFY(reader()->currentPosition() > before);
    }
    {
        // Nothing is lost now: the question goes on by default still.
        MessageBoxAnswerer answers({QMessageBox::Yes, QMessageBox::No});
        bool goesOnByDefault = false;
        answers.whileAsking = [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            goesOnByDefault = goesOnByDefault || box->defaultButton() == box->button(QMessageBox::No);
        };
        window->onStopRecordingAction();
        QVERIFY(goesOnByDefault);
        QCOMPARE(answers.asked().size(), 2);
        QCOMPARE(answers.asked()[0], QStringLiteral("<p>Вы хотите завершить запись полиграммы ?</p>"));
        QVERIFY(answers.asked()[1].startsWith(QStringLiteral("<p>Вы хотите сохранить записанную полиграмму ?</p>")));
        QVERIFY(!window->recordingScreen());
        QVERIFY(inspection.tests[0].dataGSR.isEmpty());  // discarded
        QVERIFY(!inspection.tests[0].recorded);
    }
    QCOMPARE(window->confirmStopRecording(), 0);  // nothing to stop: no question
}

// A pause within a presentation would cut the subject's reaction out of the recording.
void TestRecordingControl::pauseIsRefusedWithinAPresentation()
{
    window->startRecordPoligramme(0);
    InspectionRecordFancy *screen = window->recordingScreen();
    QTRY_VERIFY(reader() && reader()->currentPosition() > 5);
    QVERIFY(screen->pauseAction->isEnabled());
    sendKey(window, QEvent::KeyPress, Qt::Key_Space);
    QVERIFY(!screen->pauseAction->isEnabled());  // at once, not at the next report
    const int presented = reader()->currentPosition();
    screen->onPauseHardRecordingAction();  // a click that came before the refresh
    QVERIFY(!reader()->isPaused());
    QVERIFY(!screen->pauseAction->isChecked());
    QTRY_VERIFY(reader()->currentPosition() > presented + 5);
    sendKey(window, QEvent::KeyRelease, Qt::Key_Space);
    QVERIFY(!screen->recordWindow()->session()->setPaused(true));  // the answer time still runs

    const InspectionLabel &mark = running().labels[0];
    QTRY_VERIFY_WITH_TIMEOUT(reader()->currentPosition() > mark.TickQEnd + running().ia.lengthTicks(), 5000);
    screen->onPauseHardRecordingAction();
    QVERIFY(reader()->isPaused());
    QVERIFY(screen->pauseAction->isChecked());
    screen->onPauseHardRecordingAction();
    QVERIFY(!reader()->isPaused());
    MessageBoxAnswerer answers({QMessageBox::Yes, QMessageBox::No});
    window->onStopRecordingAction();
}

// The whole journey: a subject file of one test of three questions, recorded
// from the menu on the real tick, saved, read back and played.
void TestRecordingControl::savedRecordingReachesTheSubjectFile()
{
    Inspection::_Test three(QStringLiteral("Три вопроса"));
    for (int i = 1; i <= 3; ++i)
        three.addTheme(QStringLiteral("Вопрос %1?").arg(i), 2, 1, -1);
    inspection.tests = {three};
    inspection.path = QDir::home().filePath(QStringLiteral("Сидоров.qmz"));
    QCOMPARE(inspection.saveTestStruct(nullptr), StoreResult::Ok);
    emit window->findChild<InspectionEditFancy *>(QStringLiteral("InspectionEditFancy"))
        ->notifyChangePersone(inspection.path, &inspection);

    QCOMPARE(window->testsText(), QStringLiteral("Количество предъявленных тестов:<b>0</b>"));
    recordFromMenu(QStringLiteral("Три вопроса"));
    QVERIFY(window->recordingScreen());
    QTRY_VERIFY_WITH_TIMEOUT(reader()->currentPosition() > 40, 10000);  // a few seconds of the 50 ms tick
    presentQuestions(3);
    QVERIFY(running().isPresentationDone(reader()->currentPosition()));
    MessageBoxAnswerer answers({QMessageBox::Yes, QMessageBox::Yes});
    window->onStopRecordingAction();
    QCOMPARE(answers.asked().size(), 2);
    QVERIFY(!window->recordingScreen());
    QCOMPARE(window->testsText(), QStringLiteral("Количество предъявленных тестов:<b>1</b>"));
    const Inspection::_Test &recorded = inspection.tests[0];
    QVERIFY(recorded.recorded);
    QVERIFY(recorded.DateTimeRecorded.isValid());
    QCOMPARE(recorded.labels.size(), 3);
    QVERIFY(recorded.dataGSR.size() > 60);
    QCOMPARE(storedKinds(inspection.path, recorded.rowId()), QStringLiteral("1,2"));

    Inspection reread;
    QCOMPARE(reread.load(inspection.path), StoreResult::Ok);
    QCOMPARE(reread.tests.size(), 1);
    Inspection::_Test &back = reread.tests[0];
    QVERIFY(back.recorded);
    QCOMPARE(back.DateTimeRecorded.toSecsSinceEpoch(), recorded.DateTimeRecorded.toSecsSinceEpoch());
    QCOMPARE(reread.loadRecording(&back), StoreResult::Ok);
    QCOMPARE(back.dataGSR, recorded.dataGSR);
    const int length = back.dataGSR.size();
    for (int code = 0; code < ChannelCode::Count; ++code) {
        if (!back.samples(code)->isEmpty())
            QCOMPARE(back.samples(code)->size(), length);
    }
    QCOMPARE(back.TimeMM.size(), length);
    QCOMPARE(back.labels.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(back.labels[i].Theme, recorded.labels[i].Theme);
        QCOMPARE(back.labels[i].TickQStart, recorded.labels[i].TickQStart);
        QCOMPARE(back.labels[i].TickQEnd, recorded.labels[i].TickQEnd);
        QVERIFY(back.labels[i].TickQEnd < length);
    }

    // Its playback spans the recording, runs until stopped and leaves the file as it was.
    QFile file(inspection.path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    file.close();
    window->playPoligramme(0, 0);
    QCOMPARE(window->recordingScreen()->scrollArea->horizontalScrollBar()->maximum(), length);
    QTRY_COMPARE_WITH_TIMEOUT(reader()->currentPosition(), length - 1, 20000);
    QTest::qWait(200);
    QVERIFY(window->recordingScreen());
    window->onStopRecordingAction();
    QVERIFY(!window->recordingScreen());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), saved);
}

void TestRecordingControl::recordingOfATestChangedElsewhereShowsBesideIt()
{
    Inspection::_Test three(QStringLiteral("Три вопроса"));
    for (int i = 1; i <= 3; ++i)
        three.addTheme(QStringLiteral("Вопрос %1?").arg(i), 2, 1, -1);
    inspection.tests = {three};
    const QString path = QDir::home().filePath(QStringLiteral("Петров.qmz"));
    QFile::remove(path);
    inspection.path = path;
    QCOMPARE(inspection.saveTestStruct(&inspection.tests[0]), StoreResult::Ok);
    // Read as the program reads a subject: what it read is what it checks against.
    QCOMPARE(inspection.load(path), StoreResult::Ok);
    emit window->findChild<InspectionEditFancy *>(QStringLiteral("InspectionEditFancy"))
        ->notifyChangePersone(inspection.path, &inspection);
    recordFromMenu(QStringLiteral("Три вопроса"));
    QTRY_VERIFY_WITH_TIMEOUT(reader() && reader()->currentPosition() > 40, 10000);
    presentQuestions(3);
    // Another program renames the test meanwhile.
    Inspection other;
    QCOMPARE(other.load(inspection.path), StoreResult::Ok);
    other.tests[0].name = QStringLiteral("Чужое имя");
    QCOMPARE(other.saveTestStruct(&other.tests[0]), StoreResult::Ok);
    MessageBoxAnswerer answers({QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Ok});
    window->onStopRecordingAction();
    QCOMPARE(answers.asked().size(), 3);
    QVERIFY(answers.asked()[2].contains(QStringLiteral("отдельным тестом")));
    QStringList names;
    for (const Inspection::_Test &test : inspection.tests)
        names << test.name;
    names.sort();
    QCOMPARE(names, (QStringList{QStringLiteral("Три вопроса"), QStringLiteral("Чужое имя")}));
}

void TestRecordingControl::recordingOutlivesItsSubjectFile_data()
{
    QTest::addColumn<bool>("renamed");  // else deleted
    QTest::newRow("renamed by another program") << true;
    QTest::newRow("deleted by another program") << false;
}

// Another program renames or deletes the subject file while it is recorded,
// and the subject tree reacts as it does: the recording goes on, and at the
// stop it lands whole in a recovery copy, nothing made under the old name.
void TestRecordingControl::recordingOutlivesItsSubjectFile()
{
    QFETCH(bool, renamed);
    GenericSettings settings;
    settings.load();
    const QString root = QFileInfo(settings.sRootFolder).absoluteFilePath();
    // Emptied, not removed: the subject tree watching the folder would lose
    // its root and take the choice below with it.
    QVERIFY(QDir().mkpath(root));
    for (const QFileInfo &entry : QDir(root).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        QVERIFY(entry.isDir() ? QDir(entry.filePath()).removeRecursively() : QFile::remove(entry.filePath()));
    const QString path = root + QStringLiteral("/Петров.qmz");
    const QString other = root + QStringLiteral("/Сидоров.qmz");
    for (const QString &file : {path, other}) {
        Inspection subject(file);
        Inspection::_Test three(QStringLiteral("Три вопроса"));
        for (int i = 1; i <= 3; ++i)
            three.addTheme(QStringLiteral("Вопрос %1?").arg(i), 2, 1, -1);
        subject.appendTest(three);
        QCOMPARE(subject.saveTestStruct(&subject.tests[0]), StoreResult::Ok);
    }
    auto *dock = window->findChild<PersoneDockWindow *>(QStringLiteral("PersoneDockWindow"));
    QVERIFY(dock);
    QTRY_VERIFY(dock->fileModel()->index(path).isValid() && dock->fileModel()->index(other).isValid());
    dock->onChangedPerosneSignal_ForSync(path);
    QTRY_VERIFY(window->subjectText().contains(QStringLiteral("<b>Петров</b>")) && window->inspection()
                && window->inspection()->path == path && !window->inspection()->tests.isEmpty());

    window->startRecordPoligramme(0);
    QVERIFY(window->recordingScreen());
    presentQuestions(3);
    QVector<int> marked;
    for (const InspectionLabel &label : running().labels)
        marked << label.TickQStart;

    QSignalSpy chosen(dock, &PersoneDockWindow::notificationChangedPerosneSignal);
    QVERIFY(renamed ? QFile::rename(path, root + QStringLiteral("/Петрова.qmz")) : QFile::remove(path));
    // The tree learns of it from its watcher thread, late on a busy machine.
    QTRY_VERIFY_WITH_TIMEOUT(!dock->fileModel()->index(path).isValid() && !chosen.isEmpty(), 120000);
    const int after = reader()->currentPosition();
    QTRY_VERIFY(reader()->currentPosition() > after + 10);

    MessageBoxAnswerer answers({QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Save, QMessageBox::Ok,
                                QMessageBox::Ok});
    int length = 0;
    answers.whileAsking = [&] {
        if (window->recordingScreen() && reader())
            length = reader()->currentPosition();
    };
    window->onStopRecordingAction();
    QCOMPARE(answers.asked().size(), 5);
    QVERIFY(answers.asked()[2].contains(QStringLiteral("файл не найден")));
    QVERIFY(answers.asked()[3].startsWith(QStringLiteral("Запись теста сохранена в файл")));
    // Once the recording is kept, the subject taken away is closed and told; no other one is opened.
    QVERIFY(answers.asked()[4].contains(QStringLiteral("другой программой")));
    QVERIFY(!window->subjectText().contains(QStringLiteral("Сидоров")));
    QVERIFY(!QFileInfo::exists(path));

    const QVector<RecordingRescue::Copy> copies = RecordingRescue::copies(root);
    QCOMPARE(copies.size(), 1);
    Inspection copy;
    QCOMPARE(copy.load(copies[0].file), StoreResult::Ok);
    QCOMPARE(copy.tests.size(), 1);
    Inspection::_Test &kept = copy.tests[0];
    QCOMPARE(copy.loadRecording(&kept), StoreResult::Ok);
    QVERIFY(kept.dataGSR.size() >= length);
    QCOMPARE(kept.labels.size(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(kept.labels[i].TickQStart, marked[i]);
}

void TestRecordingControl::incompleteGroupIsNotKept()
{
    inspection.path = QDir::home().filePath(QStringLiteral("Петров.qmz"));
    QCOMPARE(inspection.saveTestStruct(nullptr), StoreResult::Ok);
    GenericSettings settings;
    settings.load();
    settings.iIA = 60;
    settings.save();
    window->startRecordPoligramme(0);
    QTRY_VERIFY(reader()->currentPosition() > 5);
    sendKey(window, QEvent::KeyPress, Qt::Key_Space);  // the answer time has not run out at the stop
    QCOMPARE(running().labels.size(), 1);
    const int marked = running().labels[0].TickQStart;
    QTRY_VERIFY(reader()->currentPosition() > marked + 2);
    // Nothing can be saved: the examiner is told so, not asked whether to save,
    // over a recording that has ended.
    MessageBoxAnswerer answers({QMessageBox::Yes, QMessageBox::Ok});
    bool endedWhenTold = false;
    answers.whileAsking = [&] {
        InspectionRecordFancy *screen = window->recordingScreen();
        endedWhenTold = screen && !screen->recordWindow()->session();
    };
    window->onStopRecordingAction();
    QVERIFY(endedWhenTold);
    QCOMPARE(answers.asked().size(), 2);
    QVERIFY(answers.asked().last().startsWith("Запись не будет сохранена: ни одна группа"));
    QVERIFY(inspection.tests[0].dataGSR.isEmpty());
    QVERIFY(inspection.tests[0].labels.isEmpty());
    QVERIFY(!inspection.tests[0].recorded);
}

void TestRecordingControl::failedSaveIsReported()
{
    inspection.path.clear();  // no subject file: nothing can be written
    window->startRecordPoligramme(0);
    presentQuestions(1);
    MessageBoxAnswerer answers({QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Ok});
    window->onStopRecordingAction();
    QCOMPARE(answers.asked().size(), 3);
    QVERIFY(answers.asked().last().startsWith("Не удалось сохранить запись теста"));
    QVERIFY(inspection.tests[0].dataGSR.size() > 20);  // kept in memory
    QCOMPARE(inspection.tests[0].labels.size(), 1);
}

void TestRecordingControl::videoRecordingBecomesTheTestsVideo()
{
    // No sound card here; a sink that keeps time makes the playback run in real time.
    qputenv("QT_GSTREAMER_PLAYBIN_AUDIOSINK", "fakesink sync=true");
    useSyntheticCamera(true);
    inspection.tests.resize(1);
    inspection.path = QDir::home().filePath(QStringLiteral("Сидоров.qmz"));
    QCOMPARE(inspection.saveTestStruct(nullptr), StoreResult::Ok);
    emit window->findChild<InspectionEditFancy *>(QStringLiteral("InspectionEditFancy"))
        ->notifyChangePersone(inspection.path, &inspection);

    recordFromMenu(QStringLiteral("Новый тест"));
    QTRY_VERIFY_WITH_TIMEOUT(reader()->currentPosition() > 200, 30000);  // 10 s
    presentQuestions(1);
    QTRY_VERIFY_WITH_TIMEOUT(running().isPresentationDone(reader()->currentPosition()), 5000);
    MessageBoxAnswerer answers({QMessageBox::Yes, QMessageBox::Yes});
    window->onStopRecordingAction();
    QCOMPARE(answers.asked().size(), 2);
    const Inspection::_Test &recorded = inspection.tests[0];
    QVERIFY(recorded.recorded);
    const QString video = InspectionMedia::testVideoPath(inspection, recorded);
    QVERIFY2(QFile::exists(video), qPrintable(video));
    QCOMPARE(QDir(InspectionMedia::mediaFolder(inspection)).entryList(QDir::Files | QDir::Hidden),
             QStringList{QFileInfo(video).fileName()});

    const QJsonObject probed = Ffprobe::formatAndStreams(video);
    QCOMPARE(probed.value("format").toObject().value("format_name").toString(), QStringLiteral("avi"));
    const QJsonObject picture = Ffprobe::streamOf(probed, "video");
    QCOMPARE(picture.value("codec_name").toString(), QStringLiteral("mpeg4"));
    QCOMPARE(picture.value("width").toInt(), 640);
    QCOMPARE(picture.value("height").toInt(), 480);
    const QJsonObject sound = Ffprobe::streamOf(probed, "audio");
    QCOMPARE(sound.value("codec_name").toString(), QStringLiteral("aac"));
    QCOMPARE(sound.value("sample_rate").toString(), QStringLiteral("22050"));
    QCOMPARE(sound.value("channels").toInt(), 1);
    const QVector<qint32> times = recorded.TimeMM;
    const double seconds = picture.value("duration").toString().toDouble();
    QVERIFY2(qAbs(seconds * 1000 - times.last()) < 500,
             qPrintable(QStringLiteral("%1 s against %2 ms").arg(seconds).arg(times.last())));

    // Played back, the polygram keeps to the video's clock: the reader steers by
    // fifths of the distance, so up to four samples apart stay, and the two
    // values are read a tick apart.
    window->playPoligramme(0, 0);
    QVERIFY(reader()->videoPlayer());
    QTRY_VERIFY_WITH_TIMEOUT(reader()->currentPosition() > 20, 10000);
    for (int i = 0; i < 10; ++i) {
        QTest::qWait(300);
        const int at = reader()->currentPosition();
        const int apart = qAbs(times[at] - reader()->videoClock());
        QVERIFY2(apart <= 250, qPrintable(QStringLiteral("%1 ms apart at %2").arg(apart).arg(at)));
    }
    window->onStopRecordingAction();
    QVERIFY(QFile::exists(video));
}

void TestRecordingControl::videoWithoutCameraIsToldAfterTheWait()
{
    useSyntheticCamera(false);
    MessageBoxAnswerer answers({QMessageBox::Ok});
    window->startRecordPoligramme(0);
    QTRY_VERIFY_WITH_TIMEOUT(!answers.asked().isEmpty(), SensorReader::CameraWaitMs + 5000);
    QCOMPARE(answers.asked().first(), QStringLiteral("Error open web camera"));
    QTRY_VERIFY(!window->recordingScreen());
    QVERIFY(inspection.tests[0].dataGSR.isEmpty());
    const QString own = QStringLiteral(".vug-recording-*-%1-*").arg(QCoreApplication::applicationPid());
    QVERIFY(QDir(InspectionMedia::mediaFolder(inspection)).entryList({own}, QDir::Files | QDir::Hidden).isEmpty());
}

void TestRecordingControl::playbackStopsWithoutQuestions()
{
    window->playPoligramme(1, 15);
    InspectionRecordFancy *screen = window->recordingScreen();
    QVERIFY(screen);
    QVERIFY(window->isPlayback());
    QCOMPARE(screen->scrollArea->horizontalScrollBar()->maximum(), 40);
    QVERIFY(reader()->currentPosition() >= 15);
    MessageBoxAnswerer answers;
    window->onStopRecordingAction();
    QVERIFY(!window->recordingScreen());
    QCOMPARE(answers.asked().size(), 0);
}

void TestRecordingControl::eventsCloseTheScreen()
{
    QCoreApplication::postEvent(window, new QEvent(RecordingEvents::LoopEnded));
    QCoreApplication::processEvents();  // no screen: nothing happens
    QCOMPARE(window->centralWidget(), window->modeTabs());

    window->startRecordPoligramme(0);
    // The same event type addressed elsewhere is not the main window's business.
    QCoreApplication::postEvent(window->modeTabs(), new QEvent(RecordingEvents::DeviceError));
    QCoreApplication::processEvents();
    QVERIFY(window->recordingScreen());

    QTRY_VERIFY(reader()->currentPosition() > 2);
    QCoreApplication::postEvent(window, new QEvent(RecordingEvents::DeviceError));
    QCoreApplication::processEvents();
    QVERIFY(!window->recordingScreen());
    QVERIFY(inspection.tests[0].dataGSR.isEmpty());  // closed without saving

    window->playPoligramme(1, 38);
    QVERIFY(!window->recordingScreen()->isWindow());
    QTRY_COMPARE(reader()->currentPosition(), 39);
    QTest::qWait(300);
    QVERIFY(window->recordingScreen());  // a playback runs until stopped
    window->onStopRecordingAction();
    QCOMPARE(window->centralWidget(), window->modeTabs());
}

void TestRecordingControl::loopEndDuringAQuestion_data()
{
    QTest::addColumn<QString>("road");
    QTest::addColumn<int>("endAt");  // the question the loop ends under, counted from 1; 0: the dialog
    QTest::addColumn<bool>("yes");
    for (const bool yes : {false, true}) {
        const char *answer = yes ? "Да" : "Нет";
        QTest::addRow("exit, %s", answer) << "exit" << 1 << yes;
        QTest::addRow("exit, stop question, %s", answer) << "exit" << 2 << yes;
        QTest::addRow("stop, %s", answer) << "stop" << 1 << yes;
        QTest::addRow("save, %s", answer) << "stop" << 2 << yes;
        QTest::addRow("reordering, %s", answer) << "dialog" << 0 << yes;
    }
}

// The loop ends (any stop posts the same end) while a question or dialog is
// open: nothing is saved or dropped until the examiner has answered whether to
// save. An open stop question gives way to the save question at once.
void TestRecordingControl::loopEndDuringAQuestion()
{
    QFETCH(QString, road);
    QFETCH(int, endAt);
    QFETCH(bool, yes);
    inspection.path = QDir::home().filePath(QStringLiteral("Петров.qmz"));
    QFile::remove(inspection.path);
    QCOMPARE(inspection.saveTestStruct(nullptr), StoreResult::Ok);
    QFile file(inspection.path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    window->startRecordPoligramme(0);
    presentQuestions(1);
    LoopEndSpy ends(window);
    const auto endLoop = [&] {
        reader()->requestStop();
        QTRY_COMPARE(ends.seen, 1);
    };
    MessageBoxAnswerer answers;
    for (int asked = 1; asked <= 3; ++asked)
        answers.enqueue(asked < endAt || yes ? QMessageBox::Yes : QMessageBox::No);
    bool gaveWay = false;
    answers.whileAsking = [&] {
        if (answers.asked().size() != endAt)
            return;
        const QPointer<QWidget> box(QApplication::activeModalWidget());
        endLoop();
        gaveWay = !box || !box->isVisible();
    };
    QTimer::singleShot(100, &answers, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (road == "dialog" && dialog) {
            endLoop();
            dialog->done(yes);
        }
    });
    bool closed = false;
    if (road == "exit")
        closed = window->close();
    else if (road == "stop")
        window->onStopRecordingAction();
    else
        window->recordingScreen()->onChangeQuestsAction();
    QTRY_VERIFY(!window->recordingScreen());
    QCOMPARE(answers.unexpected(), 0);
    QVERIFY(answers.asked().last().contains(QStringLiteral("сохранить")));
    const bool underStopQuestion
        = endAt > 0 && answers.asked()[endAt - 1].startsWith(QStringLiteral("<p>Вы хотите завершить"));
    QCOMPARE(gaveWay, underStopQuestion);
    if (underStopQuestion)
        QCOMPARE(answers.asked().size(), endAt + 1);
    // Quitting after the loop has ended asks no more whether to stop it; once
    // the stop question was asked, the exit goes on after the save question.
    if (road == "exit" && endAt == 1 && yes)
        QCOMPARE(answers.asked().size(), 2);
    if (road == "exit")
        QCOMPARE(closed, yes || underStopQuestion);
    QTest::qWait(20);  // the deferred deletion runs without touching a freed screen

    QVERIFY(file.open(QIODevice::ReadOnly));
    if (!yes) {
        QCOMPARE(file.readAll(), before);
        return;
    }
    Inspection reread;
    QCOMPARE(reread.load(inspection.path), StoreResult::Ok);
    QCOMPARE(reread.loadRecording(&reread.tests[0]), StoreResult::Ok);
    QCOMPARE(reread.tests[0].labels.size(), 1);
    QCOMPARE(reread.tests[0].dataGSR.size(), inspection.tests[0].dataGSR.size());
}

void TestRecordingControl::quitQuestionSequences()
{
    window->startRecordPoligramme(0);
    {
        MessageBoxAnswerer answers({QMessageBox::No});
        QVERIFY(!window->close());
        QVERIFY(window->recordingScreen());
    }
    {
        QFile::remove(SettingsStore::filePath());
        MessageBoxAnswerer answers({QMessageBox::Yes, QMessageBox::No});
        QVERIFY(!window->close());  // the recording goes on
        QVERIFY(window->recordingScreen());
        auto settings = SettingsStore::open();
        QVERIFY(settings->contains(QStringLiteral("InspectionEditFancy_v3/geo_data")));
    }
    {
        MessageBoxAnswerer answers({QMessageBox::Yes, QMessageBox::Yes, QMessageBox::No});
        QVERIFY(window->close());
        QCOMPARE(answers.asked().size(), 3);
        QVERIFY(!window->recordingScreen());
    }
    window->show();
    window->playPoligramme(1, 0);
    MessageBoxAnswerer answers({QMessageBox::Yes});
    QVERIFY(window->close());
    QCOMPARE(answers.asked().size(), 1);  // playback: only the quit question
}

void TestRecordingControl::functionKeysReachThePreTestDock()
{
    RecorderFactory::install([](int) { return std::unique_ptr<VideoRecorder>(new FakeRecorder); });
    inspection.path = QDir::home().filePath(QStringLiteral("Сидоров.qmz"));
    emit window->findChild<InspectionEditFancy *>(QStringLiteral("InspectionEditFancy"))
        ->notifyChangePersone(inspection.path, &inspection);
    auto *dock = window->findChild<PreTestCanversationDockWindow *>(QStringLiteral("PreTestCanversationDockWindow"));
    QVERIFY(dock);
    window->modeTabs()->setCurrentIndex(0);
    QTRY_VERIFY(dock->isVisible());
    pressKey(Qt::Key_F12);
    QVERIFY(lastConsumed);
    QVERIFY(!dock->isRecordingSpeech());  // no recording runs
    dock->onStartRecord();
    pressKey(Qt::Key_F12);
    QVERIFY(lastConsumed);
    QVERIFY(dock->isRecordingSpeech());
    pressKey(Qt::Key_F12, Qt::ControlModifier);
    QVERIFY(lastConsumed);
    QVERIFY(!dock->isRecordingSpeech());

    // While the pre-test conversation is recorded no test starts.
    {
        MessageBoxAnswerer answers({QMessageBox::Ok, QMessageBox::Ok});
        window->startRecordPoligramme(0);
        window->playPoligramme(1, 0);
        QCOMPARE(answers.asked().size(), 2);
        QVERIFY(!window->recordingScreen());
    }
    dock->hide();
    QTest::qWait(1100);  // a new second: the speech file name is free again
    pressKey(Qt::Key_F12);
    QVERIFY(lastConsumed);  // consumed even with the dock hidden
    QVERIFY(!dock->isRecordingSpeech());
    dock->stopRecord();
}

void TestRecordingControl::tabCyclingAndModeDigits()
{
    Fancy::FancyTabWidget *tabs = window->modeTabs();
    tabs->setCurrentIndex(4);
    pressKey(Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(lastConsumed);
    QCOMPARE(tabs->currentTab(), 0);
    pressKey(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(tabs->currentTab(), 4);
    pressKey(Qt::Key_Tab);
    QVERIFY(!lastConsumed);

    // Digits of the main row, with and without native codes (X11 key codes 10-14).
    pressKey(Qt::Key_3, Qt::AltModifier);
    QVERIFY(lastConsumed);
    QCOMPARE(tabs->currentTab(), 2);
    pressKey(0x0448, Qt::AltModifier, 11);  // a Cyrillic layout's key on the digit 2 position
    QCOMPARE(tabs->currentTab(), 1);
    pressKey(Qt::Key_5, Qt::AltModifier | Qt::KeypadModifier);
    QVERIFY(!lastConsumed);
    QCOMPARE(tabs->currentTab(), 1);
    pressKey(Qt::Key_4);
    QVERIFY(!lastConsumed);

    window->startRecordPoligramme(0);
    pressKey(Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(!lastConsumed);  // passed on while recording
    pressKey(Qt::Key_1, Qt::AltModifier);
    QVERIFY(lastConsumed);
    QCOMPARE(tabs->currentTab(), 0);  // the hidden mode selector shows it when it returns
    MessageBoxAnswerer answers({QMessageBox::Yes, QMessageBox::No});
    window->onStopRecordingAction();
}

void TestRecordingControl::modeDigitsDuringAScreenShowAfterIt_data()
{
    QTest::addColumn<bool>("playback");
    QTest::newRow("playback") << true;
    QTest::newRow("recording") << false;
}

// The keys go the way the user's do, to the focused widget of the screen.
void TestRecordingControl::modeDigitsDuringAScreenShowAfterIt()
{
    QFETCH(bool, playback);
    Fancy::FancyTabWidget *tabs = window->modeTabs();
    tabs->setCurrentIndex(0);
    if (playback)
        window->playPoligramme(1, 0);
    else
        window->startRecordPoligramme(0);
    QVERIFY(window->recordingScreen());
    QWidget *focused = QApplication::focusWidget() ? QApplication::focusWidget() : window->recordingScreen();
    QTest::keyClick(focused, Qt::Key_4, Qt::AltModifier);
    QTest::keyClick(focused, Qt::Key_Escape);
    QTest::keyClick(focused, Qt::Key_Tab, Qt::ControlModifier);
    MessageBoxAnswerer answers({QMessageBox::Yes, QMessageBox::No});
    window->onStopRecordingAction();
    QVERIFY(!window->recordingScreen());
    QCOMPARE(tabs->currentTab(), 3);
    QVERIFY(tabs->isVisible());
    QVERIFY(window->findChild<QWidget *>(QStringLiteral("InspectionAnalysisMetrFancy"))->isVisible());
}

void TestRecordingControl::escapeReturnsToRememberedTab()
{
    window->modeTabs()->setCurrentIndex(3);
    window->onLocalShowPoligramme(1, 0, 0);
    QCOMPARE(window->modeTabs()->currentTab(), 1);
    pressKey(Qt::Key_Escape);
    QVERIFY(lastConsumed);
    QCOMPARE(window->modeTabs()->currentTab(), 3);
    QVERIFY(window->tabsToReturnTo().isEmpty());
    pressKey(Qt::Key_Escape);
    QVERIFY(!lastConsumed);

    // An open pop-up menu keeps Escape for itself.
    window->onLocalShowPoligramme(1, 0, 0);
    QMenu menu;
    ActivePopupMenu marker(&menu);
    pressKey(Qt::Key_Escape);
    QVERIFY(!lastConsumed);
}

void TestRecordingControl::escapeClosesAnOpenMenuBarMenu()
{
    window->modeTabs()->setCurrentIndex(3);
    window->onLocalShowPoligramme(1, 0, 0);
    QMenu *file = window->menuBar()->actions().first()->menu();
    file->popup(window->mapToGlobal(QPoint(0, 20)));
    QTRY_VERIFY(QApplication::activePopupWidget() == file);
    pressKey(Qt::Key_Escape);
    QVERIFY(!lastConsumed);
    QCOMPARE(window->modeTabs()->currentTab(), 1);
    file->close();
}

int main(int argc, char *argv[])
{
    TestHome home;
    QApplication app(argc, argv);
    initChannelsUI();
    TestRecordingControl test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_recordingcontrol.moc"
