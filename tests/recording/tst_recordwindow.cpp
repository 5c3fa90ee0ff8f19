#include "ReaderHarness.h"
#include "data/ChannelBindings.h"
#include "polygram/InputState.h"
#include "polygram/PanelState.h"
#include "recording/PoligrammeRecordWindow.h"
#include "recording/RecordingSession.h"
#include "recording/Renderer.h"
#include "recording/_PoligrammeRecordScrollArea.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QWheelEvent>

// The main window the record window posts to and grabs the keyboard for.
class CountingMainWindow : public QMainWindow
{
public:
    int received(QEvent::Type type)
    {
        QCoreApplication::sendPostedEvents(this);
        return counts.value(type);
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == RecordingEvents::LoopEnded || event->type() == RecordingEvents::DeviceError) {
            ++counts[event->type()];
            return true;
        }
        return QMainWindow::event(event);
    }

private:
    QHash<int, int> counts;
};

class TestRecordWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void stopWithoutSavingDiscards();
    void stopWithSavingKeepsTheFileAndPlaybackLeavesIt();
    void deviceErrorIsShownAndClosesWithoutHang();
    void keysAreConsumedOnceForHeldKeys();
    void heldSpaceRepeatedByX11MarksOneQuestion();
    void everythingPassesWhileAModalDialogIsOpen();
    void anOpenMenuTakesEscapeAndMarksNothing_data();
    void anOpenMenuTakesEscapeAndMarksNothing();
    void remoteControlClicksPresentAndRemove();
    void dragsChangeDisplayAndHardwareValues();
    void wheelOverTheSetUpTable();
    void sweepSelectorAndGrabRelease();

private:
    void startWindow(bool recordMode = true);
    bool sendKey(QEvent::Type type, int key, bool repeat = false, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // A key event as the X server stamps it.
    bool sendXKey(QEvent::Type type, ulong time, bool repeat = false);
    void sendMouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons,
                   Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void sendWheel(QPoint at, Qt::KeyboardModifiers modifiers);
    Renderer *renderer() const { return window->session()->renderer(); }

    std::unique_ptr<ReaderRun> run;
    CountingMainWindow *main = nullptr;
    PoligrammeRecordWindow *window = nullptr;
    // The run's own test while it goes on, else the examination's.
    Inspection::_Test &live() { return window && window->test ? *window->test : run->test(); }
};

void TestRecordWindow::init()
{
    configureReader(QStringLiteral("vugSensorDemo.so"), [](GenericSettings &settings) { settings.iIA = 1; });
    run = std::make_unique<ReaderRun>();
    run->collaborators.loopEndReceiver = nullptr;
    run->collaborators.markLock = nullptr;
    main = new CountingMainWindow;
    window = new PoligrammeRecordWindow;
    main->setCentralWidget(QWidget::createWindowContainer(window, main));
    main->resize(900, 600);
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    QTRY_VERIFY(window->isExposed());
}

void TestRecordWindow::cleanup()
{
    window->stop(false);
    InputState::replace({});
    PanelState::instance().reset();
    delete main;
    run.reset();
}

void TestRecordWindow::startWindow(bool recordMode)
{
    window->collaborators = run->collaborators;
    window->start(&run->inspection, &live(), recordMode, 0);
    run->ticks.waitUntilWaiting();
}

bool TestRecordWindow::sendKey(QEvent::Type type, int key, bool repeat, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent event(type, key, modifiers, QString(), repeat);
    return window->eventFilter(main, &event);
}

bool TestRecordWindow::sendXKey(QEvent::Type type, ulong time, bool repeat)
{
    QKeyEvent event(type, Qt::Key_Space, Qt::NoModifier, QString(), repeat);
    event.setTimestamp(time);
    return window->eventFilter(main, &event);
}

void TestRecordWindow::sendMouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons,
                                 Qt::KeyboardModifiers modifiers)
{
    QMouseEvent event(type, at, at, window->mapToGlobal(at), button, buttons, modifiers);
    QVERIFY(!window->eventFilter(window, &event));  // mouse events always pass on
}

