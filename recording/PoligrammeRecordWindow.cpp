#include "PoligrammeRecordWindow.h"

#include <QOpenGLContext>
#include <QResizeEvent>

PoligrammeRecordWindow::PoligrammeRecordWindow(QWindow *parent)
    : QWindow(parent)
{
    setSurfaceType(QSurface::OpenGLSurface);
    m_surfaceSize = size();
}

bool PoligrammeRecordWindow::canRenderThreaded() { return QOpenGLContext::supportsThreadedOpenGL(); }

void PoligrammeRecordWindow::resizeEvent(QResizeEvent *event)
{
    m_surfaceSize = event->size();
    takeOrigin();
    QWindow::resizeEvent(event);
}

void PoligrammeRecordWindow::moveEvent(QMoveEvent *event)
{
    takeOrigin();
    QWindow::moveEvent(event);
}

// A child window is not told when its parent moves; it is exposed again.
void PoligrammeRecordWindow::exposeEvent(QExposeEvent *event)
{
    takeOrigin();
    QWindow::exposeEvent(event);
}
