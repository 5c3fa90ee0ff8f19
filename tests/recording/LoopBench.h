#pragma once

#include "RendererHarness.h"
#include "data/ChannelBindings.h"
#include "recording/PoligrammeRecordWindow.h"

#include <QThread>

// A recording as the record window runs it: the reader on a manual tick (or
// the real timer), the renderer drawing on a shown window from its own thread.
class LoopBench
{
public:
    // raster: the window of the software-GL path.
    explicit LoopBench(Inspection::_Test test = threeQuestions(), bool raster = false)
        : window(nullptr, raster)
    {
        run.collaborators.markLock = nullptr;
        run.test() = test;
        // As the recording screen does before a recording: the curves show.
        bindChannelSettings(run.test(), true);
        for (int code = 0; code < ChannelCode::Count; ++code) {
            InspectionChannel &record = run.test().channel(code);
            if (record.Enable)
                *record.Enable = true;
            record.Amplify = 300;
        }
        window.resize(800, 600);
        window.show();
    }

    ~LoopBench() { stop(); }

    bool exposed() { return QTest::qWaitForWindowExposed(&window); }

    void start(bool manualTicks = true)
    {
        // A stop interrupts the tick source for good: each start has its own.
        ticks = std::make_unique<ManualTickSource>();
        ReaderCollaborators collaborators = run.collaborators;
        collaborators.ticks = manualTicks ? ticks.get() : nullptr;
        reader = std::make_unique<SensorReader>(&run.inspection, &run.test(), true, 0, collaborators);
        renderer = std::make_unique<Renderer>(&window, &run.inspection, &run.test(), reader.get());
        reader->setMarkLock(&renderer->mutex);
        renderer->subFrameDrawn = [this](int d, int k) {
            QMutexLocker lock(&m_drawnMutex);
            m_drawn.append({d, k});
        };
        QObject::connect(renderer.get(), &Renderer::updateUI, &receiver, [this](int p) { updates.append(p); },
                         Qt::QueuedConnection);
        renderThread = std::make_unique<QThread>();
        renderer->moveToThread(renderThread.get());
        QObject::connect(renderThread.get(), &QThread::started, renderer.get(), &Renderer::onExecute);
        renderThread->start();
        SensorReader *r = reader.get();
        readerThread.reset(QThread::create([r] { r->onExecute(); }));
        readerThread->start();
    }

    // The order the record window stops in; false when a thread hung.
    bool stop()
    {
        if (!renderer)
            return true;
        renderer->stopRequested = true;
        reader->requestStop();
        renderThread->quit();
        const bool ended = renderThread->wait(10000) && readerThread->wait(10000);
        if (ended) {
            renderer.reset();
            reader.reset();
        }
        return ended;
    }

    // Ticks once and waits until the renderer has drawn the round's last sub-frame.
    bool tickAndDraw(int subFrames)
    {
        ticks->tick();
        const int p = reader->position;
        QDeadlineTimer limit(5000);
        while (!limit.hasExpired()) {
            if (drawn().contains({p, subFrames - 1}))
                return true;
            QThread::msleep(1);
        }
        return false;
    }

    QVector<QPair<int, int>> drawn()
    {
        QMutexLocker lock(&m_drawnMutex);
        return m_drawn;
    }

    void waitForSetUp() { ticks->waitUntilWaiting(); }

    ReaderRun run;
    std::unique_ptr<ManualTickSource> ticks;
    PoligrammeRecordWindow window;
    QObject receiver;
    QList<int> updates;
    std::unique_ptr<SensorReader> reader;
    std::unique_ptr<Renderer> renderer;
    std::unique_ptr<QThread> renderThread;
    std::unique_ptr<QThread> readerThread;

private:
    QMutex m_drawnMutex;
    QVector<QPair<int, int>> m_drawn;
};
