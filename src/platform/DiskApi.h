#pragma once
// Free disk space and the file system a path lies on. A "drive" is a mounted volume; a path is
// measured on its nearest existing folder, so a target that does not exist yet (a new output
// file, a folder still to be made) measures the volume it will be written to.
#include <QString>
#include <cstdint>
#include <optional>

namespace kivro::win {

// The nearest existing folder of an absolute path: the path itself when it is a folder, else the
// first of its parents that exists as a folder. Empty for an empty or non-absolute path.
QString NearestExistingFolder(const QString& path);

// The file system of `path` (its nearest existing folder): the device number, the same for every
// path on one mounted file system. Nothing for a path that cannot be measured.
std::optional<std::uint64_t> VolumeOf(const QString& path);

// The free-space call. `availableToCaller` gets the bytes this user can actually write,
// `totalBytes` the size of the volume, `totalFreeBytes` every free byte (reserved blocks
// included). False, with every output 0, for a non-absolute path or a volume that cannot be
// measured.
bool GetDiskFreeSpaceExA(const QString& path, std::uint64_t* availableToCaller, std::uint64_t* totalBytes,
                         std::uint64_t* totalFreeBytes);

// Test seam: every measured volume reports `bytes` free (negative: off).
void InjectDiskFreeSpace(std::int64_t bytes);

// The largest file the file system of `path` (its nearest existing folder) can hold, known by
// the file system's type: 4,294,967,295 bytes on vfat and msdos; nothing for every other type and
// for a path that cannot be measured. (The file-size bits the system reports are no guide: they
// say 32 for tmpfs and for every FUSE file system, which hold larger files.)
std::optional<std::int64_t> MaxFileSizeOf(const QString& path);

// Test seam: paths inside `folder` (the folder itself included) lie on a file system that holds
// files of at most `limit` bytes; a negative limit, or an empty folder, ends the injection.
void InjectMaxFileSize(const QString& folder, std::int64_t limit);

} // namespace kivro::win
