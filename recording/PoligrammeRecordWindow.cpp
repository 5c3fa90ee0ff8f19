#include "PoligrammeRecordWindow.h"

#include "RasterPresenter.h"
#include "KeyRepeatFilter.h"
#include "RecordingEnd.h"
#include "RecordingSession.h"
#include "data/ChannelBindings.h"
#include "data/LargeBlockHeap.h"
#include "data/ModeDigitKey.h"
#include "data/ReadRefusal.h"
#include "data/SharedHelpers.h"
#include "data/TestCaption.h"
#include "polygram/InputState.h"
#include "polygram/RenderPath.h"
#include "polygram/drawPanelG.h"
#include "recording/RecordingEvents.h"
#include "recording/X11KeyRepeat.h"
#include "resources/VugResources.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QMutexLocker>
#include <QOpenGLContext>
#include <QPixmap>
#include <QResizeEvent>
#include <QTimer>
#include <QWheelEvent>
#include <QX11Info>

#include <cstdlib>

namespace {
constexpr int CursorUpkeepMs = 500;
// Wheel notches of 120 become these steps.
constexpr int ShiftWheelDivisor = 20;
constexpr int GainWheelDivisor = 50;
constexpr int DisplayWheelDivisor = 10;

bool modalDialogOpen() { return QApplication::activeModalWidget() != nullptr; }

// A menu or a selector's list is open: it takes Escape and its own keys, a marking key does nothing.
bool popupOpen() { return QApplication::activePopupWidget() != nullptr; }

void publishInput(const QPoint &global, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    InputState::publish(InputState{global, buttons, modifiers});
}
}  // namespace

PoligrammeRecordWindow::PoligrammeRecordWindow(QWindow *parent)
    : PoligrammeRecordWindow(parent, RenderPath::software())
{
}

PoligrammeRecordWindow::PoligrammeRecordWindow(QWindow *parent, bool raster)
    : QWindow(parent)
    , m_keys(new KeyRepeatFilter(QX11Info::isPlatformX11(), this))
{
    setSurfaceType(raster ? QSurface::RasterSurface : QSurface::OpenGLSurface);
    if (raster)
        m_presenter = new RasterPresenter(this);
    m_surfaceSize = size();
    connect(m_keys, &KeyRepeatFilter::pressed, this, &PoligrammeRecordWindow::actOnKeyPress);
    connect(m_keys, &KeyRepeatFilter::released, this, &PoligrammeRecordWindow::actOnKeyRelease);
}

PoligrammeRecordWindow::~PoligrammeRecordWindow()
{
    // Threads must never outlive the surface they draw on.
    if (m_session)
        stop(false);
}

bool PoligrammeRecordWindow::canRenderThreaded()
{
    return RenderPath::software() || QOpenGLContext::supportsThreadedOpenGL();
}

void PoligrammeRecordWindow::present(const FrameChange &change) { m_presenter->present(change); }

bool PoligrammeRecordWindow::takeLoss() { return m_presenter->takeLoss(); }

bool PoligrammeRecordWindow::start(Inspection *inspection_, InspectionTest *test_, bool recordMode,
                                   int startPosition)
{
    if (m_session)
        return true;
    // A recording that cannot be read is not played as empty.
    if (!recordMode && test_->samples(ChannelCode::GSR)->isEmpty()) {
        const QString name = testCaption(*inspection_, inspection_->indexOfTest(test_->id));
        const auto load = [inspection_, test_] { return inspection_->loadRecording(test_, false); };
        const StoreResult read = ReadRefusal::settle(QApplication::activeWindow(), inspection_->path, name, load);
        LargeBlockHeap::returnFreed();
        if (read != StoreResult::Ok)
            return false;
    }
    QCoreApplication::instance()->installEventFilter(this);
    // Held marking keys then come as presses only; pairs are still told apart where the server refuses.
    m_detectableRepeat = X11KeyRepeat::setDetectable(true);
    inspection = inspection_;
    // The samples are shared with the subject's test until one side writes.
    m_running = std::make_unique<InspectionTest>(*test_);
    test = m_running.get();
    m_subject = inspection->path;

    m_session = std::make_unique<RecordingSession>();
    connect(m_session.get(), &RecordingSession::deviceFailed, this, &PoligrammeRecordWindow::onErrorFromSensorReader);
    connect(m_session.get(), &RecordingSession::loadAdvChannelsUI, this, &PoligrammeRecordWindow::loadAdvChannelsUI);
    connect(m_session.get(), &RecordingSession::loopEnded, this, &PoligrammeRecordWindow::onLoopEnded);
    m_session->start(this, inspection, test, recordMode, startPosition, collaborators);

    cursorTimer = new QTimer(this);
    cursorTimer->setInterval(CursorUpkeepMs);
    connect(cursorTimer, &QTimer::timeout, this, &PoligrammeRecordWindow::onTimerUpdateCursor);
    cursorTimer->start();
    return true;
}

