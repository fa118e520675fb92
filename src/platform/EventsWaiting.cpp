#include "platform/EventsWaiting.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>

#include <glib.h>

namespace kivro {

bool EventsWaiting()
{
    // Qt's GLib loop runs the GUI thread's events on the default main context; its X11 and
    // offscreen variants derive from QEventDispatcherGlib.
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher || !dispatcher->inherits("QEventDispatcherGlib"))
        return false;
    const QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return false;
    return g_main_context_pending(g_main_context_default());
}

} // namespace kivro
