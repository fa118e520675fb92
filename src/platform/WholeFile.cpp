#include "platform/WholeFile.h"

#include "platform/Paths.h"

#include <QFile>
#include <QSaveFile>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kivro {

bool ReadRegularFile(const QString& path, const std::function<void(const char* data, qsizetype size)>& piece)
{
    if (path.isEmpty())
        return false;
    // O_NONBLOCK: opening a FIFO must not wait for a writer; the type is checked on the open
    // descriptor, so nothing can be swapped in between.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), size_t(buffer.size()));
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return false;
        }
        piece(buffer.constData(), qsizetype(got));
    }
    ::close(fd);
    return true;
}

bool ReplaceFileWhole(const QString& path, const QByteArray& bytes, std::optional<QFileDevice::Permissions> permissions)
{
    QSaveFile file(path);
    // Unbuffered, so every refused write shows in the answer of write(): with a buffer, a write
    // cut short by a file-size limit can go unnoticed and commit() would put a shortened file in
    // place of the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes) != bytes.size() || (permissions && !file.setPermissions(*permissions))) {
        // The temporary file goes with `file`; the old file was never touched.
        const int cause = errno;
        file.cancelWriting();
        errno = cause;
        return false;
    }
    return file.commit();
}

bool ReplaceFileAtName(const QString& path, const QByteArray& bytes)
{
    // An old regular file keeps its permissions; a new one gets 0666 less the umask, as the
    // open below gives it.
    std::optional<mode_t> keep;
    struct stat st {};
    if (paths::lstatPath(path, &st)) {
        if (S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            return false;
        }
        if (S_ISREG(st.st_mode))
            keep = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        return false;
    }
    // The temporary file beside it is made exclusively (O_EXCL never opens a link), and the
    // rename puts it in the place of whatever holds the name by then, a link included, without
    // following it.
    const QString folder = paths::folderOf(path);
    const QString stem = paths::joinPath(folder.isEmpty() ? QStringLiteral(".") : folder,
                                         QStringLiteral(".") + paths::nameOf(path) + QLatin1Char('.'));
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = QFile::encodeName(stem + QString::number(QRandomGenerator::global()->generate(), 36));
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    // The temporary file goes on every failure; errno stays that of the failure.
    const auto fail = [&](bool stillOpen) {
        const int cause = errno;
        if (stillOpen)
            ::close(fd);
        ::unlink(temp.constData());
        errno = cause;
        return false;
    };
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = ENOSPC;
        if (n <= 0)
            return fail(true);
        done += n;
    }
    if ((keep && ::fchmod(fd, *keep) != 0) || ::fsync(fd) != 0)
        return fail(true);
    if (::close(fd) != 0 || ::rename(temp.constData(), QFile::encodeName(path).constData()) != 0)
        return fail(false);
    return true;
}

} // namespace kivro