QUuid PoligrammeRecordWindow::stop(bool save)
{
    delete cursorTimer;
    cursorTimer = nullptr;
    m_keys->reset();
    if (m_detectableRepeat)
        m_detectableRepeat = X11KeyRepeat::setDetectable(false);
    releaseKeyboard();
    RecordingEnd::Run run;
    if (m_session) {
        run = m_session->stop().value_or(run);
        m_session.reset();
    }
    QUuid kept;
    if (test && inspection) {
        run.subject = m_subject;
        kept = RecordingEnd(inspection, test, run).finish(save);
    }
    test = nullptr;
    m_running.reset();
    return kept;
}

// The main window closes the screen in a turn of its own, never inside the session's.
void PoligrammeRecordWindow::onLoopEnded()
{
    if (QMainWindow *main = findMainWindow())
        QCoreApplication::postEvent(main, new QEvent(RecordingEvents::LoopEnded));
}

void PoligrammeRecordWindow::setSweep(int ms)
{
    if (m_session)
        m_session->setSweep(ms);
}

void PoligrammeRecordWindow::setVerticalPosition(int value)
{
    if (m_session)
        m_session->setVerticalPosition(value);
}

void PoligrammeRecordWindow::seekPosition(int position)
{
    if (m_session)
        m_session->seekPosition(position);
}

void PoligrammeRecordWindow::setRemoteControlCursor(bool on)
{
    remoteControl = on;
    if (!on) {
        setCursor(Qt::ArrowCursor);
        return;
    }
    const QPixmap image(VugImages::path(QStringLiteral("RemoteControlCursor.png")));
    setCursor(QCursor(image, image.width() / 2, image.height() / 2));
}

// The session has told the loop to end already.
void PoligrammeRecordWindow::onErrorFromSensorReader(QString msg)
{
    releaseKeyboard();
    // Nothing of this window is touched after the box: a close request
    // handled while it is open may delete the window.
    QMessageBox::warning(QApplication::activeWindow(), tr("Воркел"), msg, QMessageBox::Ok);
    if (QMainWindow *main = findMainWindow())
        QCoreApplication::postEvent(main, new QEvent(RecordingEvents::DeviceError));
}

void PoligrammeRecordWindow::onDrawZoom(QPixmap &px_)
{
    if (m_session)
        m_session->drawZoom(mapFromGlobal(QCursor::pos()), px_);
}

void PoligrammeRecordWindow::onTimerUpdateCursor()
{
    const Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
    if (modalDialogOpen() || !m_session || (modifiers & Qt::ShiftModifier))
        return;
    const QPoint global = QCursor::pos();
    publishInput(global, QGuiApplication::mouseButtons(), modifiers);
    const QPoint p = mapFromGlobal(global);
    if (!dragStart.isNull()) {
        setCursor(Qt::DragMoveCursor);
        return;
    }
    if (remoteControl || drawPanelG::panelAt(p, -1))
        return;
    setCursor(m_session->channelAtPoint(p) >= 0 ? Qt::OpenHandCursor : Qt::ArrowCursor);
}

void PoligrammeRecordWindow::resizeEvent(QResizeEvent *event)
{
    m_surfaceSize = event->size();
    takeOrigin();
    QWindow::resizeEvent(event);
}

void PoligrammeRecordWindow::moveEvent(QMoveEvent *event)
{
    takeOrigin();
    QWindow::moveEvent(event);
}

// A child window is not told when its parent moves; it is exposed again.
void PoligrammeRecordWindow::exposeEvent(QExposeEvent *event)
{
    takeOrigin();
    QWindow::exposeEvent(event);
}

