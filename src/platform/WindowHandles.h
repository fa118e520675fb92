#pragma once
// Window handles for the calls that name a window by number (the media-control "parent"): a
// handle is the id of a registered widget. Ids are never reused; a handle of a widget that was
// destroyed names no window.
#include <QRect>
#include <cstdint>

class QWidget;

namespace kivro::win {

using HWND = std::int32_t;

// The widget's handle, registering it on first use (the same widget always has the same one).
HWND RegisterWindow(QWidget* widget);
// The widget of a handle, or nullptr.
QWidget* WindowFromHandle(HWND handle);
// The window's rectangle in screen pixels. False for a handle that names no window.
bool GetWindowRect(HWND handle, QRect* rect);

} // namespace kivro::win
