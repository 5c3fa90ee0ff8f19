#include "recording/_Timer.h"

#include <pthread.h>
#include <sched.h>

_Timer::_Timer()
{
    timer.setInterval(IntervalMs);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, &_Timer::onTimer);
    timer.moveToThread(&thread);
    moveToThread(&thread);
    // A timer starts on the thread that owns it.
    connect(&thread, &QThread::started, &timer, [this] {
        makeCurrentThreadTimeCritical();
        timer.start();
    });
    thread.start(QThread::TimeCriticalPriority);
}

_Timer::~_Timer()
{
    {
        QMutexLocker lock(&mutex);
        stop = true;
    }
    thread.wait();
}

bool _Timer::makeCurrentThreadTimeCritical(int levelsBelowHighest)
{
    sched_param parameters{};
    parameters.sched_priority = sched_get_priority_max(SCHED_RR) - levelsBelowHighest;
    return parameters.sched_priority > 0 && pthread_setschedparam(pthread_self(), SCHED_RR, &parameters) == 0;
}

quint64 _Timer::waitForTick(quint64 taken)
{
    QMutexLocker lock(&mutex);
    while (ticks <= taken && !interrupted)
        tick.wait(&mutex);
    return ticks;
}

void _Timer::interrupt()
{
    QMutexLocker lock(&mutex);
    interrupted = true;
    tick.wakeAll();
}

void _Timer::onTimer()
{
    QMutexLocker lock(&mutex);
    ++ticks;
    tick.wakeAll();
    if (stop) {
        timer.stop();
        thread.quit();
    }
}
