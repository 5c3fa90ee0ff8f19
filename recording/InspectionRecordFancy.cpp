#include "InspectionRecordFancy.h"

#include "PoligrammeRecordWindow.h"
#include "RecordingEnd.h"
#include "RecordingSession.h"
#include "SensorReader.h"
#include "WizardChannelsDlg.h"
#include "_PoligrammeRecordScrollArea.h"
#include "_QSecondMonitor.h"
#include "data/Inspection.h"
#include "data/SaveRefusal.h"
#include "data/SharedHelpers.h"
#include "editor/ChangeQuestsDlg.h"
#include "fancy/FontScale.h"
#include "polygram/SweepTable.h"
#include "sensors/interface/SensorTypeIds.h"
#include "resources/VugResources.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QStatusBar>
#include <QMainWindow>
#include <QMutexLocker>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>

namespace {
constexpr int VerticalReach = 750;
constexpr int SelectorWidth = 150;
constexpr int SelectorSize = 200;
constexpr int NoticeMs = 5000;

const char *const SweepTexts[SweepTable::Count] = {
    "  1 сек.  ",   "    1.25 сек.  ", "      1.5 сек.  ", "        1.75 сек.  ", "  2 сек.  ",
    "    2.25 сек.  ", "      2.5 сек.  ", "        2.75 сек.  ", "  3 сек.  ", "    3.25 сек.  ",
    "      3.5 сек.  ", "        3.75 сек.  ", "  4 сек.  ",
};

QComboBox *makeSelector(const QStringList &items)
{
    auto *combo = new QComboBox;
    combo->addItems(items);
    combo->setFixedWidth(Fancy::FontScale::px(SelectorWidth));
    combo->resize(SelectorSize, SelectorSize);
    return combo;
}

// The main window in or out of full screen, at once: the state is read back
// without spinning the event loop, where a close request could delete the screen.
void setMainFullScreen(QMainWindow *main, bool on)
{
    using SetHasBorder = void (*)(QWindow *, bool);
    // Absent on X11: only the window state changes there.
    if (auto setBorder = reinterpret_cast<SetHasBorder>(
            QGuiApplication::platformFunction(QByteArrayLiteral("WindowsSetHasBorderInFullScreen"))))
        setBorder(main->windowHandle(), on);
    main->setWindowState(on ? main->windowState() | Qt::WindowFullScreen
                            : main->windowState() & ~Qt::WindowFullScreen);
}
}  // namespace

InspectionRecordFancy::InspectionRecordFancy(QWidget *mainWindow)
    : Fancy::FancyMainWindow(nullptr)
{
    setParent(mainWindow);
    setObjectName(QStringLiteral("InspectionRecordFancy"));
    // A main window is a top-level window by default; this one is always the
    // main window's central widget.
    setWindowFlags(Qt::Widget);

    pauseAction = makeAction(QStringLiteral("PauseSoft"), tr("Включить/выключить паузу оцифровки"),
                             &InspectionRecordFancy::onPauseHardRecordingAction);
    QAction *stopAction = new QAction(VugImages::icon(QStringLiteral("Actions-media-playback-stop-icon.png")),
                                      tr("Завершить запись"), this);
    connect(stopAction, &QAction::triggered, this, &InspectionRecordFancy::stopRequested);
    clearStartAction = makeAction(QStringLiteral("Clear-icon"), tr("Удалить начало полиграммы"),
                                  &InspectionRecordFancy::onClearRecordingAction);
    remoteControlAction = makeAction(QStringLiteral("Remote-Controll-2-icon"),
                                     tr("Включить/выключить режим управления мышкой (F9)"),
                                     &InspectionRecordFancy::onRemoteControlAction);
    fullScreenAction = makeAction(QStringLiteral("canvas-size-icon"), tr("Включить режим полного экрана (Alt+Enter)"),
                                  &InspectionRecordFancy::onFullScreenAction);
    QAction *reorderAction = makeAction(QStringLiteral("Order-icon"), tr("Изменить порядок вопросов (F2)"),
                                        &InspectionRecordFancy::onChangeQuestsAction);
    wizardAction = makeAction(QStringLiteral("utilities-system-monitor-icon"), tr("Мастер настроек каналов"),
                              &InspectionRecordFancy::onChangeChannelsAction);
    for (QAction *action : {pauseAction, remoteControlAction, fullScreenAction})
        action->setCheckable(true);
    remoteControlAction->setShortcut(QKeySequence(Qt::Key_F9));
    reorderAction->setShortcut(QKeySequence(Qt::Key_F2));
    fullScreenAction->setShortcut(QKeySequence(Qt::ALT + Qt::Key_Return));

    scrollArea = new _PoligrammeRecordScrollArea(this);
    extraChannelCombo = makeSelector({QStringLiteral("111"), QStringLiteral("222")});
    buildToolBar(stopAction, reorderAction);
    buildScrollArea();
    // Made at once, so that the polygram keeps its height when something is said.
    // Frames the unit did not give in time, and replies it sent unasked.
    lossLabel = new QLabel;
    lossLabel->hide();
    statusBar()->addWidget(lossLabel);
    connect(extraChannelCombo, qOverload<int>(&QComboBox::activated), this, &InspectionRecordFancy::onSetAdvancedChannel);
    connect(scrollArea->window, &PoligrammeRecordWindow::loadAdvChannelsUI, this,
            &InspectionRecordFancy::onLoadAdvChannelsUI);
}

