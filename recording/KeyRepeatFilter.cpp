#include "KeyRepeatFilter.h"

KeyRepeatFilter::KeyRepeatFilter(bool pairs, QObject *parent)
    : QObject(parent)
    , m_pairs(pairs)
{
    m_pairWait.setSingleShot(true);
    m_pairWait.setInterval(PairWaitMs);
    connect(&m_pairWait, &QTimer::timeout, this, &KeyRepeatFilter::actOnWaitingRelease);
}

bool KeyRepeatFilter::isHeldKey(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Space || key == Qt::Key_Backspace;
}

void KeyRepeatFilter::press(int key, ulong timestamp, bool autoRepeat)
{
    if (isHeldKey(key) && completesPair(key, timestamp)) {
        // Also when the release already counted: its late pair opens nothing.
        m_pairWait.stop();
        m_down.insert(key);
        return;
    }
    settle();
    if (!isHeldKey(key)) {
        emit pressed(key);
        return;
    }
    const bool stillDown = m_pairs && timestamp != 0 && m_down.contains(key);
    if (autoRepeat || stillDown)
        return;
    m_down.insert(key);
    emit pressed(key);
}

void KeyRepeatFilter::release(int key, ulong timestamp, bool autoRepeat)
{
    settle();
    if (autoRepeat)
        return;
    if (!isHeldKey(key)) {
        emit released(key);
        return;
    }
    m_down.remove(key);
    m_lastReleased = key;
    m_lastReleaseTime = timestamp;
    if (m_pairs && timestamp != 0)
        m_pairWait.start();
    else
        emit released(key);
}

void KeyRepeatFilter::reset()
{
    settle();
    m_down.clear();
    m_lastReleased = 0;
    m_lastReleaseTime = 0;
}

bool KeyRepeatFilter::completesPair(int key, ulong timestamp) const
{
    return m_pairs && timestamp != 0 && key == m_lastReleased && timestamp == m_lastReleaseTime;
}

// Any other event between a release and its pair shows the release was real.
void KeyRepeatFilter::settle()
{
    if (m_pairWait.isActive())
        actOnWaitingRelease();
}

void KeyRepeatFilter::actOnWaitingRelease()
{
    m_pairWait.stop();
    emit released(m_lastReleased);
}
