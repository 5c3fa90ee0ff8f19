#include "recording/SensorReader.h"

#include "data/ChannelBindings.h"
#include "data/DefChannel.h"
#include "data/InspectionMedia.h"
#include "data/SharedHelpers.h"
#include "recording/RecordingEvents.h"
#include "recording/TickSource.h"
#include "recording/_Timer.h"
#include "recording/media/Player.h"
#include "recording/media/VideoPlayer.h"
#include "recording/media/RecorderFactory.h"
#include "recording/media/VideoRecorder.h"

#include <climits>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaType>
#include <QThread>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kCameraPollMs = 100;
// Playback: how near the video clock a position's time must be, the share of
// the gap closed per tick, and the step between two positions' times that
// makes the player seek.
constexpr int kClockMatchMs = 49;
constexpr int kCatchUpDivisor = 5;
constexpr int kLargestStepMs = 200;

bool holdsIndex(const QVector<qint32> &values, int index)
{
    return index >= 0 && index < values.size();
}

}  // namespace

SensorReader::SensorReader(Inspection *inspection, Inspection::_Test *test, bool recordMode, int startPosition,
                           const ReaderCollaborators &collaborators)
    : test(test)
    , mediaFolder(InspectionMedia::mediaFolder(*inspection))
    , recordMode(recordMode)
    , micLevels(MicLevelCount, 0.0)
    , ticks(collaborators.ticks)
    , pluginFolder(collaborators.pluginFolder.isEmpty() ? SensorPlugin::programFolder() : collaborators.pluginFolder)
    , loopEndReceiver(collaborators.loopEndReceiver)
    , markLock(collaborators.markLock ? collaborators.markLock : &ownMarkLock)
{
    if (!ticks) {
        ownTimer = std::make_unique<_Timer>();
        ticks = ownTimer.get();
    }
    settings.load();

    if (recordMode) {
        capacity = RecordCapacity;
        videoWanted = settings.bEnableVideoForRecord;
        if (!videoWanted)
            return;
        // Without a camera on the system there is nothing to wait for: the loop tells so at once.
        if (collaborators.makeRecorder)
            recorder = collaborators.makeRecorder(settings.iQualityVideo);
        else if (RecorderFactory::cameraListed())
            recorder = RecorderFactory::make(settings.iQualityVideo);
        if (!recorder)
            return;
        madeMediaFolder = !QFileInfo(mediaFolder).isDir();
        TemporaryVideo::removeLeftovers(mediaFolder);
        ownVideo = std::make_shared<TemporaryVideo>(mediaFolder, TemporaryVideo::Kind::Test);
        recorderBuffer = QByteArray(FrameBufferBytes, '\0');
        recorder->start(ownVideo->path(), settings.sVideoDeviceName, settings.sAudioDeviceName);
        return;
    }

    capacity = test->samples(ChannelCode::GSR)->size();
    position = std::clamp(startPosition, 0, std::max(0, capacity - 1));
    const QString video = InspectionMedia::testVideoName(*inspection, *test);
    // A test without a video plays untold; whatever else is there is checked by the player.
    const QFileInfo entry(video);
    if (!holdsIndex(test->TimeMM, position) || (!entry.exists() && !entry.isSymLink()))
        return;
    player = collaborators.makePlayer ? collaborators.makePlayer() : std::make_unique<Player>();
    playerBuffer = QByteArray(FrameBufferBytes, '\0');
    player->open(video, test->TimeMM[position], collaborators.videoUnplayable);
}

SensorReader::~SensorReader()
{
    stopRequested = true;
    // The timer's thread ends at its next tick; the player goes on the GUI thread it was made on.
    ownTimer.reset();
    player.reset();
    recorder.reset();
    // A folder made for a video the camera never gave goes too.
    if (madeMediaFolder)
        QDir().rmdir(mediaFolder);
}

bool SensorReader::waitForData()
{
    QMutexLocker lock(&dataMutex);
    while (ticksDone == ticksSeen && !stopRequested)
        dataReady.wait(&dataMutex);
    ticksSeen = ticksDone;
    return !stopRequested;
}

bool SensorReader::takeVideoFrame(QByteArray &out, QSize *size, quint64 *serial)
{
    QMutexLocker lock(&frameMutex);
    if (!videoFrame.isEmpty()) {
        out = videoFrame;
        if (size)
            *size = videoFrameSize;
        if (serial)
            *serial = videoFrameSerial;
    }
    return !out.isEmpty();
}

double SensorReader::sumValues() const
{
    double sum = 0.0;
    for (double level : micLevels)
        sum += level;
    return sum;
}

