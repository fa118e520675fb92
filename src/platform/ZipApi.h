#pragma once
// The zip library's interface: three calls, made in this order for every archive.
//   ZpInit       hands over the callback record (print, password, comment);
//   ZpSetOptions hands over the options record;
//   ZpArchive    writes the archive from a name list and returns 0 on success.
// Written over libzip (deflate). Everything runs on the caller's thread; the print routine
// receives every progress and error text, and is called often enough during a long compression
// for the caller to keep its windows alive from inside it.
#include <cstddef>
#include <cstdint>

namespace kivro::zipapi {

// Print routine: a NUL-terminated text in the local 8-bit encoding and its length (without the
// NUL). The return value is not looked at.
using ZpPrintFn = std::int32_t (*)(char* buffer, std::uint32_t length);
// Password routine (buffer, buffer size, prompt, entry name). Archives are never encrypted here,
// so it is kept but not called.
using ZpPasswordFn = std::int32_t (*)(char* buffer, std::int32_t size, const char* prompt, const char* name);
// Comment routine: gets a 4,097-byte buffer and returns the comment buffer. Kept, not called.
using ZpCommentFn = char* (*)(char* buffer);

// The callback record: print, password, comment, and one null entry.
struct ZpCallbacks {
    ZpPrintFn print = nullptr;
    ZpPasswordFn password = nullptr;
    ZpCommentFn comment = nullptr;
    void* reserved = nullptr;
};

// The options record: 27 signed 32-bit flags, the compression level byte, three bytes of padding,
// then the date text and the root-folder text (NUL-terminated, local 8-bit; either may be null).
constexpr int kZpFlagCount = 27;
// The flags this layer gives a meaning to (by index into `flags`).
constexpr int kZpFlagRecurse = 14; // 1: a folder in the name list is added with everything in it
constexpr int kZpFlagUpdate = 19;  // 1: add to an existing archive instead of making a new one

struct ZpOptions {
    std::int32_t flags[kZpFlagCount] = {};
    // 0 is "the library's default", read here as deflate at level 6 (a good balance: level 9
    // costs about three times the time on compressible data for a few percent); 1 to 9 choose
    // that deflate level.
    std::uint8_t level = 0;
    std::uint8_t padding[3] = {};
    const char* date = nullptr;
    const char* rootDir = nullptr;
};
static_assert(offsetof(ZpOptions, flags) == 0);
static_assert(offsetof(ZpOptions, level) == 108);
static_assert(offsetof(ZpOptions, date) == 112);

// The name list record: 100 entries; entry 0 is a placeholder and is never archived, entries 1
// onwards are the files, the rest null.
constexpr int kZpMaxNames = 100;
struct ZpNameList {
    const char* names[kZpMaxNames] = {};
};

// Results of ZpArchive. Any non-zero result comes with a text sent to the print routine that
// explains it (for libzip's failures, libzip's own message).
constexpr std::int32_t kZpOk = 0;
constexpr std::int32_t kZpErrArguments = 1; // no archive name, no names, a name that is not a full path
constexpr std::int32_t kZpErrRead = 2;      // a name cannot be found or read
constexpr std::int32_t kZpErrWrite = 3;     // the archive cannot be opened, written or completed
constexpr std::int32_t kZpErrMemory = 4;    // out of memory

// Keeps a copy of the callback record. Returns 1.
std::int32_t ZpInit(const ZpCallbacks* callbacks);
// Keeps a copy of the options record, texts included (the caller's copies may go). Returns 1.
std::int32_t ZpSetOptions(const ZpOptions* options);
// Archives entries 1 to count - 1 of `names` into `zipFileName`.
//
// Each entry is a full path. It is stored under its path relative to the root folder of the
// options: a path that lies under the root (compared without regard to case, since the root
// arrives upper-cased) loses that prefix; any other path, and every path when the root is "/"
// or empty, is stored as the full path without its leading "/". The root text is never used to
// find a file: on a case-sensitive file system its upper-cased copy names no real folder.
//
// Without the update flag a new archive replaces any old one, and only once it is complete (the
// old file stays untouched on failure); with it, the entries are added to the existing archive,
// replacing entries of the same name. Nothing is left behind on failure.
std::int32_t ZpArchive(std::int32_t count, const char* zipFileName, const ZpNameList* names);

} // namespace kivro::zipapi