void TestRecordWindow::sendWheel(QPoint at, Qt::KeyboardModifiers modifiers)
{
    QWheelEvent event(at, window->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QVERIFY(window->eventFilter(window, &event));
}

void TestRecordWindow::stopWithoutSavingDiscards()
{
    startWindow();
    run->tick(30);
    QCOMPARE(live().dataGSR.size(), SensorReader::RecordCapacity);
    window->stop(false);
    QVERIFY(!window->session());
    QVERIFY(live().dataGSR.isEmpty());
    QVERIFY(live().TimeMM.isEmpty());
    // The close request of the loop this stop ended is dropped.
    QCOMPARE(main->received(RecordingEvents::LoopEnded), 0);
}

void TestRecordWindow::stopWithSavingKeepsTheFileAndPlaybackLeavesIt()
{
    QCOMPARE(run->inspection.saveTestStruct(&live(), false), StoreResult::Ok);
    startWindow();
    run->tick(5);
    for (int question = 0; question < 2; ++question) {
        QVERIFY(sendKey(QEvent::KeyPress, Qt::Key_Space));
        run->tick(5);
        QVERIFY(sendKey(QEvent::KeyRelease, Qt::Key_Space));
        run->tick(25);  // the answer time of 1 s
    }
    run->tick(5);
    const int length = window->session()->position();
    window->stop(true);
    QCOMPARE(live().labels.size(), 2);
    QCOMPARE(live().dataGSR.size(), length);

    Inspection reread;
    QCOMPARE(reread.load(run->inspection.path), StoreResult::Ok);
    QCOMPARE(reread.loadRecording(&reread.tests[0]), StoreResult::Ok);
    QCOMPARE(reread.tests[0].labels.size(), 2);
    QCOMPARE(reread.tests[0].dataGSR, live().dataGSR);

    QFile file(run->inspection.path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    file.close();
    live().dataGSR.clear();  // the playback loads the samples itself
    startWindow(false);
    QCOMPARE(live().dataGSR.size(), length);
    run->tick(10);
    window->seekPosition(length + 100);
    QCOMPARE(window->session()->position(), length - 1);  // held within the recording
    window->stop(true);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), saved);
    QCOMPARE(live().labels.size(), 2);
}

void TestRecordWindow::deviceErrorIsShownAndClosesWithoutHang()
{
    configureReader(QStringLiteral("vugSensorFakeNull.so"));
    run->collaborators.pluginFolder = QStringLiteral(VUG_FAKE_SENSORS);
    MessageBoxAnswerer answers({QMessageBox::Ok});
    startWindow();
    QTRY_COMPARE(main->received(RecordingEvents::DeviceError), 1);
    QCOMPARE(answers.asked(), QStringList{"Не удалось загрузить модуль сенсорного блока «vugSensorFakeNull.so»"});
    window->stop(false);
    QVERIFY(!window->session());
    QCOMPARE(QWidget::keyboardGrabber(), nullptr);
}

void TestRecordWindow::keysAreConsumedOnceForHeldKeys()
{
    startWindow();
    QVERIFY(sendKey(QEvent::KeyPress, Qt::Key_Shift));
    QCOMPARE(renderer()->channelSelected(), 1);
    QCOMPARE(QWidget::keyboardGrabber(), main);
    renderer()->setChannelSelected(0);
    QVERIFY(sendKey(QEvent::KeyPress, Qt::Key_Shift, true));
    QCOMPARE(renderer()->channelSelected(), 0);  // a repeat is dropped
    QVERIFY(sendKey(QEvent::KeyRelease, Qt::Key_Shift));
    QCOMPARE(QWidget::keyboardGrabber(), nullptr);

    QVERIFY(sendKey(QEvent::KeyPress, Qt::Key_Space));
    QVERIFY(sendKey(QEvent::KeyPress, Qt::Key_Space, true));
    QCOMPARE(live().labels.size(), 1);
    QVERIFY(sendKey(QEvent::KeyRelease, Qt::Key_Space, true));
    QVERIFY(sendKey(QEvent::KeyRelease, Qt::Key_Space));
    QVERIFY(sendKey(QEvent::KeyPress, Qt::Key_Backspace));
    QVERIFY(sendKey(QEvent::KeyPress, Qt::Key_Backspace, true));
    QVERIFY(live().labels.isEmpty());

    // Any other key reaches the renderer on every repeat.
    InputState::replace([] { return InputState{QPoint(), Qt::NoButton, Qt::ShiftModifier}; });
    renderer()->setSelectedChannel(ChannelCode::GSR);
    InspectionChannel &gsr = live().channel(ChannelCode::GSR);
    gsr.Amplify = 100.0;
    QVERIFY(sendKey(QEvent::KeyPress, Qt::Key_Right, false, Qt::ShiftModifier));
    QVERIFY(sendKey(QEvent::KeyPress, Qt::Key_Right, true, Qt::ShiftModifier));
    QCOMPARE(double(gsr.Amplify), 100.0 + 2 * AmplifyKeyStep);
    QVERIFY(sendKey(QEvent::KeyPress, Qt::Key_A));  // nothing to do, still consumed

    // A hidden window routes nothing.
    main->hide();
    QTRY_VERIFY(!window->isVisible());
    QVERIFY(!sendKey(QEvent::KeyPress, Qt::Key_Space));
    QVERIFY(live().labels.isEmpty());
}

