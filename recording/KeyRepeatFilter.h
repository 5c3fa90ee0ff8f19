#pragma once

#include <QObject>
#include <QSet>
#include <QTimer>

// Tells the real press and release of a held marking key from the window
// system's auto-repeat, and passes every other key on as Qt flags it.
//
// Qt's repeat flag is not enough on X11: a repeat there is a release and a press
// with one time stamp, and the release is flagged only when the press has
// already been read. So on X11 a key already down does not press again, and a
// release waits a few milliseconds for the press of its pair before it counts.
// Events without a time stamp were not made by the window system and act at once.
class KeyRepeatFilter : public QObject
{
    Q_OBJECT
public:
    static constexpr int PairWaitMs = 20;

    // pairs: the window system delivers repeats as release-press pairs (X11).
    explicit KeyRepeatFilter(bool pairs, QObject *parent = nullptr);

    // The keys that start and end marks; all others repeat freely.
    static bool isHeldKey(int key);

    void press(int key, ulong timestamp, bool autoRepeat);
    void release(int key, ulong timestamp, bool autoRepeat);
    // Acts on a release still waiting for its pair, then forgets what is down.
    void reset();

signals:
    void pressed(int key);
    void released(int key);

private:
    bool completesPair(int key, ulong timestamp) const;
    void settle();
    void actOnWaitingRelease();

    const bool m_pairs;
    QSet<int> m_down;
    int m_lastReleased = 0;
    ulong m_lastReleaseTime = 0;
    QTimer m_pairWait;
};
