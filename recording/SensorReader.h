#pragma once

#include "data/FilterState.h"
#include "data/GenericSettings.h"
#include "data/Inspection.h"
#include "data/TemporaryVideo.h"
#include "recording/ReaderCollaborators.h"
#include "recording/SensorUnit.h"
#include "sensors/interface/SensorFrame.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QVector>
#include <QWaitCondition>

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>

class VideoPlayer;
class VideoRecorder;

class TickSource;
class _Timer;

// The acquisition worker of a recording and of a playback. Made on the GUI
// thread, then moved to a thread of its own that runs onExecute: once per tick
// it stores one frame of the unit (or, in playback, moves along the recorded
// arrays in step with the test's video) and wakes the live view.
class SensorReader : public QObject
{
    Q_OBJECT

public:
    static constexpr int RecordCapacity = 72000;
    static constexpr int TicksPerSecond = 20;
    // Highest position at which a failed read is ignored.
    static constexpr int IgnoredFailedReads = 10;
    static constexpr int MicLevelCount = 10;
    static constexpr int FrameBufferBytes = 1280 * 960 * 4;
    static constexpr int CameraWaitMs = 11000;

    SensorReader(Inspection *inspection, Inspection::_Test *test, bool recordMode, int startPosition,
                 const ReaderCollaborators &collaborators = ReaderCollaborators());
    // Runs on the GUI thread after onExecute has returned.
    ~SensorReader() override;

    // Returns once a tick came since the caller's last return (true), or a
    // stop was requested (false, at once from then on).
    bool waitForData();
    // Makes out share the latest frame (size its width and height, serial its
    // count of frames published); false when there is none.
    bool takeVideoFrame(QByteArray &out, QSize *size = nullptr, quint64 *serial = nullptr);
    // Shares a frame of the camera or the video with the live view.
    void publishFrame(const QByteArray &buffer, int width, int height);
    double sumValues() const;
    // Keeps only the pre-roll before the current position, while the test has no mark.
    void clearPolygramStart();
    // Playback: moves to the position, within the recorded length, and the video with it.
    void seek(int newPosition);
    // Ends the loop at its next check and releases the live view's wait.
    void requestStop();
    // Pauses or resumes; a recording refuses the pause (false) while a
    // presentation is under way, whose reaction must be recorded in real time.
    bool requestPause(bool on);
    // From a group's first question to the end of the answer time after its last.
    bool presentationUnderWay() const;
    // A recording whose loop still stores frames: not stopped, by hand or automatically.
    bool acquiring() const { return recordMode && !stopRequested && !loopEnded; }

    qint16 breathingDifference() const;
    qint16 tachogramValue();
    void resetTachogram(bool reset);

    VideoPlayer *videoPlayer() const { return player.get(); }
    // The recorder of this run; asked for its file once the loop has ended.
    VideoRecorder *videoRecorder() const { return recorder.get(); }
    // The file the recorder writes, for the recording's end to put in place.
    std::shared_ptr<TemporaryVideo> temporaryVideo() const { return ownVideo; }
    // Ticks with no frame of their own: let go because the reader had fallen
    // more than a second behind, or the unit gave none. Each still took its
    // position, with the last frame repeated, so the time axis stays true.
    quint64 missedTicks() const { return missed; }
    // Replies the unit sent unasked, dropped by its plug-in.
    quint64 lineErrors() const { return unit.lineErrors(); }

    // The values below are written by the acquisition thread and read from
    // any other through these accessors only; each is one atomic value.
    // The position the next tick stores at.
    int currentPosition() const { return position; }
    void setPosition(int at) { position = at; }  // tests
    bool isRecording() const { return recordMode; }
    // Positions the arrays hold: the recorded length in a playback.
    int positionCount() const { return capacity; }
    // The position within the arrays nearest to at.
    int clampedPosition(int at) const { return std::clamp(at, 0, std::max(0, capacity - 1)); }
    bool isPaused() const { return paused; }
    void setPaused(bool on) { paused = on; }  // tests
    // Seconds left before the automatic stop; -1 while none is counting.
    int countdownSeconds() const { return countdown; }
    void setCountdown(int seconds) { countdown = seconds; }  // tests
    // The unit's last frame could not be read.
    bool readFailed() const { return readError != 0; }
    void setReadFailed(bool failed) { readError = failed ? 1 : 0; }  // tests
    bool isSixteenBit() const { return sixteenBit; }
    void setSixteenBit(bool on) { sixteenBit = on; }  // tests
    bool stopping() const { return stopRequested; }  // tests
    // The played video's clock at the last tick, in ms.
    int videoClock() const { return videoClockMs; }  // tests

signals:
    void finished();
    void error(QString sErr);
    void loadAdvChannelsUI(QList<QString>);

public slots:
    void onExecute();

private:
    QMutex dataMutex;
    QMutex frameMutex;
    QWaitCondition dataReady;
    Inspection::_Test *test;
    // The subject's media folder as it was at the start: the subject may be
    // renamed or closed while the run goes on.
    const QString mediaFolder;
    std::atomic<bool> stopRequested{false};
    std::atomic<int> position{1};
    const bool recordMode;
    int capacity = 0;
    GenericSettings settings;
    std::atomic<int> videoClockMs{0};
    std::unique_ptr<VideoRecorder> recorder;
    std::shared_ptr<TemporaryVideo> ownVideo;
    std::unique_ptr<VideoPlayer> player;
    QByteArray videoFrame;
    QVector<double> micLevels;
    std::atomic<int> countdown{-1};
    std::atomic<bool> paused{false};
    int lastBeat = 0;
    int currentBeat = 0;
    std::atomic<bool> sixteenBit{false};
    std::atomic<int> readError{0};

    // What the recorder or the player gave for this tick.
    struct VideoSample
    {
        bool taken = false;
        double seconds = 0.0;
        double level = 0.0;
    };

    // Chooses the tick to run now, the newest being the source's count.
    // The ticks let go before this one.
    quint64 takeTick(quint64 newest);
    void repeatLastFrame(quint64 ticks);
    bool waitForCamera();
    // Opens the unit and readies the test for a recording from it.
    bool setUpUnit();
    void recordTick();
    void playbackTick();
    VideoSample takeRecorderFrame();
    void checkAutomaticStop();
    void storeFrame(const SensorFrame &frame, const VideoSample &video);
    qint16 micValue(double level) const;
    void followVideoClock();
    void advance();
    void wakeRenderer();
    void stopRecorder();
    void endLoop();
    void fail(const QString &text);
    bool holdsPosition(const QVector<qint16> *samples) const;

    std::unique_ptr<_Timer> ownTimer;
    TickSource *ticks;
    QString pluginFolder;
    QPointer<QObject> loopEndReceiver;
    QMutex ownMarkLock;
    QMutex *markLock;
    // Covers a tick's storing and advancing, clearPolygramStart and the seek.
    QMutex storeMutex;
    SensorUnit unit;
    bool videoWanted = false;
    // The media folder was made for this recording's video.
    bool madeMediaFolder = false;
    QSize videoFrameSize;
    quint64 videoFrameSerial = 0;
    QByteArray recorderBuffer;
    QByteArray playerBuffer;
    FilterState pulseFilterA;
    FilterState pulseFilterB;
    std::array<double, 5> pulseHistory{};
    quint64 ticksTaken = 0;
    std::atomic<quint64> missed{0};
    SensorFrame lastFrame{};
    std::atomic<bool> loopEnded{false};
    // Under dataMutex: ticks processed, and how many the live view has seen.
    quint64 ticksDone = 0;
    quint64 ticksSeen = 0;
};
