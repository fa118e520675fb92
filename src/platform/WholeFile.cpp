#include "platform/WholeFile.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kivro {

std::optional<QByteArray> ReadWholeRegularFile(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    // O_NONBLOCK: opening a FIFO must not wait for a writer; the type is checked on the open
    // descriptor, so nothing can be swapped in between.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    QByteArray bytes;
    bytes.reserve(qsizetype(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return std::nullopt;
        }
        bytes.append(buffer, qsizetype(got));
    }
    ::close(fd);
    return bytes;
}

bool ReplaceFileWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    // Unbuffered, so every refused write shows in the answer of write(): with a buffer, a write
    // cut short by a file-size limit can go unnoticed and commit() would put a shortened file in
    // place of the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes) != bytes.size()) {
        // The temporary file goes with `file`; the old file was never touched.
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace kivro