InspectionRecordFancy::~InspectionRecordFancy() = default;

QAction *InspectionRecordFancy::makeAction(const QString &icon, const QString &text, void (InspectionRecordFancy::*slot)())
{
    auto *action = new QAction(VugImages::icon(icon + QStringLiteral(".png")), text, this);
    connect(action, &QAction::triggered, this, slot);
    return action;
}

void InspectionRecordFancy::buildToolBar(QAction *stopAction, QAction *reorderAction)
{
    auto *tools = new QToolBar;
    tools->addAction(pauseAction);
    tools->addAction(stopAction);
    tools->addSeparator();
    tools->addWidget(new QLabel(tr("Развертка: ")));
    QStringList sweeps;
    for (const char *text : SweepTexts)
        sweeps << tr(text);
    QComboBox *sweepCombo = makeSelector(sweeps);
    tools->addWidget(sweepCombo);
    tools->addSeparator();
    tools->addAction(clearStartAction);
    tools->addSeparator();
    tools->addAction(remoteControlAction);
    tools->addAction(fullScreenAction);
    tools->addSeparator();
    tools->addAction(reorderAction);
    tools->addAction(wizardAction);
    tools->addSeparator();
    extraChannelLabelAction = tools->addWidget(new QLabel(tr("Доп.канал: ")));
    extraChannelComboAction = tools->addWidget(extraChannelCombo);
    // Simulated curves look real: the examiner must see that no unit is recording.
    auto *demoUnit = new QLabel(tr("  Эмулятор сенсорного блока  "));
    demoUnit->setStyleSheet(QStringLiteral("QLabel { color: white; background: #b00000; font-weight: bold; }"));
    demoUnitAction = tools->addWidget(demoUnit);
    demoUnitAction->setVisible(false);
    addToolBar(tools);
    connect(sweepCombo, qOverload<int>(&QComboBox::activated), scrollArea, &_PoligrammeRecordScrollArea::onSetMashtab);
}

void InspectionRecordFancy::buildScrollArea()
{
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scrollArea->window = new PoligrammeRecordWindow;
    scrollArea->setViewport(QWidget::createWindowContainer(scrollArea->window, scrollArea));
    QScrollBar *horizontal = scrollArea->horizontalScrollBar();
    QScrollBar *vertical = scrollArea->verticalScrollBar();
    connect(vertical, &QAbstractSlider::sliderReleased, scrollArea, &_PoligrammeRecordScrollArea::onReleaseVSlider);
    connect(horizontal, &QAbstractSlider::sliderReleased, scrollArea, &_PoligrammeRecordScrollArea::onReleasedHSlider);
    connect(horizontal, &QAbstractSlider::sliderPressed, scrollArea, &_PoligrammeRecordScrollArea::onPressedHSlider);
    horizontal->setStyleSheet(QStringLiteral("QScrollBar{height: 20px;}"));
    vertical->setStyleSheet(QStringLiteral("QScrollBar{width: 20px;}"));
    setCentralWidget(scrollArea);
}

PoligrammeRecordWindow *InspectionRecordFancy::recordWindow() const { return scrollArea->window; }

