#include "platform/WholeFile.h"

#include <QFile>
#include <QSaveFile>

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

} // namespace kivro