void SensorReader::requestStop()
{
    {
        QMutexLocker lock(&dataMutex);
        stopRequested = true;
        dataReady.wakeAll();
    }
    ticks->interrupt();
}

bool SensorReader::requestPause(bool on)
{
    if (on && recordMode && presentationUnderWay())
        return false;
    paused = on;
    return true;
}

bool SensorReader::presentationUnderWay() const
{
    QMutexLocker lock(markLock);
    const InspectionLabel *latest = test->labelBefore(-1);
    // A mark counts from the position it was made at, not from the next one.
    return latest && !test->isPresentationDone(std::max<int>(position, latest->TickQStart + 1));
}

void SensorReader::clearPolygramStart()
{
    // Marks are only made on the GUI thread, which also calls this.
    if (!test->labels.isEmpty() || !test->labelsNULL.isEmpty())
        return;
    QMutexLocker lock(&storeMutex);
    const int preRoll = settings.iTimeBeforeForRecord * TicksPerSecond;
    const int now = position;
    if (preRoll < 0 || preRoll > now)
        return;
    const int start = now - preRoll;
    const auto cut = [start, preRoll](auto &values) {
        if (values.isEmpty())
            return;
        const int kept = std::min(preRoll + 1, std::max(0, int(values.size()) - start));
        std::copy(values.begin() + start, values.begin() + start + kept, values.begin());
        std::fill(values.begin() + kept, values.begin() + std::min(int(values.size()), kept + start), 0);
    };
    for (int code = 0; code < ChannelCode::Count; ++code)
        cut(*test->samples(code));
    cut(test->TimeMM);
    position = preRoll;
    lastBeat -= start;
    currentBeat -= start;
}

void SensorReader::seek(int newPosition)
{
    if (recordMode)
        return;
    const int target = clampedPosition(newPosition);
    {
        QMutexLocker lock(&storeMutex);
        position = target;
    }
    if (player && holdsIndex(test->TimeMM, target))
        player->seek(test->TimeMM[target]);
}

bool SensorReader::holdsPosition(const QVector<qint16> *samples) const
{
    return position < samples->size();
}

qint16 SensorReader::breathingDifference() const
{
    const QVector<qint16> *upper = test->samples(ChannelCode::RG_HI);
    const QVector<qint16> *lower = test->samples(ChannelCode::RG_LO);
    if (!holdsPosition(upper) || !holdsPosition(lower))
        return 0;
    return qint16(upper->at(position) - lower->at(position));
}

qint16 SensorReader::tachogramValue()
{
    const QVector<qint16> *pulse = test->samples(ChannelCode::PG);
    if (!holdsPosition(pulse))
        return 0;
    std::rotate(pulseHistory.begin(), pulseHistory.begin() + 1, pulseHistory.end());
    pulseHistory.back() = lowPassFilterA(pulseFilterA, pulse->at(position));
    const bool peak = pulseHistory[2] > pulseHistory.front() && pulseHistory[2] > pulseHistory.back();
    if (peak && position - currentBeat > 5) {
        lastBeat = currentBeat;
        currentBeat = position - 3;
    }
    const int beatTicks = currentBeat - lastBeat;
    if (beatTicks == 0)
        return 0;
    // Beats a second times 1000: a pulse of 60 a minute gives 1000.
    const int rate = int(lowPassFilterB(pulseFilterB, 20000.0 / beatTicks));
    return qint16(sixteenBit ? rate : rate & 0x0FFF);
}

void SensorReader::resetTachogram(bool reset)
{
    if (!reset)
        return;
    lastBeat = 0;
    currentBeat = 0;
    pulseHistory.fill(0.0);
}

void SensorReader::fail(const QString &text)
{
    emit error(text);
    emit finished();
    unit.release();
    ticks->interrupt();
}

void SensorReader::onExecute()
{
    if (videoWanted && !waitForCamera()) {
        stopRecorder();
        if (stopRequested) {
            emit finished();
            ticks->interrupt();
        } else {
            fail(tr("Error open web camera"));
        }
        return;
    }
    initFilterState(pulseFilterA);
    initFilterState(pulseFilterB);
    resetTachogram(true);
    const bool bound = unit.bind(pluginFolder, settings.sNameDriverDll);
    if (recordMode) {
        if (!bound)
            return fail(SensorPlugin::loadFailure(settings.sNameDriverDll));
        if (!setUpUnit())
            return fail(tr("Error open device"));
    }
    sixteenBit = isSixteenBitUnit(test->idsensor);
    // Busy cores must not delay a tick: the loop runs just below its timer.
    _Timer::makeCurrentThreadTimeCritical(1);

    while ((position < capacity - 1 || !recordMode) && !stopRequested) {
        const quint64 newest = ticks->waitForTick(ticksTaken);
        if (stopRequested)
            break;
        const quint64 letGo = takeTick(newest);
        if (recordMode) {
            repeatLastFrame(letGo);
            recordTick();
        }
        else
            playbackTick();
        wakeRenderer();
    }
    endLoop();
}

