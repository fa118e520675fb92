#pragma once
// The end of a window that its controls call into. QWidget deletes a window's controls only after
// the window's own destructor body and members have gone; while they go, their events still pass
// the event filters that read the window and their signals still reach the handlers connected to
// it, in an object that is by then a plain QWidget whose members are gone (a handler may even
// show or hide a control that was already deleted). So every event filter that calls into a
// window is a WindowEventFilter, and every window whose controls call into it starts its
// destructor with StopWindowHandlers.
#include <QObject>

class QWidget;

namespace kivro {

// An event filter that calls into a window: whatever it is a child of (the window, or the control
// it watches), it ends when that window's end begins.
class WindowEventFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
};

// Deletes the WindowEventFilters below `window` and cuts every connection from a signal of an
// object below it to the window itself (the window as the receiver, or as the context of a
// function). Other filters and connections between the controls stay.
void StopWindowHandlers(QWidget& window);

} // namespace kivro
