#include "recording/RecordingSession.h"

#include "recording/RecordingEvents.h"
#include "recording/Renderer.h"
#include "recording/SensorReader.h"
#include "recording/media/VideoPlayer.h"
#include "recording/media/VideoRecorder.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

RecordingSession::RecordingSession(QObject *parent)
    : QObject(parent)
{
}

RecordingSession::~RecordingSession() { stop(); }

void RecordingSession::start(RenderSurface *surface, Inspection *inspection, InspectionTest *test, bool recordMode,
                             int startPosition, const ReaderCollaborators &collaborators)
{
    if (m_reader)
        return;
    m_test = test;
    // A recording starts from nothing, whatever the test held: marks left in
    // memory would be taken for this recording's.
    if (recordMode)
        test->clearRecording();
    ReaderCollaborators own = collaborators;
    own.loopEndReceiver = this;
    own.markLock = &m_marks;
    own.videoUnplayable = [this](const QString &text) { emit videoUnplayable(text); };
    readerThread = new QThread;
    m_reader = new SensorReader(inspection, test, recordMode, startPosition, own);
    m_reader->moveToThread(readerThread);
    renderThread = new QThread;
    m_renderer = new Renderer(surface, inspection, test, m_reader, &m_marks);
    m_renderer->setSubFrameDrawn(m_subFrameDrawn);
    m_renderer->moveToThread(renderThread);

    connect(renderThread, &QThread::started, m_renderer, &Renderer::onExecute);
    connect(m_renderer, &Renderer::finished, m_renderer, &Renderer::onQuit);
    connect(m_renderer, &Renderer::updateUI, this, &RecordingSession::updateUI);
    connect(m_renderer, &Renderer::refused, this, &RecordingSession::refused);
    connect(m_renderer, &Renderer::labelsChanged, this, &RecordingSession::labelsChanged);
    connect(m_renderer, &Renderer::seekRequested, this, &RecordingSession::moveReader);
    connect(readerThread, &QThread::started, m_reader, &SensorReader::onExecute);
    connect(m_reader, &SensorReader::error, this, &RecordingSession::onReaderError);
    connect(m_reader, &SensorReader::loadAdvChannelsUI, this, &RecordingSession::loadAdvChannelsUI);
    renderThread->start(QThread::InheritPriority);
    readerThread->start(QThread::InheritPriority);
}

std::optional<RecordingEnd::Run> RecordingSession::stop()
{
    if (!m_reader)
        return std::nullopt;
    stopRenderer();
    RecordingEnd::Run run;
    run.presentationDone = m_test->isPresentationDone(m_reader->currentPosition());
    stopReader(run);
    return run;
}

void RecordingSession::stopRenderer()
{
    // The renderer waits for the reader's data: release it before it is told to stop.
    m_reader->requestStop();
    m_renderer->requestStop();
    renderThread->quit();
    renderThread->wait();
    delete renderThread;
    renderThread = nullptr;
    delete m_renderer;
    m_renderer = nullptr;
}

void RecordingSession::stopReader(RecordingEnd::Run &run)
{
    m_reader->requestStop();
    readerThread->quit();
    readerThread->wait();
    run.newRecording = m_reader->isRecording();
    if (VideoRecorder *recorder = m_reader->videoRecorder()) {
        recorder->stop();
        run.videoWritten = recorder->wroteFile();
        run.videoFailure = recorder->failure();
        run.video = m_reader->temporaryVideo();
    }
    delete readerThread;
    readerThread = nullptr;
    delete m_reader;
    m_reader = nullptr;
    // The loop's end was asked for here: its report, still queued, would
    // close whatever the owner shows next.
    QCoreApplication::removePostedEvents(this, RecordingEvents::LoopEnded);
}

bool RecordingSession::event(QEvent *event)
{
    if (event->type() != RecordingEvents::LoopEnded)
        return QObject::event(event);
    emit loopEnded();
    return true;
}

void RecordingSession::onReaderError(const QString &text)
{
    if (m_reader)
        m_reader->requestStop();
    emit deviceFailed(text);
}

void RecordingSession::moveReader(int position)
{
    // Queued from the render thread: the run it came from may have stopped.
    if (m_reader)
        m_reader->seek(position);
}

void RecordingSession::setSweep(int ms)
{
    if (m_renderer)
        m_renderer->setSweep(ms);
}

void RecordingSession::setVerticalPosition(int value)
{
    if (m_renderer)
        m_renderer->setVerticalPosition(value);
}

void RecordingSession::seekPosition(int position)
{
    if (!m_renderer)
        return;
    m_renderer->setViewPosition(position);
    // The reader clamps to the recorded length and moves the video only where a time is stored.
    if (!m_reader->isRecording())
        m_reader->seek(position);
}

void RecordingSession::setSliderPressed(bool pressed)
{
    if (m_renderer)
        m_renderer->setSliderPressed(pressed);
}

int RecordingSession::selectedChannel() const { return m_renderer ? m_renderer->selectedChannel() : -1; }

void RecordingSession::setSelectedChannel(int code)
{
    if (m_renderer)
        m_renderer->setSelectedChannel(code);
}

bool RecordingSession::channelSelected() const { return m_renderer && m_renderer->channelSelected() != 0; }

void RecordingSession::setChannelSelected(bool on)
{
    if (m_renderer)
        m_renderer->setChannelSelected(on ? 1 : 0);
}

bool RecordingSession::isPaused() const { return m_reader && m_reader->isPaused(); }

bool RecordingSession::setPaused(bool on)
{
    if (!m_reader || !m_reader->requestPause(on))
        return false;
    if (VideoPlayer *player = m_reader->videoPlayer())
        player->setPaused(on);
    return true;
}

bool RecordingSession::presentationUnderWay() const { return m_reader && m_reader->presentationUnderWay(); }

bool RecordingSession::isAcquiring() const { return m_reader && m_reader->acquiring(); }

void RecordingSession::clearPolygramStart()
{
    if (m_reader)
        m_reader->clearPolygramStart();
}

void RecordingSession::keyPress(int key)
{
    if (m_renderer)
        m_renderer->keyPress(key);
}

void RecordingSession::keyRelease(int key)
{
    if (m_renderer)
        m_renderer->keyRelease(key);
}

int RecordingSession::channelAtPoint(const QPoint &p) const { return m_renderer ? m_renderer->channelAtPoint(p) : -1; }

QRect RecordingSession::plotArea() const { return m_renderer ? m_renderer->plotArea() : QRect(); }

void RecordingSession::drawZoom(const QPoint &p, QPixmap &pixmap)
{
    if (m_renderer)
        m_renderer->drawZoom(p, pixmap);
}

int RecordingSession::position() const { return m_reader ? m_reader->currentPosition() : 0; }

bool RecordingSession::isNewRecording() const { return m_reader && m_reader->isRecording(); }

_QSecondMonitor *RecordingSession::examineeView() const
{
    return m_renderer ? m_renderer->secondMonitorView() : nullptr;
}

quint64 RecordingSession::missedFrames() const { return isNewRecording() ? m_reader->missedTicks() : 0; }

quint64 RecordingSession::lineErrors() const { return isNewRecording() ? m_reader->lineErrors() : 0; }

void RecordingSession::setSubFrameDrawn(const std::function<void(int position, int subFrame)> &drawn)
{
    m_subFrameDrawn = drawn;
}
