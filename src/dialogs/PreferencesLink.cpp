#include "dialogs/PreferencesLink.h"

#include "engine/MainWindowHosts.h"

namespace kivro {

bool gCalledFromPreferences = false;

PreferencesLink* PreferencesForm()
{
    return gPreferencesFormFactory ? gPreferencesFormFactory() : nullptr;
}

} // namespace kivro
