#include "recording/_Timer.h"

_Timer::_Timer()
{
    timer.setInterval(IntervalMs);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, &_Timer::onTimer);
    timer.moveToThread(&thread);
    moveToThread(&thread);
    // A timer starts on the thread that owns it.
    connect(&thread, &QThread::started, &timer, qOverload<>(&QTimer::start));
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
