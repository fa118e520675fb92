#pragma once
// The X display a program is about to open its windows on. Qt ends the process with SIGABRT (and
// a core file) when its X11 platform cannot connect to the display; a display that refuses a
// connection for a moment (an X server busy on a loaded machine) then kills the program before it
// has shown anything. The programs ask here first.
#include <QString>

namespace kivro::win {

// True when the X display named by DISPLAY takes a connection, tried for up to about two seconds
// (every 100 ms) before giving up; true at once when the program does not run on X11 (another
// QT_QPA_PLATFORM than "xcb"). On False, `reason` says why, in a line for the terminal.
bool WaitForDisplay(QString* reason);

// While it lives (around the construction of the application object), a fatal message of Qt,
// such as its X11 platform failing to connect after all, ends the process with status 1 and the
// message on the terminal, prefixed with the program's name, instead of SIGABRT and a core file.
// Other messages go on to the handler that was installed before.
class WindowSystemStartGuard {
public:
    explicit WindowSystemStartGuard(const char* program);
    ~WindowSystemStartGuard();
    WindowSystemStartGuard(const WindowSystemStartGuard&) = delete;
    WindowSystemStartGuard& operator=(const WindowSystemStartGuard&) = delete;
};

} // namespace kivro::win
