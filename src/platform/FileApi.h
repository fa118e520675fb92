#pragma once
// The file-handle calls the engine makes, over POSIX with 64-bit offsets.
//
// Handles are ids that are never reused (a stale handle can never reach a file opened later).
// Sharing is emulated inside the process as "share read" does: an open fails while another
// handle holds the file for writing, and an open for writing fails while the file is open at all.
// Only regular files can be opened (a FIFO or device fails at once, never blocks). An open for
// writing never follows a symbolic link at the name itself (it fails with ELOOP); an open for
// reading does.
#include <QString>
#include <cstdint>
#include <functional>

namespace kivro::win {

using HANDLE = std::int32_t;
constexpr HANDLE INVALID_HANDLE_VALUE = -1;

constexpr std::uint32_t GENERIC_READ = 0x80000000u;
constexpr std::uint32_t GENERIC_WRITE = 0x40000000u;
constexpr std::uint32_t FILE_SHARE_READ = 1;
constexpr std::uint32_t CREATE_NEW = 1;
constexpr std::uint32_t CREATE_ALWAYS = 2;
constexpr std::uint32_t OPEN_EXISTING = 3;
constexpr std::uint32_t OPEN_ALWAYS = 4;
constexpr std::uint32_t TRUNCATE_EXISTING = 5;
constexpr std::uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;

constexpr std::uint32_t FILE_BEGIN = 0;
constexpr std::uint32_t FILE_CURRENT = 1;
constexpr std::uint32_t FILE_END = 2;
constexpr std::uint32_t INVALID_SET_FILE_POINTER = 0xFFFFFFFFu;

HANDLE CreateFileA(const QString& fileName, std::uint32_t desiredAccess, std::uint32_t shareMode,
                   std::uint32_t creationDisposition, std::uint32_t flags = FILE_ATTRIBUTE_NORMAL);
// Reads up to `toRead` bytes; `*read` gets the count actually read (0 at the end of the file).
// Returns false on a failed read or an invalid handle.
bool ReadFile(HANDLE h, void* buffer, std::uint32_t toRead, std::uint32_t* read);
// Writes all `toWrite` bytes unless the system refuses (disk full, file-size limit, ...);
// `*written` gets the count actually written. Returns false when not all were written.
bool WriteFile(HANDLE h, const void* buffer, std::uint32_t toWrite, std::uint32_t* written);
// Moves the file position. `distanceHigh` (may be null) carries the high 32 bits in and out.
// Returns the low 32 bits of the new position, or INVALID_SET_FILE_POINTER with GetLastError set.
std::uint32_t SetFilePointer(HANDLE h, std::int32_t distanceLow, std::int32_t* distanceHigh, std::uint32_t moveMethod);
bool FlushFileBuffers(HANDLE h);
// Ends the file at the handle's current position: anything beyond it is cut off.
bool SetEndOfFile(HANDLE h);
bool CloseHandle(HANDLE h);

struct BY_HANDLE_FILE_INFORMATION {
    std::uint32_t dwFileAttributes = 0;
    std::uint32_t nFileSizeHigh = 0;
    std::uint32_t nFileSizeLow = 0;
    std::uint32_t nNumberOfLinks = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};
bool GetFileInformationByHandle(HANDLE h, BY_HANDLE_FILE_INFORMATION* info);

// True while `path` still names the file that `info` describes (GetFileInformationByHandle of
// its handle): the path's own entry (a link there is not followed) has that device and inode,
// and the file has a name left (link count above 0). False once the file, or a folder on its
// path, has been removed, renamed or replaced: what was written to it is then not at that name.
bool IsFileAtPath(const BY_HANDLE_FILE_INFORMATION& info, const QString& path);
// The same for the file open at `h`, as it is now: the test an output passes before its last
// close. False for an unknown handle.
bool IsOpenFileAtPath(HANDLE h, const QString& path);

// errno of the last failed call of this layer (0 after a success).
int GetLastError();
void SetLastError(int err);

// True while any handle of this process has the file open (same device and inode).
bool IsFileOpenInProcess(const QString& fileName);

// 64-bit helpers for callers that need them beyond the classic calls.
std::int64_t FilePosition(HANDLE h);
bool SeekHandle(HANDLE h, std::int64_t position);
int HandleFd(HANDLE h); // -1 for an unknown handle

// The ways the kernel copies between two files without a trip through memory of this process,
// fastest first:
// - Range (copy_file_range): within one file system, where the file system may even share the
//   blocks;
// - Send (sendfile): from the page cache of one regular file into another, across file systems
//   (another disk, a tmpfs, FUSE and network mounts), where Range is refused.
enum class KernelCopyWay { Range = 0, Send = 1 };

// Copies up to `count` bytes from `in` to `out` inside the kernel the given way, at both handles'
// positions, which advance by the count copied; `*copied` gets that count (fewer than `count`
// only at the end of the source or when a later part failed). Returns false with GetLastError set
// when a call failed; with nothing copied and an error of IsCopyUnsupported, the kernel cannot
// copy between these two files that way (it is then not asked again for the pair) and the caller
// tries the next way, or copies through a buffer. Honours the write-limit seam like WriteFile.
bool KernelCopy(KernelCopyWay way, HANDLE in, HANDLE out, std::uint64_t count, std::uint64_t* copied);
// The errors with which the kernel refuses to copy between two files (not a failure of the copy).
bool IsCopyUnsupported(int err);

// Called once at the start of a program: a write past the process's file-size limit then fails
// with EFBIG (a full disk, error 75) instead of killing the program with SIGXFSZ.
void IgnoreFileSizeSignal();

// Test seam: makes the next writes fail as if the disk were full after `bytesLeft` more bytes
// (negative: off).
void InjectWriteLimit(std::int64_t bytesLeft);
// Test seam: the kernel refuses to copy `way` between any two files (as Range is refused between
// two file systems), so that the copy takes the next way; with both refused, it goes through the
// caller's buffer. Tests and benchmarks force each way of copying with it.
void InjectCopyRefusal(KernelCopyWay way, bool refused);
// Test seam: the `nth` next close of a handle opened for writing (1: the very next one) reports
// EIO, as a network or FUSE file system does for a delayed write that failed; the file is closed
// all the same. Only that one close fails; 0 switches the seam off.
void InjectCloseFailure(int nth);
// Test seam: `hook` runs once, right before the next open for writing of exactly `fileName`
// (after every check the caller made of that name), as another program that puts something at
// the name at that moment would. An empty hook switches the seam off.
void InjectBeforeWriteOpen(const QString& fileName, std::function<void()> hook);

} // namespace kivro::win
