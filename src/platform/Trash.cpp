#include "platform/Trash.h"

#include "platform/FileApi.h"
#include "platform/Paths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStorageInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kivro::win {

namespace {

// Test seam: the step that fails, and with which errno (0: none).
int gInjectedInfoError = 0;
int gInjectedMoveError = 0;

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

QString dataHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

// A folder owned by this user, made with mode 0700 when missing. On a shared volume it must be a
// real folder, not a link to one; the home Trash may be a link (to a larger disk, say).
bool ownFolder(const QString& path, bool followLink)
{
    if (::mkdir(encoded(path).constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st {};
    const bool found = followLink ? paths::statPath(path, &st) : paths::lstatPath(path, &st);
    return found && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

// A Trash folder with its "files" and "info" folders in place, on the file's device: a file is
// never moved into a Trash on another file system (that would copy it and delete the original).
bool trashFolders(const QString& trash, dev_t device, bool followLinks)
{
    struct stat st {};
    return ownFolder(trash, followLinks) && ownFolder(trash + QStringLiteral("/files"), followLinks)
           && ownFolder(trash + QStringLiteral("/info"), followLinks)
           && paths::statPath(trash + QStringLiteral("/files"), &st) && st.st_dev == device;
}

// The Trash a file on device `device` goes to: the home Trash when the data folder lives on the
// file's file system, otherwise the volume's .Trash/<uid> (under a shared .Trash folder with the
// sticky bit) or .Trash-<uid>. Empty when there is none that can be used.
QString trashFor(const QString& original, dev_t device)
{
    const QString home = HomeTrashDir();
    struct stat st {};
    if (paths::statPath(dataHome(), &st) && st.st_dev == device)
        return trashFolders(home, device, true) ? home : QString();

    const QString root = QStorageInfo(paths::folderOf(original)).rootPath();
    if (root.isEmpty())
        return QString();
    const QString uid = QString::number(::getuid());
    const QString shared = paths::joinPath(root, QStringLiteral(".Trash"));
    if (paths::lstatPath(shared, &st) && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) != 0) {
        const QString mine = shared + QLatin1Char('/') + uid;
        if (trashFolders(mine, device, false))
            return mine;
    }
    const QString own = paths::joinPath(root, QStringLiteral(".Trash-") + uid);
    return trashFolders(own, device, false) ? own : QString();
}

// The name a file takes in the Trash: its own, then "<name>.2", "<name>.3", ...
QString trashName(const QString& name, int attempt)
{
    return attempt <= 1 ? name : name + QLatin1Char('.') + QString::number(attempt);
}

bool writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// The information file: the original's location percent-encoded as the Trash's readers expect
// it (a "%" or a line break in a name stays right), and the time of the move.
QByteArray infoText(const QString& original)
{
    return QByteArrayLiteral("[Trash Info]\nPath=") + encoded(original).toPercentEncoding("/")
           + QByteArrayLiteral("\nDeletionDate=")
           + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toLatin1() + '\n';
}

// Makes the information file of a new entry exclusively: a name already taken (EEXIST) tries
// the next name, any other failure (an info folder that cannot be written, a name too long)
// ends the attempt, so a Trash that cannot take the file is never asked again and again.
// Returns the entry's name, or empty.
QString claimEntry(const QString& trash, const QString& original)
{
    const QString name = paths::nameOf(original);
    for (int attempt = 1;; ++attempt) {
        const QString entry = trashName(name, attempt);
        struct stat st {};
        if (paths::lstatPath(trash + QStringLiteral("/files/") + entry, &st))
            continue; // a file without its information file holds that name
        if (errno != ENOENT)
            return QString();
        const QString info = trash + QStringLiteral("/info/") + entry + QStringLiteral(".trashinfo");
        int fd = -1;
        if (gInjectedInfoError != 0)
            errno = gInjectedInfoError;
        else
            fd = ::open(encoded(info).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return QString();
        }
        const bool written = writeAll(fd, infoText(original));
        if (::close(fd) != 0 || !written) {
            ::unlink(encoded(info).constData());
            return QString();
        }
        return entry;
    }
}

// Moves the file into the Trash's "files" folder without replacing anything there.
bool moveInto(const QString& original, const QString& target)
{
    if (gInjectedMoveError != 0) {
        errno = gInjectedMoveError;
        return false;
    }
    if (::renameat2(AT_FDCWD, encoded(original).constData(), AT_FDCWD, encoded(target).constData(), RENAME_NOREPLACE)
        == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the no-replace rename: the name was free a moment ago.
    struct stat st {};
    if (paths::lstatPath(target, &st))
        return false;
    return ::rename(encoded(original).constData(), encoded(target).constData()) == 0;
}

} // namespace

QString HomeTrashDir()
{
    return paths::joinPath(dataHome(), QStringLiteral("Trash"));
}

bool MoveFileToTrash(const QString& path, QString* pathInTrash)
{
    if (pathInTrash)
        pathInTrash->clear();
    if (!path.startsWith(QLatin1Char('/')))
        return false;
    const QString original = QDir::cleanPath(path);
    struct stat st {};
    if (!paths::lstatPath(original, &st) || S_ISDIR(st.st_mode))
        return false;
    if (IsFileOpenInProcess(original))
        return false;

    // The data folder is made first: the home Trash lives in it.
    const QString home = dataHome();
    if (home.isEmpty() || !QDir().mkpath(home))
        return false;
    const QString trash = trashFor(original, st.st_dev);
    if (trash.isEmpty())
        return false;
    const QString entry = claimEntry(trash, original);
    if (entry.isEmpty())
        return false;
    const QString landed = trash + QStringLiteral("/files/") + entry;
    if (!moveInto(original, landed)) {
        ::unlink(encoded(trash + QStringLiteral("/info/") + entry + QStringLiteral(".trashinfo")).constData());
        return false;
    }
    if (pathInTrash)
        *pathInTrash = landed;
    return true;
}

void InjectTrashFault(TrashStep step, int err)
{
    (step == TrashStep::InfoFile ? gInjectedInfoError : gInjectedMoveError) = err;
}

} // namespace kivro::win
