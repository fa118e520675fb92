#pragma once
// Free space for the actions: an action refuses to start when its output would not fit. Space is
// the space this user can actually write, measured on the folder the action writes into.
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>

namespace kivro {

// True when the free space of the volume holding Path can be measured. A path that is not a full
// path (no volume) gives False.
bool DoesSystemSupportLargeDrives(const QString& Path);

// The free bytes (available to this user) on the volume that holds `targetPath`, measured on its
// nearest existing folder: for a save-as file the volume of its folder. 0 when it cannot be
// measured, which includes every path that is not a full path, so that the action then refuses
// with its not-enough-space message. The actions keep the result as mFreeBytes.
std::int64_t GetSaveDriveFreeSpace(const QString& targetPath);

// What one part of an action will write: `bytes` into the folder or file `target`.
struct SpaceNeed {
    QString target;
    std::int64_t bytes = 0;
};

// The needs that fall on one file system, added up, with its free bytes.
struct VolumeSpace {
    QString folder;          // the first target's nearest existing folder (for messages)
    QStringList targets;     // every target on this file system, in the order given
    std::int64_t needed = 0; // sum of their bytes
    std::int64_t freeBytes = 0;
    bool enough() const { return freeBytes >= needed; }
};

// Groups the needs by file system, in the order in which each file system first appears, and
// measures each once. Targets that cannot be measured (not a full path, no such volume) form one
// group with 0 free bytes.
QVector<VolumeSpace> MeasureSpaceNeeds(const QVector<SpaceNeed>& needs);

// True when every file system has room for all that is bound for it (exactly equal is enough).
bool EnoughFreeSpace(const QVector<VolumeSpace>& volumes);

} // namespace kivro
