#pragma once

#include "recording/media/VideoPlayer.h"

#include <QList>
#include <QMutex>
#include <QString>

#include <cstring>

// A test's video: 16 x 8 frames on a clock the test sets, remembering how it was steered.
class FakePlayer : public VideoPlayer
{
public:
    void open(const QString &path, qint64 startMs, const Unplayable &) override
    {
        QMutexLocker lock(&m_mutex);
        m_path = path;
        m_clockMs = startMs;
        m_openedAt = startMs;
    }
    void seek(qint64 ms) override
    {
        QMutexLocker lock(&m_mutex);
        m_seeks << ms;
        m_clockMs = ms;
    }
    void setPaused(bool) override {}
    void stop() override
    {
        QMutexLocker lock(&m_mutex);
        m_stopped = true;
    }
    int takeFrame(int *width, int *height, void *dest, int capacity, double *seconds) const override
    {
        QMutexLocker lock(&m_mutex);
        constexpr int bytes = 16 * 8 * 4;
        *width = 16;
        *height = 8;
        *seconds = m_clockMs / 1000.0;
        if (dest && capacity >= bytes)
            std::memset(dest, 'p', bytes);
        return bytes;
    }

    void setClock(qint64 ms)
    {
        QMutexLocker lock(&m_mutex);
        m_clockMs = ms;
    }
    QList<qint64> seeks() const
    {
        QMutexLocker lock(&m_mutex);
        return m_seeks;
    }
    qint64 openedAt() const
    {
        QMutexLocker lock(&m_mutex);
        return m_openedAt;
    }
    bool stopped() const
    {
        QMutexLocker lock(&m_mutex);
        return m_stopped;
    }

private:
    mutable QMutex m_mutex;
    QString m_path;
    qint64 m_clockMs = 0;
    qint64 m_openedAt = -1;
    QList<qint64> m_seeks;
    bool m_stopped = false;
};