bool InspectionRecordFancy::start(Inspection *inspection_, InspectionTest *test_, bool newRecording,
                                  int startPosition)
{
    if (!inspection_ || !test_ || test_->themis.isEmpty())
        return false;
    if (!newRecording) {
        extraChannelLabelAction->setVisible(false);
        extraChannelComboAction->setVisible(false);
    }
    inspection = inspection_;
    PoligrammeRecordWindow *window = recordWindow();
    if (!window->start(inspection, test_, newRecording, startPosition))
        return false;
    test = window->test;

    QScrollBar *horizontal = scrollArea->horizontalScrollBar();
    horizontal->setRange(0, newRecording ? SensorReader::RecordCapacity : test->samples(ChannelCode::GSR)->size());
    horizontal->setValue(0);
    horizontal->setPageStep(scrollArea->width());
    QScrollBar *vertical = scrollArea->verticalScrollBar();
    vertical->setRange(-VerticalReach, VerticalReach);
    vertical->setValue(0);
    vertical->setPageStep(scrollArea->height());

    connect(window->session(), &RecordingSession::updateUI, scrollArea, &_PoligrammeRecordScrollArea::onUpdateUI);
    connect(window->session(), &RecordingSession::updateUI, this, &InspectionRecordFancy::onUpdateUI);
    connect(window->session(), &RecordingSession::refused, this, &InspectionRecordFancy::tell);
    // Said for as long as the screen is open: the polygram plays on without its video.
    connect(window->session(), &RecordingSession::videoUnplayable, this,
            [this](const QString &text) { statusBar()->addPermanentWidget(new QLabel(text)); });
    const _QSecondMonitor *view = examineeView();
    if (view && view->unplaced())
        statusBar()->addPermanentWidget(new QLabel(tr("Второй монитор не найден: вопросы обследуемому не показываются")));
    // A question presented disables the pause at once, not at the next report.
    connect(window->session(), &RecordingSession::labelsChanged, this, &InspectionRecordFancy::refreshActions);
    return true;
}

bool InspectionRecordFancy::stop()
{
    stopAndSave(false);
    return true;
}

QUuid InspectionRecordFancy::stopAndSave(bool save)
{
    leaveFullScreen();
    // The run's copy of the test goes with the run.
    test = nullptr;
    return recordWindow()->stop(save);
}

void InspectionRecordFancy::leaveFullScreen()
{
    QMainWindow *main = findMainWindow();
    if (main && main->isFullScreen())
        setMainFullScreen(main, false);
    fullScreenAction->setChecked(false);
}

void InspectionRecordFancy::setFullScreen()
{
    QMainWindow *main = findMainWindow();
    if (!main)
        return;
    main->setUpdatesEnabled(false);
    setMainFullScreen(main, !main->isFullScreen());
    main->setUpdatesEnabled(true);
    fullScreenAction->setChecked(main->isFullScreen());
}

void InspectionRecordFancy::onFullScreenAction() { setFullScreen(); }

void InspectionRecordFancy::onClearRecordingAction()
{
    if (RecordingSession *session = recordWindow()->session())
        session->clearPolygramStart();
}

void InspectionRecordFancy::onRemoteControlAction()
{
    PoligrammeRecordWindow *window = recordWindow();
    window->setRemoteControlCursor(!window->remoteControl);
    remoteControlAction->setChecked(window->remoteControl);
}

void InspectionRecordFancy::onPauseHardRecordingAction()
{
    RecordingSession *session = recordWindow()->session();
    if (!session)
        return;
    // Refused within a presentation: the action may still look enabled until refreshed.
    session->setPaused(!session->isPaused());
    pauseAction->setChecked(session->isPaused());
    refreshActions();
}

void InspectionRecordFancy::onChangeQuestsAction()
{
    if (!test)
        return;
    const InspectionLabel *latest = test->labelBefore(-1);
    ChangeQuestsDlg dialog(this, test, latest ? latest->Group : -1, latest ? latest->Theme : -1);
    if (dialog.exec() == QDialog::Accepted)
        takeOverPlan(*dialog.editedTest());
}

void InspectionRecordFancy::takeOverPlan(const InspectionTest &edited)
{
    // A played-back test, or one saved meanwhile, keeps the plan it was recorded with.
    if (edited.recorded || test->recorded)
        return;
    const InspectionTest before = *test;
    setPlan(edited);
    const auto save = [this] { return inspection->saveTestStruct(test, true); };
    // A plan kept only in memory still goes into the file with the recording.
    if (SaveRefusal::settle(this, inspection->path, save(), save, false) == SaveRefusal::Outcome::Dropped)
        setPlan(before);
}

void InspectionRecordFancy::setPlan(const InspectionTest &from)
{
    // The render thread presents from these lists and the reader counts them for its automatic stop.
    RecordingSession *session = recordWindow()->session();
    QMutexLocker lock(session ? &session->markLock() : nullptr);
    test->orders = from.orders;
    test->themis = from.themis;
    test->themisNULL = from.themisNULL;
}

