#pragma once

#include <QAbstractNativeEventFilter>

#include <atomic>
#include <cstdint>

class QWindow;
struct xcb_connection_t;

// Moves what a window shows sideways on the X server itself, so that the
// client copies only what is new. A part of the move the server could not
// make (its source hidden under another window or off the screen) is
// reported. Elsewhere than on X11 there is no move.
class X11WindowScroll : public QAbstractNativeEventFilter
{
public:
    explicit X11WindowScroll(QWindow *window);
    ~X11WindowScroll() override;

    bool available() const { return m_connection != nullptr; }
    // Moves the shown pixels of the area of size dx pixels to the right; false
    // where it cannot. The request goes out with the next flush.
    bool move(int dx, int width, int height);
    void flush();
    // True once after the server could not make part of a move.
    bool takeMissed() { return m_missed.exchange(false); }

    bool nativeEventFilter(const QByteArray &eventType, void *message, long *result) override;

private:
    QWindow *m_window;
    xcb_connection_t *m_connection = nullptr;
    uint32_t m_drawable = 0;
    uint32_t m_context = 0;
    std::atomic<bool> m_missed{false};
};
