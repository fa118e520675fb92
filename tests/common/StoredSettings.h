#pragma once
// Reading and writing the program's stored values as they stand in the settings file, by any
// spelling of their names, as a person or another version of the program would: the tests see
// what was really stored, not what the program makes of it.
#include "engine/Registry.h"

#include <QString>

namespace kivrotest {

// The value `name` of the program's key, or `missing` when there is none.
inline QString storedSetting(const QString& name, const QString& missing = QString())
{
    return kivro::Registry::RegReadString(kivro::Registry::HKEY_CURRENT_USER, kivro::Registry::kKivroKey, name,
                                          missing);
}

// Stores `value` as the value `name` of the program's key.
inline void storeSetting(const QString& name, const QString& value)
{
    kivro::Registry::RegWriteString(kivro::Registry::HKEY_CURRENT_USER, kivro::Registry::kKivroKey, name, value);
}

} // namespace kivrotest
