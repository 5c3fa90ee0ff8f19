#pragma once

#include "recording/TickSource.h"

#include <QMutex>
#include <QObject>
#include <QThread>
#include <QTimer>
#include <QWaitCondition>

// The 50 ms tick of a recording: a precise timer on a thread of its own that
// asks for time-critical priority (without the right to it, the thread runs
// at normal priority and the ticks still come).
class _Timer : public QObject, public TickSource
{
    Q_OBJECT

public:
    static constexpr int IntervalMs = 50;

    _Timer();
    // Waits for the next tick to stop the timer and end its thread.
    ~_Timer() override;

    // Qt's thread priorities mean nothing under Linux's normal scheduling: asks
    // for real-time round-robin scheduling of the calling thread instead, levels
    // below the highest. False, and nothing changed, without the right to it.
    static bool makeCurrentThreadTimeCritical(int levelsBelowHighest = 0);

    quint64 waitForTick(quint64 taken) override;
    void interrupt() override;

public slots:
    void onTimer();

private:
    QMutex mutex;
    QWaitCondition tick;
    QThread thread;
    QTimer timer;
    bool stop = false;
    quint64 ticks = 0;
    bool interrupted = false;
};
