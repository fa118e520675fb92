#include "engine/CopyLoop.h"

#include "engine/File64.h"
#include "platform/FileApi.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>

namespace kivro {

namespace {

bool handleOpen(const File64& file, std::int32_t handle)
{
    return file.IsOpen() && handle != -1 && win::HandleFd(handle) >= 0;
}

bool pathExists(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

} // namespace

void ReadBlock(File64& file, std::int32_t handle, char* buffer, std::int64_t count,
               const QString& path)
{
    if (!handleOpen(file, handle))
        raiseError(52);
    std::int64_t done = 0;
    while (done < count) {
        const std::int64_t got = file.ReadInto(handle, buffer + done, count - done);
        if (got < 0) {
            if (!handleOpen(file, handle))
                raiseError(52);
            const int err = file.lastErrno();
            raiseError(err != 0 ? errnoToErrorNumber(err) : 57);
        }
        if (got == 0)
            raiseError(pathExists(path) ? 62 : 53);
        done += got;
    }
}

void WriteBlock(File64& file, std::int32_t handle, const char* buffer, std::int64_t count)
{
    if (handle == -1 || win::HandleFd(handle) < 0)
        raiseError(52);
    const std::int64_t written = file.WriteFrom(handle, buffer, count);
    if (written == count)
        return;
    const int err = file.lastErrno();
    // Back to the block's start (the write moved the position by what got through), so that a
    // retry writes the whole block again over it. Measured only here: a block that succeeds
    // costs exactly one write.
    const std::int64_t end = win::FilePosition(handle);
    if (end < 0 || !file.SeekHandle(handle, end - written))
        raiseError(52);
    raiseError(errnoToErrorNumber(err != 0 ? err : ENOSPC));
}

} // namespace kivro
