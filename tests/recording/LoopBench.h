#pragma once

#include "RendererHarness.h"
#include "data/ChannelBindings.h"
#include "recording/PoligrammeRecordWindow.h"
#include "recording/RecordingSession.h"

#include <QDeadlineTimer>
#include <QThread>

// A recording session as the record window runs it: the reader on a manual
// tick (or the real timer), the renderer drawing on a shown window.
class LoopBench
{
public:
    // raster: the window of the software-GL path.
    explicit LoopBench(Inspection::_Test test = threeQuestions(), bool raster = false)
        : window(nullptr, raster)
    {
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
        session.setSubFrameDrawn([this](int d, int k) {
            QMutexLocker lock(&m_drawnMutex);
            m_drawn.append({d, k});
        });
        QObject::connect(&session, &RecordingSession::updateUI, &receiver, [this](int p) { updates.append(p); });
    }

    bool exposed() { return QTest::qWaitForWindowExposed(&window); }

    void start(bool manualTicks = true)
    {
        // A stop interrupts the tick source for good: each start has its own.
        ticks = std::make_unique<ManualTickSource>();
        ReaderCollaborators collaborators = run.collaborators;
        collaborators.ticks = manualTicks ? ticks.get() : nullptr;
        session.start(&window, &run.inspection, &run.test(), true, 0, collaborators);
    }

    // Ticks once and waits until the renderer has drawn the round's last sub-frame.
    bool tickAndDraw(int subFrames)
    {
        ticks->tick();
        const int p = session.position();
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

private:
    QMutex m_drawnMutex;
    QVector<QPair<int, int>> m_drawn;

public:
    // Last: it stops before anything it uses goes.
    RecordingSession session;
};
