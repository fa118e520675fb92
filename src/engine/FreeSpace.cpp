#include "engine/FreeSpace.h"

#include "platform/DiskApi.h"

#include <limits>
#include <optional>

namespace kivro {

bool DoesSystemSupportLargeDrives(const QString& Path)
{
    return win::GetDiskFreeSpaceExA(Path, nullptr, nullptr, nullptr);
}

std::int64_t GetSaveDriveFreeSpace(const QString& targetPath)
{
    std::uint64_t available = 0;
    if (!DoesSystemSupportLargeDrives(targetPath)
        || !win::GetDiskFreeSpaceExA(targetPath, &available, nullptr, nullptr))
        return 0;
    return std::int64_t(std::min<std::uint64_t>(available, std::numeric_limits<std::int64_t>::max()));
}

QVector<VolumeSpace> MeasureSpaceNeeds(const QVector<SpaceNeed>& needs)
{
    QVector<VolumeSpace> volumes;
    QVector<std::optional<std::uint64_t>> ids;
    for (const SpaceNeed& need : needs) {
        const std::optional<std::uint64_t> id = win::VolumeOf(need.target);
        qsizetype at = ids.indexOf(id);
        if (at < 0) {
            VolumeSpace v;
            v.folder = win::NearestExistingFolder(need.target);
            v.freeBytes = id ? GetSaveDriveFreeSpace(need.target) : 0;
            volumes << v;
            ids << id;
            at = volumes.size() - 1;
        }
        VolumeSpace& v = volumes[at];
        v.targets << need.target;
        // A sum beyond the largest count can never fit; keep it there instead of wrapping.
        const std::int64_t room = std::numeric_limits<std::int64_t>::max() - v.needed;
        v.needed = need.bytes > room ? std::numeric_limits<std::int64_t>::max()
                                     : v.needed + std::max<std::int64_t>(need.bytes, 0);
    }
    return volumes;
}

bool EnoughFreeSpace(const QVector<VolumeSpace>& volumes)
{
    for (const VolumeSpace& v : volumes)
        if (!v.enough())
            return false;
    return true;
}

} // namespace kivro
