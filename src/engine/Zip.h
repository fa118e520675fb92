#pragma once
// The zip module: turns one zip job into the zip library's three calls (ZpInit, ZpSetOptions,
// ZpArchive) and supplies the library's print, password and comment routines.
#include "platform/ZipApi.h"

#include <QString>
#include <array>
#include <cstdint>

namespace kivro::Zip {

// The job's name list as handed to the module: entry 0 the placeholder, then the names, the
// rest empty (sent as null entries).
using ZipNameRecord = std::array<QString, zipapi::kZpMaxNames>;

// One run: empties gZipMessage, then ZpInit, ZpSetOptions (recurse and update flags, compression
// byte 0, no date, the root folder upper-cased) and ZpArchive with `nameCount` entries of
// `names`. Returns ZpArchive's result (0 = success). A failed run always leaves a text in
// gZipMessage that explains it.
std::int32_t RunZip(std::int32_t nameCount, const QString& zipFileName, const ZipNameRecord& names,
                    std::int16_t recurse, std::int16_t update, const QString& rootDir);

// The routines given to ZpInit.
// Print: stores the text (up to the first NUL, at most length + 1 and never more than 4,097
// bytes, in the local 8-bit encoding) in gZipMessage and lets pending window events run.
std::int32_t ZipPrint(char* buffer, std::uint32_t length);
// Password: writes nothing, returns 1.
std::int32_t ZipPassword(char* buffer, std::int32_t size, const char* prompt, const char* name);
// Comment: returns the buffer it was given, unchanged.
char* ZipComment(char* buffer);

// The library's three calls. The module uses the real ones unless a test puts its own in place.
struct ZipLibrary {
    std::int32_t (*init)(const zipapi::ZpCallbacks*) = nullptr;
    std::int32_t (*setOptions)(const zipapi::ZpOptions*) = nullptr;
    std::int32_t (*archive)(std::int32_t, const char*, const zipapi::ZpNameList*) = nullptr;
};
// Test seam: `library` null restores the real library.
void SetZipLibrary(const ZipLibrary* library);

} // namespace kivro::Zip
