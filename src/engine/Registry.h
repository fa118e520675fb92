#pragma once
// The settings routines every window uses. The Reg... three know nothing of particular settings;
// readSetting and writeSetting serve the program's own values (SettingNames.h). None returns a
// failure: a value that cannot be read gives the caller's default; a write the settings file does
// not take is kept in memory for the run and the store warns the user once (RegistryStore.h).
#include "engine/SettingNames.h"
#include "platform/RegistryStore.h"

#include <QString>
#include <cstdint>

namespace kivro::Registry {

using win::HKEY;
using win::HKEY_CURRENT_CONFIG;
using win::HKEY_CURRENT_USER;
using win::HKEY_LOCAL_MACHINE;

// The program's key under HKEY_CURRENT_USER and its filter sub-keys.
inline const QString kKivroKey = QStringLiteral("Software\\Tesma\\Kivro");
inline const QString kFilterKey = QStringLiteral("Software\\Tesma\\Kivro\\Filter");
inline const QString kFilterInfoKey = QStringLiteral("Software\\Tesma\\Kivro\\FilterInfo");

QString RegReadString(HKEY root, const QString& keyPath, const QString& valueName,
                      const QString& defaultValue = QString());
void RegWriteString(HKEY root, const QString& keyPath, const QString& valueName, const QString& data);
std::int32_t RegReadDWord(HKEY root, const QString& keyPath, const QString& valueName, std::int32_t defaultValue = 0);

// One stored value of the program's key: the stored text when the setting accepts it, else the
// setting's fallback (also when the value is missing).
QString readSetting(const Settings::StoredSetting& setting);
// The row of an option group that its stored text selects (the fallback row for any other text).
int readOptionRow(const Settings::OptionGroup& group);
// Writes `text` as the stored value of the program's key under the setting's written spelling.
void writeSetting(const Settings::StoredSetting& setting, const QString& text);

// Writes the settings of a group that belongs together (a dialog's OK, a list of many values) to
// the settings file once, whole or not at all, when the last object of the group goes (see
// RegBeginGroupWrite). Reads during the group see what it wrote.
class GroupWrite {
public:
    GroupWrite() { win::RegBeginGroupWrite(); }
    ~GroupWrite() { win::RegEndGroupWrite(); }
    GroupWrite(const GroupWrite&) = delete;
    GroupWrite& operator=(const GroupWrite&) = delete;
};

} // namespace kivro::Registry
