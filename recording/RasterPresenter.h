#pragma once

#include <QBackingStore>
#include <QImage>
#include <QMutex>
#include <QObject>
#include <QRegion>

#include <atomic>

class QWindow;

// Shows frames drawn on another thread in a raster window: the drawing
// thread hands over the part of each frame that changed, the GUI thread
// copies what changed since it last showed to the screen. Nothing of it
// goes through OpenGL.
class RasterPresenter : public QObject
{
public:
    // The window must be a raster surface.
    explicit RasterPresenter(QWindow *window);

    // From any thread: copies the changed part of the frame for showing.
    void present(const QImage &frame, const QRegion &changed);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void show(bool whole);

    QWindow *m_window;
    QBackingStore m_store;
    QSize m_shownSize;
    QMutex m_mutex;
    QImage m_frame;
    // What changed in m_frame since the screen last showed it.
    QRegion m_pending;
    std::atomic<bool> m_posted{false};
};
