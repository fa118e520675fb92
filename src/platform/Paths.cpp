#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace kivro::paths {

QString joinPath(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(QLatin1Char('/')))
        return name.startsWith(QLatin1Char('/')) ? folder + name.mid(1) : folder + name;
    return name.startsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

QString folderOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString();
    if (slash == 0)
        return QStringLiteral("/");
    return path.left(slash);
}

QString nameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

qsizetype extensionDot(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return dot > slash + 1 ? dot : -1;
}

QString extensionOf(const QString& path)
{
    const qsizetype dot = extensionDot(path);
    return dot < 0 ? QString() : path.mid(dot + 1);
}

static QString envDir(const char* var, const QString& fallback)
{
    const QByteArray v = qgetenv(var);
    if (!v.isEmpty() && v.startsWith('/'))
        return QString::fromLocal8Bit(v);
    return fallback;
}

QString userDataDir()
{
    const QString base = envDir("XDG_DATA_HOME", QDir::homePath() + QStringLiteral("/.local/share"));
    const QString dir = base + QStringLiteral("/Tesma/Kivro");
    QDir().mkpath(dir);
    return dir;
}

QString runtimeDir()
{
    QString base = envDir("XDG_RUNTIME_DIR", QString());
    if (base.isEmpty())
        base = QDir::tempPath() + QStringLiteral("/tesma-kivro-") + QString::number(getuid());
    return base.endsWith(QStringLiteral("tesma-kivro-") + QString::number(getuid()))
               ? base
               : base + QStringLiteral("/tesma-kivro");
}

RuntimeFolderState prepareRuntimeFolder(const QString& folder)
{
    const QByteArray name = QFile::encodeName(folder);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0) {
        if (errno != ENOENT || !QDir().mkpath(folderOf(folder)))
            return RuntimeFolderState::CannotMake;
        if (::mkdir(name.constData(), 0700) == 0) {
            // The umask may have taken more than the others' bits; the folder is ours alone.
            ::chmod(name.constData(), 0700);
        } else if (errno != EEXIST) {
            return RuntimeFolderState::CannotMake;
        }
        // Made by us or, a moment earlier, by someone else: either way it is judged as found.
        if (::lstat(name.constData(), &st) != 0)
            return RuntimeFolderState::CannotMake;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 07777) != 0700)
        return RuntimeFolderState::Unsafe;
    return RuntimeFolderState::Ready;
}

QString unsafeRuntimeFolderText(const QString& folder, const QString& consequence)
{
    return QStringLiteral("'%1' belongs to someone else or is open to others; %2").arg(folder, consequence);
}

QString settingsFile()
{
    const QString base = envDir("XDG_CONFIG_HOME", QDir::homePath() + QStringLiteral("/.config"));
    return base + QStringLiteral("/Tesma/Kivro.ini");
}

QString programDir()
{
    return QCoreApplication::applicationDirPath();
}

bool isNormalFile(const QString& path)
{
    if (path.isEmpty() || nameOf(path).startsWith(QLatin1Char('.')))
        return false;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return S_ISREG(st.st_mode);
}

} // namespace kivro::paths
