#include "platform/WindowHandles.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

namespace kivro::win {

namespace {

struct Registry {
    QHash<HWND, QPointer<QWidget>> widgets;
    HWND next = 1;
};

Registry& registry()
{
    static Registry r;
    return r;
}

const char* const kHandleProperty = "kivroWindowHandle";

} // namespace

HWND RegisterWindow(QWidget* widget)
{
    if (!widget)
        return 0;
    const QVariant known = widget->property(kHandleProperty);
    if (known.isValid())
        return known.toInt();
    Registry& r = registry();
    const HWND handle = r.next++;
    r.widgets.insert(handle, widget);
    widget->setProperty(kHandleProperty, handle);
    QObject::connect(widget, &QObject::destroyed, [handle] { registry().widgets.remove(handle); });
    return handle;
}

QWidget* WindowFromHandle(HWND handle)
{
    return registry().widgets.value(handle).data();
}

bool GetWindowRect(HWND handle, QRect* rect)
{
    QWidget* w = WindowFromHandle(handle);
    if (!w)
        return false;
    if (rect)
        *rect = QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
    return true;
}

} // namespace kivro::win
