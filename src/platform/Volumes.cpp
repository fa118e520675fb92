#include "platform/Volumes.h"

#include <QFile>
#include <QStorageInfo>

#include <fcntl.h>
#include <unistd.h>

namespace kivro::win {

namespace {
QString& injectedRoot()
{
    static QString root;
    return root;
}
} // namespace

QString VolumeRootOf(const QString& path)
{
    if (!injectedRoot().isEmpty())
        return injectedRoot();
    const QStorageInfo storage(path);
    const QString root = storage.isValid() ? storage.rootPath() : QString();
    return root.isEmpty() ? QStringLiteral("/") : root;
}

void InjectVolumeRoot(const QString& root)
{
    injectedRoot() = root;
}

bool CanWriteInto(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    return ::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK | X_OK, AT_EACCESS) == 0;
}

} // namespace kivro::win
