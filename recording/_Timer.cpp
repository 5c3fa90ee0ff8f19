#include "recording/_Timer.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <pthread.h>
#include <sched.h>

namespace {

constexpr qint64 kNanosPerSecond = 1000000000;
constexpr qint64 kIntervalNs = qint64(_Timer::IntervalMs) * 1000000;
// Above the desktop's normal threads, far below the kernel's own real-time ones.
constexpr int kTickPriority = 10;

qint64 nanosOf(const timespec &time)
{
    return qint64(time.tv_sec) * kNanosPerSecond + time.tv_nsec;
}

timespec timeOf(qint64 nanos)
{
    timespec time{};
    time.tv_sec = time_t(nanos / kNanosPerSecond);
    time.tv_nsec = long(nanos % kNanosPerSecond);
    return time;
}

qint64 monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return nanosOf(now);
}

}  // namespace

_Timer::_Timer()
    : startNs(monotonicNs())
{
    thread.reset(QThread::create([this] { run(); }));
    thread->start();
}

_Timer::~_Timer()
{
    {
        QMutexLocker lock(&mutex);
        stop = true;
    }
    thread->wait();
}

bool _Timer::makeCurrentThreadTimeCritical(int levelsBelowTick)
{
    sched_param parameters{};
    parameters.sched_priority = std::max(sched_get_priority_min(SCHED_FIFO), kTickPriority - levelsBelowTick);
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameters) == 0;
}

// The count is the clock's: deadlines that passed while the tick's own thread
// had not yet run since count as well.
quint64 _Timer::waitForTick(quint64 taken)
{
    QMutexLocker lock(&mutex);
    while (ticksPassed() <= taken && !interrupted)
        tick.wait(&mutex);
    return ticksPassed();
}

void _Timer::interrupt()
{
    QMutexLocker lock(&mutex);
    interrupted = true;
    tick.wakeAll();
}

void _Timer::run()
{
    makeCurrentThreadTimeCritical();
    for (quint64 due = 1;; ++due) {
        const timespec deadline = timeOf(startNs + qint64(due) * kIntervalNs);
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
        }
        if (!onTimer(due))
            return;
    }
}

bool _Timer::onTimer(quint64 &due)
{
    QMutexLocker lock(&mutex);
    if (stop)
        return false;
    // After a late wake-up the next deadline is the first one still ahead.
    due = std::max(due, ticksPassed());
    tick.wakeAll();
    return true;
}

quint64 _Timer::ticksPassed() const
{
    return quint64((monotonicNs() - startNs) / kIntervalNs);
}
