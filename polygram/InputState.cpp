#include "InputState.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>

namespace {

struct Shared {
    QMutex mutex;
    InputState published;
    std::function<InputState()> source;
};

Shared &shared()
{
    static Shared state;
    return state;
}

bool onGuiThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

}  // namespace

InputState InputState::current()
{
    Shared &state = shared();
    QMutexLocker lock(&state.mutex);
    if (state.source) {
        // Called without the lock, so a source may publish.
        const std::function<InputState()> source = state.source;
        lock.unlock();
        return source();
    }
    if (!onGuiThread())
        return state.published;
    lock.unlock();
    return InputState{QCursor::pos(), QGuiApplication::mouseButtons(), QGuiApplication::queryKeyboardModifiers()};
}

void InputState::publish(const InputState &snapshot)
{
    Shared &state = shared();
    QMutexLocker lock(&state.mutex);
    state.published = snapshot;
}

void InputState::replace(std::function<InputState()> source)
{
    Shared &state = shared();
    QMutexLocker lock(&state.mutex);
    state.source = std::move(source);
}
