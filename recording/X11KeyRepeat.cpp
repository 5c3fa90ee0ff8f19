#include "X11KeyRepeat.h"

#include <QX11Info>

#include <cstdlib>
#include <memory>

// The XKB header names a member "explicit", a keyword of C++.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

namespace {

template<typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template<typename Reply>
ReplyPtr<Reply> owned(Reply *reply)
{
    return ReplyPtr<Reply>(reply, &std::free);
}

}  // namespace

bool X11KeyRepeat::setDetectable(bool on)
{
    if (!QX11Info::isPlatformX11())
        return false;
    xcb_connection_t *connection = QX11Info::connection();
    const auto extension = owned(xcb_xkb_use_extension_reply(
        connection, xcb_xkb_use_extension(connection, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION), nullptr));
    if (!extension || !extension->supported)
        return false;
    const uint32_t flag = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
    const auto flags = owned(xcb_xkb_per_client_flags_reply(
        connection,
        xcb_xkb_per_client_flags(connection, XCB_XKB_ID_USE_CORE_KBD, flag, on ? flag : 0, 0, 0, 0), nullptr));
    return flags && (flags->supported & flag) && bool(flags->value & flag) == on;
}
