#include "X11WindowScroll.h"

#include <QCoreApplication>
#include <QWindow>
#include <QX11Info>

#include <xcb/xcb.h>

X11WindowScroll::X11WindowScroll(QWindow *window)
    : m_window(window)
{
    if (!QX11Info::isPlatformX11())
        return;
    m_connection = QX11Info::connection();
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11WindowScroll::~X11WindowScroll()
{
    if (!m_connection)
        return;
    QCoreApplication::instance()->removeNativeEventFilter(this);
    if (m_context)
        xcb_free_gc(m_connection, m_context);
}

bool X11WindowScroll::move(int dx, int width, int height)
{
    const int kept = width - qAbs(dx);
    if (!m_connection || kept <= 0 || height <= 0)
        return false;
    const auto window = uint32_t(m_window->winId());
    if (window != m_drawable) {
        if (m_context)
            xcb_free_gc(m_connection, m_context);
        m_context = xcb_generate_id(m_connection);
        // A source the server cannot read comes back as a graphics exposure.
        const uint32_t exposures = 1;
        xcb_create_gc(m_connection, m_context, window, XCB_GC_GRAPHICS_EXPOSURES, &exposures);
        m_drawable = window;
    }
    xcb_copy_area(m_connection, window, window, m_context, int16_t(qMax(0, -dx)), 0, int16_t(qMax(0, dx)), 0,
                  uint16_t(kept), uint16_t(height));
    return true;
}

void X11WindowScroll::flush()
{
    if (m_connection)
        xcb_flush(m_connection);
}

bool X11WindowScroll::nativeEventFilter(const QByteArray &eventType, void *message, long *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const int type = event->response_type & 0x7f;
    if (type == XCB_GRAPHICS_EXPOSURE
        && reinterpret_cast<const xcb_graphics_exposure_event_t *>(event)->drawable == m_drawable) {
        m_missed = true;
        return true;
    }
    // Each complete move answers with one of these.
    return type == XCB_NO_EXPOSURE && reinterpret_cast<const xcb_no_exposure_event_t *>(event)->drawable == m_drawable;
}