// X11 repeats a held key as release-press pairs of one time stamp, most of them
// not flagged as repeats: the question lasts the whole hold, and the answer is
// taken when it comes.
void TestRecordWindow::heldSpaceRepeatedByX11MarksOneQuestion()
{
    startWindow();
    run->tick(5);
    const auto position = [this] { return window->session()->position(); };
    QVERIFY(sendXKey(QEvent::KeyPress, 1000));
    run->tick(13);
    QVERIFY(sendXKey(QEvent::KeyRelease, 1660, true));
    QVERIFY(sendXKey(QEvent::KeyPress, 1660, true));
    for (ulong time = 1700; time < 3500; time += 40) {
        run->tick(1);
        QVERIFY(sendXKey(QEvent::KeyRelease, time));
        QVERIFY(sendXKey(QEvent::KeyPress, time));
    }
    const int released = position();
    QVERIFY(sendXKey(QEvent::KeyRelease, 3510));
    const InspectionLabel &mark = live().labels[0];
    QTRY_COMPARE(mark.TickQEnd, released);
    QCOMPARE(mark.TickAStart, 0);

    run->tick(10);
    QVERIFY(sendXKey(QEvent::KeyPress, 4000));
    QCOMPARE(live().labels.size(), 1);
    QCOMPARE(mark.TickAStart, position());
}

void TestRecordWindow::everythingPassesWhileAModalDialogIsOpen()
{
    startWindow();
    QDialog dialog(main);
    dialog.setModal(true);
    dialog.show();
    QTRY_VERIFY(QApplication::activeModalWidget());
    QVERIFY(!sendKey(QEvent::KeyPress, Qt::Key_Space));
    QVERIFY(!sendKey(QEvent::KeyRelease, Qt::Key_Space));
    QVERIFY(live().labels.isEmpty());
    QCOMPARE(QWidget::keyboardGrabber(), nullptr);
    const InspectionChannel &gsr = live().channel(ChannelCode::GSR);
    const int shift = gsr.ShiftADT;
    PanelState::CellTable cells{};
    cells[PanelState::ShiftCell][ChannelCode::GSR] = QRect(10, 10, 20, 20);
    PanelState::instance().setCells(cells);
    QWheelEvent wheel(QPoint(15, 15), window->mapToGlobal(QPoint(15, 15)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ShiftModifier | Qt::ControlModifier, Qt::NoScrollPhase, false);
    QVERIFY(!window->eventFilter(window, &wheel));
    QCOMPARE(int(gsr.ShiftADT), shift);
}

void TestRecordWindow::anOpenMenuTakesEscapeAndMarksNothing_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("consumed");
    QTest::newRow("Escape") << int(Qt::Key_Escape) << false;
    QTest::newRow("Space") << int(Qt::Key_Space) << true;
}

void TestRecordWindow::anOpenMenuTakesEscapeAndMarksNothing()
{
    QFETCH(int, key);
    startWindow();
    QMenu menu(main);
    menu.addAction(QStringLiteral("Настройки"));
    menu.popup(main->geometry().center());
    QTRY_VERIFY(QApplication::activePopupWidget());
    QTEST(sendKey(QEvent::KeyPress, key), "consumed");
    QVERIFY(live().labels.isEmpty());
}

