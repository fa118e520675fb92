#pragma once
// Whether the GUI thread's event loop has something waiting for it: input or other events from the
// window system (a click, a key, a move of the window), posted events, a timer that is due.
//
// The loop's own sources are asked without running them. That costs about as much as letting the
// events run when nothing waits (a few microseconds: a system call), so a loop that copies
// thousands of blocks a second asks at most about once a millisecond (see CProgBar32).
//
// False where the loop cannot be asked: only the GLib event loop (the one Qt uses on X11 and
// offscreen unless QT_NO_GLIB is set) can be; elsewhere the caller's pacing by time alone
// remains.
namespace kivro {

bool EventsWaiting();

} // namespace kivro