// The keyboard grab is global on X11: a hidden window must not keep it.
void PoligrammeRecordWindow::hideEvent(QHideEvent *event)
{
    m_keys->reset();
    releaseKeyboard();
    QWindow::hideEvent(event);
}

void PoligrammeRecordWindow::grabKeyboard()
{
    if (QMainWindow *main = findMainWindow())
        main->grabKeyboard();
}

void PoligrammeRecordWindow::releaseKeyboard()
{
    QMainWindow *main = findMainWindow();
    if (main && QWidget::keyboardGrabber() == main)
        main->releaseKeyboard();
}

bool PoligrammeRecordWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_session || !isVisible())
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        return filterKeyPress(static_cast<QKeyEvent *>(event));
    case QEvent::KeyRelease:
        return filterKeyRelease(static_cast<QKeyEvent *>(event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel:
        break;
    default:
        return false;
    }
    // Mouse events reach a window once, then each widget on their way: only the first counts.
    if (!watched->isWindowType())
        return false;
    if (event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (!(wheel->modifiers() & Qt::ShiftModifier) || modalDialogOpen())
            return false;
        const QPoint global = wheel->globalPosition().toPoint();
        publishInput(global, wheel->buttons(), wheel->modifiers());
        filterWheel(wheel, mapFromGlobal(global));
        return true;
    }
    auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint global = mouse->screenPos().toPoint();
    publishInput(global, mouse->buttons(), mouse->modifiers());
    const QPoint p = mapFromGlobal(global);
    if (event->type() == QEvent::MouseButtonPress)
        filterMousePress(mouse, p);
    else if (event->type() == QEvent::MouseMove)
        filterMouseMove(mouse, p);
    else
        filterMouseRelease(mouse, p);
    return false;
}

bool PoligrammeRecordWindow::filterKeyPress(QKeyEvent *event)
{
    if (modalDialogOpen())
        return false;
    if (popupOpen())
        return KeyRepeatFilter::isHeldKey(event->key());
    // The main window's mode keys choose the tab shown when this screen closes.
    if ((event->modifiers() & Qt::AltModifier) && modeDigitOfKey(event) >= 0)
        return false;
    publishInput(QCursor::pos(), QGuiApplication::mouseButtons(), event->modifiers());
    m_keys->press(event->key(), event->timestamp(), event->isAutoRepeat());
    return true;
}

bool PoligrammeRecordWindow::filterKeyRelease(QKeyEvent *event)
{
    if (modalDialogOpen()) {
        // The dialog takes the release: the key must not count as held afterwards.
        m_keys->reset();
        return false;
    }
    publishInput(QCursor::pos(), QGuiApplication::mouseButtons(), event->modifiers());
    m_keys->release(event->key(), event->timestamp(), event->isAutoRepeat());
    return true;
}

void PoligrammeRecordWindow::actOnKeyPress(int key)
{
    if (!m_session)
        return;
    if (KeyRepeatFilter::isHeldKey(key))
        grabKeyboard();
    m_session->keyPress(key);
}

// A release may count after its pair wait, when the recording has stopped.
void PoligrammeRecordWindow::actOnKeyRelease(int key)
{
    releaseKeyboard();
    if (m_session)
        m_session->keyRelease(key);
}

bool PoligrammeRecordWindow::holdsPoint(const QPoint &p) const { return QRect(QPoint(0, 0), size()).contains(p); }

bool PoligrammeRecordWindow::pressRemoteControl(QMouseEvent *event, const QPoint &p)
{
    if (!remoteControl || !holdsPoint(p) || (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)))
        return false;
    if (event->button() == Qt::LeftButton)
        m_session->keyPress(Qt::Key_Space);
    else if (event->button() == Qt::RightButton)
        m_session->keyPress(Qt::Key_Backspace);
    else
        return false;
    return true;
}

void PoligrammeRecordWindow::filterMousePress(QMouseEvent *event, const QPoint &p)
{
    if (pressRemoteControl(event, p))
        return;
    if (!m_session->channelSelected()) {
        if (event->button() != Qt::LeftButton || drawPanelG::panelAt(p, -1))
            return;
        const int code = m_session->channelAtPoint(p);
        if (code < 0)
            return;
        m_session->setSelectedChannel(code);
        m_session->setChannelSelected(true);
        startDrag(p);
    } else if (drawPanelG::panelAt(p, 0)) {
        selectPanelRow(p);
    } else if (m_session->plotArea().contains(p)) {
        startDrag(p);
    }
}

