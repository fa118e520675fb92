#include "platform/Display.h"

#include <QByteArray>
#include <QtGlobal>

#include <xcb/xcb.h>

namespace kivro::display {

bool canBeOpened()
{
    QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty())
        platform = "xcb";
    // "xcb:option=value" keeps the plugin's name before the first colon.
    const qsizetype colon = platform.indexOf(':');
    const QByteArray plugin = colon < 0 ? platform : platform.left(colon);
    if (plugin != "xcb")
        return true;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool ok = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return ok;
}

} // namespace kivro::display
