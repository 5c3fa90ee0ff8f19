#pragma once

#include "recording/RenderSurface.h"

#include <QBackingStore>
#include <QMutex>
#include <QObject>

#include <atomic>

class QWindow;

// Shows frames drawn on another thread in a raster window: the drawing
// thread hands over what changed (a sideways move and the pieces drawn
// anew), the GUI thread applies it to the window's backing store and shows
// that part. Nothing of it goes through OpenGL.
class RasterPresenter : public QObject
{
public:
    // The window must be a raster surface.
    explicit RasterPresenter(QWindow *window);

    // From any thread.
    void present(const FrameChange &change);
    // True once after the store lost what it showed (a resize, a hidden window).
    bool takeLoss() { return m_lost.exchange(false); }

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void show();
    void lose();

    QWindow *m_window;
    QBackingStore m_store;
    QSize m_shownSize;
    QMutex m_mutex;
    // Changes not shown yet, added up.
    FrameChange m_pending;
    std::atomic<bool> m_posted{false};
    std::atomic<bool> m_lost{true};
};
