#pragma once
// Mounted volumes: a volume ("drive") is a mounted file system and its root is its mount point.
#include <QString>

namespace kivro::win {

// The mount point of the volume that holds `path` ("/" when it cannot be found out).
QString VolumeRootOf(const QString& path);

// Tests: every path is taken to lie on a volume mounted at `root`; the empty text goes back to
// the real mount table.
void InjectVolumeRoot(const QString& root);

// True when this user may create files in the folder (write and search permission, on a file
// system mounted for writing).
bool CanWriteInto(const QString& folder);

} // namespace kivro::win
