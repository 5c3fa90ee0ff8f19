#pragma once

#include "recording/TickSource.h"

#include <QMutex>
#include <QWaitCondition>

// Ticks on the test's command: tick() releases one and returns once the reader
// has processed it and waits again (or has ended).
class ManualTickSource : public TickSource
{
public:
    quint64 waitForTick(quint64 taken) override
    {
        QMutexLocker lock(&m_mutex);
        m_taken = taken;
        m_waiting = true;
        m_back.wakeAll();
        while (m_count <= taken && !m_interrupted)
            m_tick.wait(&m_mutex);
        m_waiting = false;
        return m_count;
    }

    void interrupt() override
    {
        QMutexLocker lock(&m_mutex);
        m_interrupted = true;
        m_tick.wakeAll();
        m_back.wakeAll();
    }

    // count ticks at once: the reader takes them as one and misses the rest.
    void tick(int count = 1)
    {
        QMutexLocker lock(&m_mutex);
        m_count += quint64(count);
        m_tick.wakeAll();
        while (!m_interrupted && !(m_waiting && m_taken >= m_count))
            m_back.wait(&m_mutex);
    }

    // Releases a tick without waiting for it.
    void release()
    {
        QMutexLocker lock(&m_mutex);
        ++m_count;
        m_tick.wakeAll();
    }

    // Waits until the reader is ready for its next tick (its set-up done) or has ended.
    void waitUntilWaiting()
    {
        QMutexLocker lock(&m_mutex);
        while (!m_interrupted && !m_waiting)
            m_back.wait(&m_mutex);
    }

    bool interrupted() const
    {
        QMutexLocker lock(&m_mutex);
        return m_interrupted;
    }

private:
    mutable QMutex m_mutex;
    QWaitCondition m_tick;
    QWaitCondition m_back;
    quint64 m_count = 0;
    quint64 m_taken = 0;
    bool m_waiting = false;
    bool m_interrupted = false;
};
