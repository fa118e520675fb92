#pragma once
// The registry calls the program makes, over a per-user INI file ($XDG_CONFIG_HOME/Tesma/Kivro.ini).
//
// HKEY_CURRENT_USER\Software\Tesma\Kivro is the section [General]; its sub-keys are sections of
// their own ([Filter], [FilterInfo]). Value names compare without regard to case; a write under
// another spelling keeps the first writer's spelling. Text values are stored as plain text
// (commas, quotes and blanks round-trip exactly); a DWORD is stored as "dword:0000002a".
// Other roots have no store on Linux: opening them fails, so reads give the caller's default and
// writes change nothing.
//
// Reads never report anything. A write (or a key deletion) that the file does not take (a full
// disk, Kivro.ini a folder, Tesma a file) returns ERROR_WRITE_FAULT; the value is then kept in
// memory for the rest of the run, so the program works on with what it wrote, and the first such
// failure of a run shows one warning that settings cannot be saved.
#include <QByteArray>
#include <QString>
#include <cstdint>

namespace kivro::win {

using HKEY = std::uint32_t;

constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr HKEY HKEY_USERS = 0x80000003u;
constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;

constexpr std::uint32_t REG_NONE = 0;
constexpr std::uint32_t REG_SZ = 1;
constexpr std::uint32_t REG_EXPAND_SZ = 2;
constexpr std::uint32_t REG_BINARY = 3;
constexpr std::uint32_t REG_DWORD = 4;

constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_ACCESS_DENIED = 5;
constexpr long ERROR_INVALID_HANDLE = 6;
constexpr long ERROR_WRITE_FAULT = 29;
constexpr long ERROR_MORE_DATA = 234;

long RegOpenKeyA(HKEY root, const QString& subKey, HKEY* result);
long RegCreateKeyA(HKEY root, const QString& subKey, HKEY* result);
// With data == nullptr only the type and the size (bytes) are reported. Otherwise at most
// *dataSize bytes are copied into *data and *dataSize becomes the value's size.
long RegQueryValueExA(HKEY key, const QString& valueName, std::uint32_t* type, QByteArray* data,
                      std::uint32_t* dataSize);
long RegSetValueExA(HKEY key, const QString& valueName, std::uint32_t type, const QByteArray& data);
long RegCloseKey(HKEY key);
long RegDeleteKeyA(HKEY root, const QString& subKey);

// A group of writes that belong together (a dialog's OK, a list of many values): between the
// begin and the end, every call works on one look at the file and nothing is written; the end
// replaces the file once, whole or not at all. Groups may nest; the outermost end writes. A file
// that does not take the group keeps all of its values in memory, as a single failed write does,
// and the end returns ERROR_WRITE_FAULT (warning once per run).
void RegBeginGroupWrite();
long RegEndGroupWrite();

// Test seam: how many times this process has replaced the settings file.
std::uint64_t RegStoreFileWrites();

// True once a write of this run could not be stored in the settings file.
bool RegStoreWriteFailed();
// The warning a failed write shows, once per run.
QString RegStoreWarningText(const QString& settingsFile);
// Test seam: forgets the values kept in memory and the failure, as at the start of a run.
void RegStoreResetRun();

} // namespace kivro::win