bool InspectionRecordFancy::deferEnd(QObject *receiver, QEvent::Type type)
{
    // Every question box and dialog runs modal: the one on top is watched.
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal)
        return false;
    m_endWasHeld = true;
    if (m_deferredEnd == QEvent::None) {
        m_endReceiver = receiver;
        m_deferredEnd = type;
    }
    if (m_heldBy != modal) {
        if (m_heldBy)
            m_heldBy->removeEventFilter(this);
        m_heldBy = modal;
        modal->installEventFilter(this);
    }
    return true;
}

bool InspectionRecordFancy::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_heldBy && event->type() == QEvent::Hide) {
        m_heldBy->removeEventFilter(this);
        m_heldBy = nullptr;
        postDeferredEnd();
    }
    return Fancy::FancyMainWindow::eventFilter(watched, event);
}

// Once posted, the end comes back through deferEnd: under a further question it is kept again.
void InspectionRecordFancy::postDeferredEnd()
{
    if (m_deferredEnd == QEvent::None)
        return;
    QCoreApplication::postEvent(m_endReceiver, new QEvent(m_deferredEnd));
    m_deferredEnd = QEvent::None;
    m_endReceiver = nullptr;
}

QString InspectionRecordFancy::stopWarning() const
{
    const RecordingSession *session = recordWindow()->session();
    if (!test || !session || !session->isNewRecording())
        return QString();
    return RecordingEnd::lossWarning(*test, session->position());
}

_QSecondMonitor *InspectionRecordFancy::examineeView() const
{
    const RecordingSession *session = recordWindow()->session();
    return session ? session->examineeView() : nullptr;
}

void InspectionRecordFancy::withdrawExamineeView()
{
    if (_QSecondMonitor *view = examineeView())
        view->withdraw();
}

void InspectionRecordFancy::tell(const QString &text) { statusBar()->showMessage(text, NoticeMs); }

bool InspectionRecordFancy::acquiring() const
{
    const RecordingSession *session = recordWindow()->session();
    return session && session->isAcquiring();
}

bool InspectionRecordFancy::savesNothing() const
{
    const RecordingSession *session = recordWindow()->session();
    return test && session && session->isNewRecording() && RecordingEnd::groupsKept(*test, session->position()) == 0;
}

void InspectionRecordFancy::onUpdateUI(int ipos)
{
    const RecordingSession *session = recordWindow()->session();
    const bool done = session && session->isNewRecording() ? !session->presentationUnderWay()
                                                          : test && test->isPresentationDone(ipos);
    const bool noMarks = !test || (test->labels.isEmpty() && test->labelsNULL.isEmpty());
    pauseAction->setEnabled(pauseAction->isChecked() || done);
    clearStartAction->setEnabled(noMarks);
    extraChannelCombo->setEnabled(noMarks);
    showLoss();
}

void InspectionRecordFancy::showLoss()
{
    const RecordingSession *session = recordWindow()->session();
    const quint64 missed = session ? session->missedFrames() : 0;
    const quint64 unasked = session ? session->lineErrors() : 0;
    lossLabel->setVisible(missed > 0 || unasked > 0);
    QString text = tr("Пропущено кадров: %1").arg(missed);
    if (unasked > 0)
        text += tr("; ошибок линии: %1").arg(unasked);
    lossLabel->setText(text);
}

void InspectionRecordFancy::refreshActions()
{
    if (const RecordingSession *session = recordWindow()->session())
        onUpdateUI(session->position());
}

void InspectionRecordFancy::onChangeChannelsAction()
{
    if (!test)
        return;
    currentWizardTest = test;
    WizardChannelsDlg dialog(this);
    dialog.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    if (dialog.exec() == QDialog::Accepted)
        dialog.applyChannels();
    // The screen, and with it the test, may go before the wizard opens again.
    currentWizardTest = nullptr;
}

void InspectionRecordFancy::onSetAdvancedChannel(int iSel)
{
    if (!test)
        return;
    test->extraMode = iSel;
    test->extraModeChanged = true;
}

void InspectionRecordFancy::onLoadAdvChannelsUI(QList<QString> names)
{
    extraChannelCombo->clear();
    extraChannelCombo->addItems(names);
    // Sent once the unit is set up, which has stored its type in the test.
    demoUnitAction->setVisible(test && test->idsensor == SensorTypeIds::demo);
}
