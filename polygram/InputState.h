#pragma once

#include <QPoint>
#include <Qt>

#include <functional>

// The global cursor, the held mouse buttons and keyboard modifiers as the
// panels read them at draw time. Only the GUI thread may ask the window
// system; any other thread gets the snapshot the GUI thread published last.
struct InputState {
    QPoint cursor;
    Qt::MouseButtons buttons = Qt::NoButton;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;

    static InputState current();
    static void publish(const InputState &state);
    // Makes current() return what source gives, on every thread; an empty
    // source goes back to the window system.
    static void replace(std::function<InputState()> source);
};
