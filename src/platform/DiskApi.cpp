#include "platform/DiskApi.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>

#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>

namespace kivro::win {

namespace {
std::int64_t g_injectedFree = -1;
QString g_limitFolder;
std::int64_t g_injectedLimit = -1;

// The type number of vfat and msdos (MSDOS_SUPER_MAGIC).
constexpr long kMsdosMagic = 0x4d44;
constexpr std::int64_t kFatMaxFileSize = 4294967295LL;

bool isFolder(const QString& path)
{
    struct stat st {};
    return paths::statPath(path, &st) && S_ISDIR(st.st_mode);
}
} // namespace

QString NearestExistingFolder(const QString& path)
{
    if (!path.startsWith(QLatin1Char('/')))
        return QString();
    QString p = QDir::cleanPath(path);
    while (!isFolder(p)) {
        if (p == QLatin1String("/"))
            return QString(); // no root: nothing to measure
        p = paths::folderOf(p);
    }
    return p;
}

std::optional<std::uint64_t> VolumeOf(const QString& path)
{
    const QString folder = NearestExistingFolder(path);
    struct stat st {};
    if (folder.isEmpty() || !paths::statPath(folder, &st))
        return std::nullopt;
    return std::uint64_t(st.st_dev);
}

bool GetDiskFreeSpaceExA(const QString& path, std::uint64_t* availableToCaller, std::uint64_t* totalBytes,
                         std::uint64_t* totalFreeBytes)
{
    auto set = [&](std::uint64_t avail, std::uint64_t total, std::uint64_t free) {
        if (availableToCaller)
            *availableToCaller = avail;
        if (totalBytes)
            *totalBytes = total;
        if (totalFreeBytes)
            *totalFreeBytes = free;
    };
    set(0, 0, 0);
    const QString folder = NearestExistingFolder(path);
    if (folder.isEmpty())
        return false;
    std::uint64_t avail = 0, total = 0, free = 0;
    const QStorageInfo info(folder);
    if (info.isValid() && info.isReady()) {
        avail = std::uint64_t(std::max<qint64>(info.bytesAvailable(), 0));
        total = std::uint64_t(std::max<qint64>(info.bytesTotal(), 0));
        free = std::uint64_t(std::max<qint64>(info.bytesFree(), 0));
    } else {
        // No mount entry covers the folder (a chroot or a container whose mount table lists
        // only some mounts): ask the file system itself.
        struct statvfs vfs {};
        if (::statvfs(QFile::encodeName(folder).constData(), &vfs) != 0)
            return false;
        avail = std::uint64_t(vfs.f_bavail) * vfs.f_frsize;
        total = std::uint64_t(vfs.f_blocks) * vfs.f_frsize;
        free = std::uint64_t(vfs.f_bfree) * vfs.f_frsize;
    }
    if (g_injectedFree >= 0) {
        const auto injected = std::uint64_t(g_injectedFree);
        set(injected, std::max<std::uint64_t>(total, injected), injected);
        return true;
    }
    set(avail, total, free);
    return true;
}

void InjectDiskFreeSpace(std::int64_t bytes)
{
    g_injectedFree = bytes;
}

std::optional<std::int64_t> MaxFileSizeOf(const QString& path)
{
    const QString folder = NearestExistingFolder(path);
    if (folder.isEmpty())
        return std::nullopt;
    if (g_injectedLimit >= 0 && !g_limitFolder.isEmpty()
        && (folder == g_limitFolder || folder.startsWith(g_limitFolder + QLatin1Char('/'))))
        return g_injectedLimit;
    struct statfs fs {};
    if (::statfs(QFile::encodeName(folder).constData(), &fs) != 0)
        return std::nullopt;
    if (static_cast<long>(fs.f_type) == kMsdosMagic)
        return kFatMaxFileSize;
    return std::nullopt;
}

void InjectMaxFileSize(const QString& folder, std::int64_t limit)
{
    g_limitFolder = folder.isEmpty() ? QString() : QDir::cleanPath(folder);
    g_injectedLimit = folder.isEmpty() ? -1 : limit;
}

} // namespace kivro::win