void TestRecordWindow::remoteControlClicksPresentAndRemove()
{
    startWindow();
    window->setRemoteControlCursor(true);
    QVERIFY(!window->cursor().pixmap().isNull());
    const QPoint inside(50, 50);
    sendMouse(QEvent::MouseButtonPress, inside, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    sendMouse(QEvent::MouseButtonPress, inside, Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier);
    sendMouse(QEvent::MouseButtonPress, QPoint(-5, 50), Qt::LeftButton, Qt::LeftButton);
    QVERIFY(live().labels.isEmpty());

    sendMouse(QEvent::MouseButtonPress, inside, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(live().labels.size(), 1);
    run->tick(12);
    sendMouse(QEvent::MouseButtonRelease, inside, Qt::LeftButton, Qt::NoButton);
    const InspectionLabel mark = live().labels[0];
    QCOMPARE(mark.TickQEnd, mark.TickQStart + 12);
    sendMouse(QEvent::MouseButtonPress, inside, Qt::RightButton, Qt::RightButton, Qt::ShiftModifier);
    QCOMPARE(live().labels.size(), 1);
    sendMouse(QEvent::MouseButtonPress, inside, Qt::RightButton, Qt::RightButton);
    QVERIFY(live().labels.isEmpty());

    window->setRemoteControlCursor(false);
    QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
}

void TestRecordWindow::dragsChangeDisplayAndHardwareValues()
{
    startWindow();
    renderer()->setChannelSelected(1);
    renderer()->setSelectedChannel(ChannelCode::GSR);
    InspectionChannel &gsr = live().channel(ChannelCode::GSR);
    gsr.ADT = 10;
    gsr.ADTChanged = false;
    gsr.Amplify = 100.0;
    const QPoint start = renderer()->plotArea().center();
    sendMouse(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(window->dragStart, start);

    // Both buttons: one gain step per move, however far.
    const Qt::MouseButtons both = Qt::LeftButton | Qt::RightButton;
    sendMouse(QEvent::MouseMove, start + QPoint(100, 0), Qt::NoButton, both);
    QCOMPARE(int(gsr.ADT), 11);
    QVERIFY(gsr.ADTChanged);
    sendMouse(QEvent::MouseMove, start + QPoint(-200, 5), Qt::NoButton, both);
    QCOMPARE(int(gsr.ADT), 10);
    const int shift = gsr.ShiftADT;
    sendMouse(QEvent::MouseMove, start + QPoint(-200, -15), Qt::NoButton, both);
    QCOMPARE(int(gsr.ShiftADT), shift + 20);
    QVERIFY(gsr.ShiftADTChanged);

    // The left button alone: the display gain follows the distance.
    sendMouse(QEvent::MouseMove, start + QPoint(-163, -15), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(double(gsr.Amplify), 137.0);

    sendMouse(QEvent::MouseButtonRelease, start, Qt::LeftButton, Qt::NoButton);
    QVERIFY(window->dragStart.isNull());
    QCOMPARE(renderer()->channelSelected(), 0);
}

void TestRecordWindow::wheelOverTheSetUpTable()
{
    startWindow();
    PanelState::CellTable cells{};
    cells[PanelState::ShiftCell][ChannelCode::PG] = QRect(10, 10, 20, 20);
    cells[PanelState::GainCell][ChannelCode::PG] = QRect(40, 10, 20, 20);
    cells[PanelState::PositionCell][ChannelCode::PG] = QRect(70, 10, 20, 20);
    PanelState::instance().setCells(cells);
    InspectionChannel &pg = live().channel(ChannelCode::PG);
    pg.ShiftADT = 0;
    pg.ADT = 3;
    pg.Offset = 0.0;
    const Qt::KeyboardModifiers hardware = Qt::ShiftModifier | Qt::ControlModifier;

    sendWheel(QPoint(15, 15), hardware);
    sendWheel(QPoint(45, 15), hardware);
    sendWheel(QPoint(75, 15), Qt::ShiftModifier);
    QCOMPARE(int(pg.ShiftADT), 6);
    QVERIFY(pg.ShiftADTChanged);
    QCOMPARE(int(pg.ADT), 5);
    QVERIFY(pg.ADTChanged);
    QCOMPARE(double(pg.Offset), 12.0);
    QCOMPARE(renderer()->selectedChannel(), int(ChannelCode::PG));
    sendWheel(QPoint(75, 15), hardware);  // a display cell wants Shift alone
    QCOMPARE(double(pg.Offset), 12.0);

    // Refused during a presentation.
    QVERIFY(sendKey(QEvent::KeyPress, Qt::Key_Space));
    run->tick(3);
    sendWheel(QPoint(15, 15), hardware);
    sendWheel(QPoint(45, 15), hardware);
    QCOMPARE(int(pg.ShiftADT), 6);
    QCOMPARE(int(pg.ADT), 5);
}

void TestRecordWindow::sweepSelectorAndGrabRelease()
{
    startWindow();
    _PoligrammeRecordScrollArea area;
    area.window = window;
    QCOMPARE(area.onSetMashtab(9), 0);
    QCOMPARE(renderer()->sweep(), 3250);

    QVERIFY(sendKey(QEvent::KeyPress, Qt::Key_Control));
    QCOMPARE(QWidget::keyboardGrabber(), main);
    window->stop(false);  // the key is still down
    QCOMPARE(QWidget::keyboardGrabber(), nullptr);
}

VUG_TEST_MAIN(TestRecordWindow, QApplication)
#include "tst_recordwindow.moc"
