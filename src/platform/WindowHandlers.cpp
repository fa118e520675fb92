#include "platform/WindowHandlers.h"

#include <QPointer>
#include <QWidget>

namespace kivro {

void StopWindowHandlers(QWidget& window)
{
    // A filter may own another: each goes once.
    QList<QPointer<WindowEventFilter>> filters;
    for (WindowEventFilter* f : window.findChildren<WindowEventFilter*>())
        filters.append(f);
    for (const QPointer<WindowEventFilter>& f : filters)
        delete f.data();
    for (QObject* below : window.findChildren<QObject*>())
        QObject::disconnect(below, nullptr, &window, nullptr);
}

} // namespace kivro