void PoligrammeRecordWindow::startDrag(const QPoint &p)
{
    dragStart = p;
    setCursor(Qt::DragMoveCursor);
}

void PoligrammeRecordWindow::selectPanelRow(const QPoint &p)
{
    for (int code = 0; code < ChannelCode::Count; ++code) {
        if (drawPanelG::channelCell(PanelState::RowCell, code).contains(p)) {
            m_session->setSelectedChannel(code);
            return;
        }
    }
}

void PoligrammeRecordWindow::filterMouseMove(QMouseEvent *event, const QPoint &p)
{
    if (remoteControl || modalDialogOpen())
        return;
    if (dragStart.isNull()) {
        const Qt::KeyboardModifiers modifiers = event->modifiers();
        const bool hand = m_session->plotArea().contains(p) && !drawPanelG::panelAt(p, -1)
                          && (modifiers & Qt::ShiftModifier) && !(modifiers & Qt::ControlModifier);
        setCursor(hand ? Qt::OpenHandCursor : Qt::ArrowCursor);
    } else if (event->buttons() & Qt::LeftButton) {
        dragChannel(event, p);
    }
}

void PoligrammeRecordWindow::dragChannel(QMouseEvent *event, const QPoint &p)
{
    const int dx = p.x() - dragStart.x();
    const int dy = p.y() - dragStart.y();
    const bool horizontal = std::abs(dx) >= std::abs(dy);
    {
        QMutexLocker lock(&m_session->markLock());
        InspectionChannel &record = test->channel(m_session->selectedChannel());
        if (!(event->buttons() & Qt::RightButton)) {
            if (horizontal)
                changeChannelAmplify(record, dx);
            else
                moveChannelOffset(record, -dy);
        } else if (horizontal) {
            // One gain step per move, however far the mouse went.
            if (dx != 0)
                changeChannelGain(record, dx > 0 ? 1 : -1);
        } else {
            moveChannelShift(record, record.Inverse && *record.Inverse ? dy : -dy);
        }
    }
    startDrag(p);
}

void PoligrammeRecordWindow::filterMouseRelease(QMouseEvent *event, const QPoint &p)
{
    const Qt::KeyboardModifiers held = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    if (remoteControl && holdsPoint(p) && !held) {
        m_session->keyRelease(Qt::Key_Space);
        return;
    }
    if (dragStart.isNull() || event->button() != Qt::LeftButton)
        return;
    if (!held)
        m_session->setChannelSelected(false);
    dragStart = QPoint();
    setCursor(Qt::ArrowCursor);
}

void PoligrammeRecordWindow::filterWheel(QWheelEvent *event, const QPoint &p)
{
    const int delta = event->angleDelta().y();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    for (int code = 0; code < ChannelCode::Count; ++code) {
        InspectionChannel *record = test->findChannel(code);
        if (record && !wheelOverRow(*record, code, delta, ctrl, p))
            return;
    }
}

// False when the event must not be handled further.
bool PoligrammeRecordWindow::wheelOverRow(InspectionChannel &record, int code, int delta, bool ctrl,
                                          const QPoint &p)
{
    const auto over = [code, &p](PanelState::Cell cell) { return drawPanelG::channelCell(cell, code).contains(p); };
    const bool hardwareCell = ctrl && (over(PanelState::ShiftCell) || over(PanelState::GainCell));
    // The unit's gain and zero stay put through a presentation.
    if (hardwareCell && !test->canFinishRecording(m_session->position()))
        return false;
    if (ctrl && over(PanelState::ShiftCell))
        moveChannelShift(record, delta / ShiftWheelDivisor);
    else if (ctrl && over(PanelState::GainCell))
        changeChannelGain(record, delta / GainWheelDivisor);
    else if (!ctrl && over(PanelState::PositionCell))
        moveChannelOffset(record, delta / DisplayWheelDivisor);
    else if (!ctrl && over(PanelState::WidthCell))
        changeChannelAmplify(record, delta / DisplayWheelDivisor);
    else
        return true;
    m_session->setSelectedChannel(code);
    return true;
}
