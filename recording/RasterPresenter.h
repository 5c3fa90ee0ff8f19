#pragma once

#include "recording/RenderSurface.h"
#include "recording/X11WindowScroll.h"

#include <QBackingStore>
#include <QMutex>
#include <QObject>

#include <atomic>

class QWindow;

// Shows frames drawn on another thread in a raster window: the drawing
// thread hands over what changed (a sideways move and the pieces drawn
// anew), the GUI thread applies it to the window's backing store and shows
// that part. On X11 the server moves the shown pixels, so that only the
// pieces are copied. Nothing of it goes through OpenGL.
class RasterPresenter : public QObject
{
public:
    // The window must be a raster surface.
    explicit RasterPresenter(QWindow *window);

    // From any thread.
    void present(const FrameChange &change);
    // True once after the store lost what it showed (a resize, a hidden
    // window, a move the server could not make).
    bool takeLoss();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void show();
    void lose();

    QWindow *m_window;
    QBackingStore m_store;
    X11WindowScroll m_serverScroll;
    QSize m_shownSize;
    // The window was moved by the server: the store holds only the pieces drawn since.
    bool m_storeBehind = false;
    QMutex m_mutex;
    // Changes not shown yet, added up.
    FrameChange m_pending;
    std::atomic<bool> m_posted{false};
    std::atomic<bool> m_lost{true};
};
