#pragma once

#include "polygram/LockedValue.h"

#include <QPoint>
#include <QSize>
#include <QWindow>

// The surface the live renderer draws the recording on from its own thread.
class PoligrammeRecordWindow : public QWindow
{
    Q_OBJECT
public:
    explicit PoligrammeRecordWindow(QWindow *parent = nullptr);

    // Whether the platform lets a thread of its own draw with OpenGL.
    static bool canRenderThreaded();

    // The size last set on the GUI thread; safe from the render thread.
    QSize surfaceSize() const { return m_surfaceSize.value(); }
    // A global cursor position in the window, by the origin last seen on the
    // GUI thread; the render thread must not ask the window system.
    QPoint fromGlobal(const QPoint &global) const { return global - m_origin.value(); }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void exposeEvent(QExposeEvent *event) override;

private:
    void takeOrigin() { m_origin = mapToGlobal(QPoint(0, 0)); }

    LockedValue<QSize> m_surfaceSize;
    LockedValue<QPoint> m_origin;
};
