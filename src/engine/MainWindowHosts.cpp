#include "engine/MainWindowHosts.h"

namespace kivro {

PackListHost* gPackListHost = nullptr;
DialogsHost* gDialogsHost = nullptr;
std::function<PreferencesLink*()> gPreferencesFormFactory;

} // namespace kivro