quint64 SensorReader::takeTick(quint64 newest)
{
    // Ticks before the first one, during the set-up, are no loss.
    if (ticksTaken == 0) {
        ticksTaken = newest;
        return 0;
    }
    // Ticks that came while the reader was busy run one by one at once, so that
    // the positions keep pace with the clock; beyond a second behind, the oldest are let go.
    const quint64 oldest = newest > quint64(TicksPerSecond) ? newest - TicksPerSecond + 1 : 1;
    if (ticksTaken + 1 < oldest) {
        const quint64 letGo = oldest - ticksTaken - 1;
        missed += letGo;
        ticksTaken = oldest;
        return letGo;
    }
    ++ticksTaken;
    return 0;
}

void SensorReader::repeatLastFrame(quint64 ticks)
{
    for (quint64 i = 0; i < ticks && position < capacity - 1; ++i) {
        {
            // The video's clock stands still there too: a played recording does not seek back.
            QMutexLocker lock(&storeMutex);
            const int at = position;
            if (at > 0 && holdsIndex(test->TimeMM, at))
                test->TimeMM[at] = test->TimeMM[at - 1];
        }
        storeFrame(lastFrame, VideoSample());
    }
}

bool SensorReader::waitForCamera()
{
    if (!recorder)
        return false;
    int width = 0;
    int height = 0;
    double seconds = 0.0;
    double level = 0.0;
    for (int waited = 0; !stopRequested; waited += kCameraPollMs) {
        recorder->takeFrame(&width, &height, nullptr, 0, &seconds, &level);
        if (width > 0 || waited >= CameraWaitMs)
            break;
        QThread::msleep(kCameraPollMs);
    }
    return width > 0 && !stopRequested;
}

bool SensorReader::setUpUnit()
{
    if (!unit.open())
        return false;
    test->idsensor = unit.typeId();
    test->TimeMM.fill(0, capacity);
    test->labels.reserve(1000);
    test->labelsNULL.reserve(1000);
    test->ia.nIALength = settings.iIA;
    test->ia.nIABegin = 0;
    test->ia.nIAEnd = settings.iIA;
    bindChannelSettings(*test, true);
    unit.makeArrays(*test, capacity);
    unit.configureChannels(*test, stopRequested);
    qRegisterMetaType<QList<QString>>("QList<QString>");
    emit loadAdvChannelsUI(unit.extraChannelNames());
    return true;
}

void SensorReader::recordTick()
{
    unit.sendPendingChanges(*test);
    SensorFrame frame{};
    const bool ok = unit.readFrame(frame);
    if (!ok && position > IgnoredFailedReads) {
        // The tick keeps its place on the time axis while the unit is reopened.
        ++missed;
        repeatLastFrame(1);
        readError = 1;
        unit.reopen(*test, stopRequested);
        return;
    }
    if (ok)
        lastFrame = frame;
    readError = 0;
    const VideoSample video = takeRecorderFrame();
    checkAutomaticStop();
    storeFrame(frame, video);
}

SensorReader::VideoSample SensorReader::takeRecorderFrame()
{
    VideoSample sample;
    if (!recorder)
        return sample;
    int width = 0;
    int height = 0;
    // Writing detaches the buffer from a frame the live view still holds.
    const int bytes = recorder->takeFrame(&width, &height, recorderBuffer.data(), recorderBuffer.size(),
                                          &sample.seconds, &sample.level);
    sample.taken = width > 0 && height > 0 && bytes <= recorderBuffer.size();
    if (sample.taken)
        publishFrame(recorderBuffer, width, height);
    return sample;
}

void SensorReader::publishFrame(const QByteArray &buffer, int width, int height)
{
    QMutexLocker lock(&frameMutex);
    videoFrame = buffer;
    videoFrameSize = QSize(width, height);
    ++videoFrameSerial;
}

void SensorReader::checkAutomaticStop()
{
    QMutexLocker lock(markLock);
    const int marks = test->labels.size() + test->labelsNULL.size();
    const int questions = test->themis.size() + test->themisNULL.size();
    const InspectionLabel *last = test->labelBefore(-1);
    if (!last || test->lastGroup() * questions != marks) {
        countdown = -1;
        return;
    }
    const int elapsed = position - (last->TickQEnd + test->ia.lengthTicks());
    if (elapsed <= 0) {
        countdown = -1;
        return;
    }
    const int remaining = (TicksPerSecond * settings.iTimeAfterForRecod - elapsed) / TicksPerSecond;
    if (remaining < 0) {
        countdown = 0;
        lock.unlock();
        requestStop();
        return;
    }
    countdown = remaining;
}

