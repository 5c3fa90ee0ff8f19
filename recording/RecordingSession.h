#pragma once

#include "data/Inspection.h"
#include "recording/ReaderCollaborators.h"
#include "recording/RecordingEnd.h"

#include <QList>
#include <QMutex>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

class QPixmap;
class QThread;
class RenderSurface;
class Renderer;
class SensorReader;
class _QSecondMonitor;

// One recording or playback: the acquisition thread with the sensor reader,
// the render thread with the live renderer drawing on a surface, and the lock
// of the test's marks they share. It is the only place those threads are
// started and joined, in one order, whoever drives it: the record window, the
// tests, the benchmarks. Made and used on the GUI thread.
class RecordingSession : public QObject
{
    Q_OBJECT
public:
    explicit RecordingSession(QObject *parent = nullptr);
    // Stops without saving: no thread outlives the session.
    ~RecordingSession() override;

    // Makes the reader and the renderer and starts their threads, the
    // renderer's first. Whatever collaborators says, the reader posts its
    // loop's end to the session and locks the marks with the session's lock.
    // A recording starts with the test's marks and samples cleared. Does
    // nothing while running.
    void start(RenderSurface *surface, Inspection *inspection, InspectionTest *test, bool recordMode, int startPosition,
               const ReaderCollaborators &collaborators = ReaderCollaborators());
    // Joins both threads and drops the reader and renderer; the facts of the
    // run for RecordingEnd, once: nothing when no run was going.
    std::optional<RecordingEnd::Run> stop();
    bool isRunning() const { return m_reader != nullptr; }

    // What the examiner sets; nothing happens while not running.
    void setSweep(int ms);
    void setVerticalPosition(int value);
    // Moves the view there; a playback moves the reader and its video too.
    void seekPosition(int position);
    void setSliderPressed(bool pressed);
    int selectedChannel() const;
    void setSelectedChannel(int code);
    bool channelSelected() const;
    void setChannelSelected(bool on);
    bool isPaused() const;
    // Pauses the acquisition and a played video with it, or resumes them;
    // false when refused: a recording is not paused within a presentation.
    bool setPaused(bool on);
    // From a group's first question to the end of the answer time after its last.
    bool presentationUnderWay() const;
    // A recording whose loop still stores frames: not stopped, by hand or automatically.
    bool isAcquiring() const;
    void clearPolygramStart();
    void keyPress(int key);
    void keyRelease(int key);
    int channelAtPoint(const QPoint &p) const;
    QRect plotArea() const;
    void drawZoom(const QPoint &p, QPixmap &pixmap);

    // What the live view shows.
    int position() const;
    bool isNewRecording() const;
    // The examinee's screen of the running recording; null when not running or the test shows nothing.
    _QSecondMonitor *examineeView() const;
    // Ticks of a new recording with no frame of their own, and replies its
    // unit sent unasked; none in a playback.
    quint64 missedFrames() const;
    quint64 lineErrors() const;
    // The lock of the test's mark lists and channel records, shared by the threads.
    QMutex &markLock() { return m_marks; }

    // Called by the render thread after each sub-frame of runs started later.
    void setSubFrameDrawn(const std::function<void(int position, int subFrame)> &drawn);  // tests
    SensorReader *reader() const { return m_reader; }  // tests
    Renderer *renderer() const { return m_renderer; }  // tests

signals:
    // The loop ended by itself (the automatic stop, the end of the arrays):
    // the owner closes the recording and saves it. Never after a stop.
    void loopEnded();
    // The unit or the camera failed; the loop has been told to end.
    void deviceFailed(QString text);
    // The unit's extra channels.
    void loadAdvChannelsUI(QList<QString> names);
    // The position, every Renderer::UpdateInterval positions.
    void updateUI(int position);
    // The played test's video cannot be played: the sentence that says why.
    void videoUnplayable(const QString &text);
    // A key of the examiner's did nothing; why, for the recording screen to tell.
    void refused(const QString &reason);
    // A mark was made or removed by a key.
    void labelsChanged();

protected:
    bool event(QEvent *event) override;

private:
    void onReaderError(const QString &text);
    void moveReader(int position);
    void stopRenderer();
    void stopReader(RecordingEnd::Run &run);

    QMutex m_marks;
    QThread *readerThread = nullptr;
    QThread *renderThread = nullptr;
    SensorReader *m_reader = nullptr;
    Renderer *m_renderer = nullptr;
    InspectionTest *m_test = nullptr;
    std::function<void(int position, int subFrame)> m_subFrameDrawn;
};
