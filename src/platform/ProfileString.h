#pragma once
// The classic profile-string calls over an INI file: [section] lines and key=value lines.
// Section and key names compare without regard to case; a value is read without the blanks
// around it and without one pair of enclosing double quotes. Lines starting with ";" are
// comments. Writing keeps every other line of the file as it stands.
#include <QString>
#include <cstdint>

namespace kivro::win {

// Copies the value of `key` in `section` of `fileName` into `*returned`, at most `size` - 1
// characters (the classic buffer with its terminating NUL); `defaultValue` (cut the same way)
// when the file, the section or the key is missing. Returns the number of characters copied.
std::uint32_t GetPrivateProfileStringA(const QString& section, const QString& key, const QString& defaultValue,
                                       QString* returned, std::uint32_t size, const QString& fileName);

// Sets `key` in `section` of `fileName` to `value`: the key's line is replaced where it stands, a
// missing key is added at the end of its section, a missing section at the end of the file, and
// a missing file is created. The file is replaced in whole or not at all. False on failure.
bool WritePrivateProfileStringA(const QString& section, const QString& key, const QString& value,
                                const QString& fileName);

} // namespace kivro::win
