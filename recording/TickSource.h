#pragma once

#include <QtGlobal>

// Where the acquisition's ticks come from. Ticks are counted from the start,
// so a tick that fires while the reader is busy is not lost: the reader's next
// wait sees that the count has passed what it took.
class TickSource
{
public:
    virtual ~TickSource() = default;

    // Waits until the count of ticks passes taken, or the source was
    // interrupted; returns the count.
    virtual quint64 waitForTick(quint64 taken) = 0;
    // Every present and later wait returns at once.
    virtual void interrupt() = 0;
};
