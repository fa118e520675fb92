#pragma once
// Whether a window can be shown at all, asked before the application object is built: building
// it without a display connection ends the process.
namespace kivro::display {

// True when the window system the programs use (QT_QPA_PLATFORM, xcb when unset) would take a
// connection now. For X11 a connection is opened and closed again: it fails when DISPLAY is
// unset or wrong, and when the server has no client slot left. Platforms that need no server
// (offscreen, minimal) are always there; others are left for the application object to try.
bool canBeOpened();

} // namespace kivro::display
