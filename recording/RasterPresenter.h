#pragma once

#include <QBackingStore>
#include <QImage>
#include <QMutex>
#include <QObject>

#include <atomic>

class QWindow;

// Shows frames drawn on another thread in a raster window: the drawing
// thread hands each frame over, the GUI thread copies the latest one to the
// screen. Nothing of it goes through OpenGL.
class RasterPresenter : public QObject
{
public:
    // The window must be a raster surface.
    explicit RasterPresenter(QWindow *window);

    // From any thread: shows the frame, taking it over; frame is left with
    // the buffer of an earlier one.
    void present(QImage &frame);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void show();

    QWindow *m_window;
    QBackingStore m_store;
    QMutex m_mutex;
    QImage m_frame;
    std::atomic<bool> m_posted{false};
};
