#pragma once

#include <QMutex>
#include <QMutexLocker>

// A value that several threads read and replace as a whole: each read hands
// out a copy taken under a small lock, each assignment replaces it under it.
template <typename T>
class LockedValue
{
public:
    LockedValue() = default;
    explicit LockedValue(const T &value)
        : m_value(value)
    {
    }
    LockedValue(const LockedValue &) = delete;
    LockedValue &operator=(const LockedValue &) = delete;

    T value() const
    {
        QMutexLocker locker(&m_mutex);
        return m_value;
    }
    operator T() const { return value(); }

    LockedValue &operator=(const T &value)
    {
        QMutexLocker locker(&m_mutex);
        m_value = value;
        return *this;
    }

private:
    mutable QMutex m_mutex;
    T m_value{};
};
