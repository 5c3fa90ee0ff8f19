#pragma once

#include "polygram/LockedValue.h"
#include "recording/ReaderCollaborators.h"
#include "recording/RecordingEnd.h"
#include "recording/RenderSurface.h"

#include <QPoint>
#include <QSize>
#include <QString>
#include <QUuid>
#include <QWindow>

#include <memory>

class Inspection;
class QImage;
class KeyRepeatFilter;
class QKeyEvent;
class QMouseEvent;
class QPixmap;
class QTimer;
class QWheelEvent;
class RasterPresenter;
class RecordingSession;
struct InspectionChannel;
struct InspectionTest;

// The surface the live renderer draws the recording on from its own thread.
// It holds the session of a recording or playback, which runs the threads, and
// routes the examiner's keys and mouse, application-wide, into it.
// Where OpenGL is a software rasteriser the window is a raster one: the
// renderer hands each frame over and the GUI thread copies it to the screen,
// with no GL composition of the window.
class PoligrammeRecordWindow : public QWindow, public RenderSurface
{
    Q_OBJECT
public:
    explicit PoligrammeRecordWindow(QWindow *parent = nullptr);
    // raster: frames shown with the raster engine; the default follows the render path.
    PoligrammeRecordWindow(QWindow *parent, bool raster);
    ~PoligrammeRecordWindow() override;

    // Whether the renderer can draw from a thread of its own.
    static bool canRenderThreaded();
    bool raster() const override { return m_presenter != nullptr; }
    QWindow *glWindow() override { return raster() ? nullptr : this; }
    void present(const FrameChange &change) override;
    bool takeLoss() override;

    // The run works on a copy of the test, its own until the run has ended:
    // whatever the subject's windows read anew or close meanwhile, what the
    // threads write into stays. False, with nothing started, when the
    // recording to play cannot be read (told).
    bool start(Inspection *inspection, InspectionTest *test, bool recordMode, int startPosition);
    // Ends the session, then keeps or discards the recording; a playback is
    // left as it was. The identifier the recording was kept under in the
    // subject; null when nothing was kept.
    QUuid stop(bool save);
    // The running recording or playback; null between a stop and the next start.
    RecordingSession *session() const { return m_session.get(); }

    void setSweep(int ms);
    void setVerticalPosition(int value);
    void seekPosition(int position);
    void setRemoteControlCursor(bool on);

    // The size last set on the GUI thread; safe from the render thread.
    QSize surfaceSize() const override { return m_surfaceSize.value(); }
    // A global cursor position in the window, by the origin last seen on the
    // GUI thread; the render thread must not ask the window system.
    QPoint fromGlobal(const QPoint &global) const override { return global - m_origin.value(); }

    bool eventFilter(QObject *watched, QEvent *event) override;
    // The scroll area hands its viewport's paint and resize events over.
    using QWindow::event;

    // The run's copy of the test, while a run goes on.
    InspectionTest *test = nullptr;
    Inspection *inspection = nullptr;
    QPoint dragStart;
    QTimer *cursorTimer = nullptr;
    bool remoteControl = false;
    // What the reader is built with, but for its loop's end and mark lock,
    // which are the session's; the defaults are the program's own.
    ReaderCollaborators collaborators;

signals:
    // The unit's extra channels, passed on from the reader, which may name
    // them before anyone could connect to it.
    void loadAdvChannelsUI(QList<QString> names);

public slots:
    void onErrorFromSensorReader(QString msg);
    void onDrawZoom(QPixmap &px_);
    void onTimerUpdateCursor();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void exposeEvent(QExposeEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void takeOrigin() { m_origin = mapToGlobal(QPoint(0, 0)); }
    void onLoopEnded();
    void grabKeyboard();
    static void releaseKeyboard();

    bool filterKeyPress(QKeyEvent *event);
    bool filterKeyRelease(QKeyEvent *event);
    void actOnKeyPress(int key);
    void actOnKeyRelease(int key);
    void filterMousePress(QMouseEvent *event, const QPoint &p);
    void filterMouseMove(QMouseEvent *event, const QPoint &p);
    void filterMouseRelease(QMouseEvent *event, const QPoint &p);
    void filterWheel(QWheelEvent *event, const QPoint &p);
    bool pressRemoteControl(QMouseEvent *event, const QPoint &p);
    void selectPanelRow(const QPoint &p);
    void dragChannel(QMouseEvent *event, const QPoint &p);
    bool wheelOverRow(InspectionChannel &record, int code, int delta, bool ctrl, const QPoint &p);
    void startDrag(const QPoint &p);
    bool holdsPoint(const QPoint &p) const;

    std::unique_ptr<RecordingSession> m_session;
    std::unique_ptr<InspectionTest> m_running;
    // The subject file the run was started for.
    QString m_subject;
    LockedValue<QSize> m_surfaceSize;
    LockedValue<QPoint> m_origin;
    // Set where the window is a raster one; a child of the window.
    RasterPresenter *m_presenter = nullptr;
    KeyRepeatFilter *m_keys;
    bool m_detectableRepeat = false;
};
