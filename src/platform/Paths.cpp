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
    const QString dir = base.endsWith(QStringLiteral("tesma-kivro-") + QString::number(getuid()))
                            ? base
                            : base + QStringLiteral("/tesma-kivro");
    QDir().mkpath(dir);
    ::chmod(QFile::encodeName(dir).constData(), 0700);
    return dir;
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

bool statPath(const QString& path, struct stat& st)
{
    if (path.isEmpty() || path.contains(QChar(0))) {
        errno = ENOENT;
        return false;
    }
    return ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

bool isNormalFile(const QString& path)
{
    if (path.isEmpty() || nameOf(path).startsWith(QLatin1Char('.')))
        return false;
    struct stat st {};
    if (!statPath(path, st))
        return false;
    return S_ISREG(st.st_mode);
}

} // namespace kivro::paths