void SensorReader::storeFrame(const SensorFrame &frame, const VideoSample &video)
{
    QMutexLocker lock(&storeMutex);
    const int at = position;
    for (int code = 0; code < ChannelCode::Count; ++code) {
        QVector<qint16> *samples = test->samples(code);
        if (test->channel(code).KodDrv >= 0 && holdsPosition(samples))
            (*samples)[at] = frame[code];
    }
    const auto storeDerived = [this, at](int code, qint16 value) {
        QVector<qint16> *samples = test->samples(code);
        if (holdsPosition(samples))
            (*samples)[at] = value;
    };
    storeDerived(ChannelCode::RG_DIFF, breathingDifference());
    storeDerived(ChannelCode::TGM, tachogramValue());
    if (video.taken) {
        micLevels[at % MicLevelCount] = video.level;
        if (holdsIndex(test->TimeMM, at))
            test->TimeMM[at] = int(video.seconds * 1000.0);
        storeDerived(ChannelCode::MIC2, micValue(video.level));
    }
    advance();
}

qint16 SensorReader::micValue(double level) const
{
    const Inspection::_Channel &channel = test->channel(ChannelCode::MIC2);
    const double gain = channel.ADT;
    const double value = level * gain * gain + channel.ShiftADT;
    const double limit = sixteenBit ? 32767.0 : 2047.0;
    return qint16(std::clamp(value, sixteenBit ? -32768.0 : -2047.0, limit));
}

void SensorReader::advance()
{
    if (!paused && position < capacity - 1)
        ++position;
}

void SensorReader::playbackTick()
{
    if (!player) {
        QMutexLocker lock(&storeMutex);
        advance();
        return;
    }
    if (paused)
        return;
    int width = 0;
    int height = 0;
    double seconds = 0.0;
    const int bytes = player->takeFrame(&width, &height, playerBuffer.data(), playerBuffer.size(), &seconds);
    videoClockMs = int(seconds * 1000.0);
    if (width > 0 && height > 0 && bytes <= playerBuffer.size())
        publishFrame(playerBuffer, width, height);
    followVideoClock();
}

void SensorReader::followVideoClock()
{
    QMutexLocker lock(&storeMutex);
    const QVector<qint32> &times = test->TimeMM;
    const int at = position;
    // Without a time of its own the position cannot steer the video.
    if (!holdsIndex(times, at)) {
        advance();
        return;
    }
    const int step = at > 0 ? times[at] - times[at - 1] : 0;
    if (at > IgnoredFailedReads && (step < 0 || step > kLargestStepMs)) {
        player->seek(times[at]);
    } else if (videoClockMs > 0) {
        const int end = std::min(capacity, int(times.size()));
        for (int i = 0; i < end; ++i) {
            if (std::abs(videoClockMs - times[i]) <= kClockMatchMs) {
                position = i < at ? at - (at - i) / kCatchUpDivisor : at + (i - at) / kCatchUpDivisor;
                break;
            }
        }
    }
    advance();
}

void SensorReader::wakeRenderer()
{
    QMutexLocker lock(&dataMutex);
    ++ticksDone;
    dataReady.wakeAll();
}

void SensorReader::stopRecorder()
{
    if (!recorder)
        return;
    recorder->stop();
    // A camera that never gave a frame leaves no file, wherever it lies now.
    if (!recorder->wroteFile())
        ownVideo->remove();
}

void SensorReader::endLoop()
{
    loopEnded = true;
    stopRecorder();
    if (player)
        player->stop();
    if (recordMode) {
        storeChannelSettings(*test);
        test->missedFrames = int(std::min<quint64>(missed, INT_MAX));
        test->lineErrors = int(std::min<quint64>(unit.lineErrors(), INT_MAX));
        unit.close();
        QMutexLocker lock(&storeMutex);
        const int length = position;
        for (int code = 0; code < ChannelCode::Count; ++code) {
            QVector<qint16> *samples = test->samples(code);
            if (!samples->isEmpty())
                samples->resize(length);
        }
        if (!test->TimeMM.isEmpty())
            test->TimeMM.resize(length);
    }
    if (loopEndReceiver)
        QCoreApplication::postEvent(loopEndReceiver, new QEvent(RecordingEvents::LoopEnded));
    unit.release();
    ticks->interrupt();
}
