#include "dialogs/PreferencesLink.h"

#include <utility>

namespace kivro {

bool gCalledFromPreferences = false;

namespace {
std::function<PreferencesLink*()>& factory()
{
    static std::function<PreferencesLink*()> f;
    return f;
}
} // namespace

PreferencesLink* PreferencesForm()
{
    return factory() ? factory()() : nullptr;
}

void SetPreferencesFormFactory(std::function<PreferencesLink*()> f)
{
    factory() = std::move(f);
}

} // namespace kivro
