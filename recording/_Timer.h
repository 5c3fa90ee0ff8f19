#pragma once

#include "recording/TickSource.h"

#include <QMutex>
#include <QThread>
#include <QWaitCondition>

#include <memory>

// The 50 ms tick of a recording: a thread of its own sleeps to absolute
// deadlines on the monotonic clock, so that the ticks never drift. The count
// of ticks is the deadlines passed by that clock, whenever a thread wakes (a
// busy machine, a stalled virtual processor): the reader runs those ticks at
// once.
class _Timer : public TickSource
{
public:
    static constexpr int IntervalMs = 50;

    _Timer();
    // The thread ends at its next deadline.
    ~_Timer() override;

    // Asks for real-time FIFO scheduling of the calling thread at a modest
    // priority, levels below the tick's own. False, and nothing changed,
    // without the right to it.
    static bool makeCurrentThreadTimeCritical(int levelsBelowTick = 0);

    quint64 waitForTick(quint64 taken) override;
    void interrupt() override;

private:
    void run();
    // A deadline came: wakes every waiter and moves due past the deadlines
    // already gone. False once the timer is stopping.
    bool onTimer(quint64 &due);
    // Deadlines passed since the start.
    quint64 ticksPassed() const;

    QMutex mutex;
    QWaitCondition tick;
    std::unique_ptr<QThread> thread;
    // On the monotonic clock.
    qint64 startNs = 0;
    bool stop = false;
    bool interrupted = false;
};
