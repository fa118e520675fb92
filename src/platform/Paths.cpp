#include "platform/Paths.h"

#include "platform/RuntimeError.h"

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

QString GetWinPath()
{
    const QString dir = userDataDir();
    return QDir(dir).exists() ? dir : QString();
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

namespace {

// A path the system cannot take as it stands: empty, or holding a NUL.
bool unusablePath(const QString& path)
{
    if (path.isEmpty() || path.contains(QChar(0))) {
        errno = ENOENT;
        return true;
    }
    return false;
}

} // namespace

bool statPath(const QString& path, struct stat* st)
{
    return !unusablePath(path) && ::stat(QFile::encodeName(path).constData(), st) == 0;
}

bool lstatPath(const QString& path, struct stat* st)
{
    return !unusablePath(path) && ::lstat(QFile::encodeName(path).constData(), st) == 0;
}

bool isNormalFile(const QString& path)
{
    if (path.isEmpty() || nameOf(path).startsWith(QLatin1Char('.')))
        return false;
    struct stat st {};
    if (!statPath(path, &st))
        return false;
    return S_ISREG(st.st_mode);
}

bool nameTooLong(const QString& path)
{
    struct stat st {};
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &st) != 0 && errnoToErrorNumber(errno) == 64;
}

namespace {

// The first byte of an invalid byte's mark; U+DC80 to U+DCFF stand for the bytes 0x80 to 0xFF
// (a byte below 0x80 is always valid).
constexpr char16_t kMarkBase = 0xDC00;

// The length of the valid UTF-8 sequence at `i` (0 when there is none there): no overlong form,
// no surrogate, nothing beyond U+10FFFF.
int validSequence(const QByteArray& b, qsizetype i)
{
    const auto at = [&](qsizetype k) { return k < b.size() ? static_cast<unsigned char>(b[k]) : 0u; };
    const auto cont = [&](qsizetype k) { return (at(k) & 0xC0u) == 0x80u; };
    const unsigned c = at(i);
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        return cont(i + 1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        const unsigned lo = c == 0xE0 ? 0xA0 : 0x80, hi = c == 0xED ? 0x9F : 0xBF;
        return at(i + 1) >= lo && at(i + 1) <= hi && cont(i + 2) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const unsigned lo = c == 0xF0 ? 0x90 : 0x80, hi = c == 0xF4 ? 0x8F : 0xBF;
        return at(i + 1) >= lo && at(i + 1) <= hi && cont(i + 2) && cont(i + 3) ? 4 : 0;
    }
    return 0;
}

// A mark: a low surrogate of the marks' range without the high surrogate that would make it the
// second half of a character beyond U+FFFF.
bool isMark(const QString& s, qsizetype i)
{
    const char16_t c = s.at(i).unicode();
    return c >= kMarkBase + 0x80 && c <= kMarkBase + 0xFF && (i == 0 || !s.at(i - 1).isHighSurrogate());
}

} // namespace

QString decodeFileName(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        const int n = validSequence(bytes, i);
        if (n == 0) {
            out += QChar(char16_t(kMarkBase + static_cast<unsigned char>(bytes[i])));
            ++i;
            continue;
        }
        out += QString::fromUtf8(bytes.constData() + i, n);
        i += n;
    }
    return out;
}

bool hasInvalidBytes(const QString& name)
{
    for (qsizetype i = 0; i < name.size(); ++i)
        if (isMark(name, i))
            return true;
    return false;
}

QString shownName(const QString& name)
{
    QString out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i)
        out += isMark(name, i) ? QChar(QChar::ReplacementCharacter) : name.at(i);
    return out;
}

} // namespace kivro::paths
