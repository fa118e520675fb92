#pragma once
// How the windows of the layers below the main window reach it: each through its own narrow
// interface, which the main window implements. These are the only ways up. The main window sets
// the hosts and the preferences window's factory in its constructor and clears them in its
// destructor, and no other production code assigns them. Tests put fakes in their place.
#include <functional>

namespace kivro {

class PackListHost;    // packlist/PackListHost.h
class DialogsHost;     // dialogs/DialogsHost.h
class PreferencesLink; // dialogs/PreferencesLink.h

// The main window as the pack-list window sees it; null while there is none.
extern PackListHost* gPackListHost;

// The main window as the dialogs and the preferences window see it; null while there is none.
extern DialogsHost* gDialogsHost;

// Creates (on its first call) and returns the preferences window that the main window's folder
// choosers and the dialogs write into while they work on its behalf; empty while there is none.
extern std::function<PreferencesLink*()> gPreferencesFormFactory;

} // namespace kivro
