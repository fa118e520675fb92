#include "engine/CopyLoop.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "engine/File64.h"
#include "platform/FileApi.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>

namespace kivro {

CopyBuffer::CopyBuffer(std::int64_t size) : m_size(std::max<std::int64_t>(size, 1))
{
    constexpr std::size_t kAlign = std::size_t(2) << 20;
    void* p = nullptr;
    if (::posix_memalign(&p, kAlign, std::size_t(m_size)) != 0 || !p)
        throw std::bad_alloc();
    m_data = static_cast<char*>(p);
}

CopyBuffer::~CopyBuffer()
{
    std::free(m_data);
}

namespace {

bool g_kernelCopy = true;

bool handleOpen(const File64& file, std::int32_t handle)
{
    return file.IsOpen() && handle != -1 && win::HandleFd(handle) >= 0;
}

bool pathExists(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

// Moves a handle's position back by `distance` bytes.
bool stepBack(File64& file, std::int32_t handle, std::int64_t distance)
{
    const std::int64_t now = win::FilePosition(handle);
    return now >= 0 && file.SeekHandle(handle, now - distance);
}

} // namespace

void SetKernelBlockCopy(bool enabled)
{
    g_kernelCopy = enabled;
}

bool KernelBlockCopy()
{
    return g_kernelCopy;
}

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

void CopyBlock(File64& file, std::int32_t in, std::int32_t out, char* buffer, std::int64_t count,
               const QString& inPath)
{
    if (!handleOpen(file, in) || out == -1 || win::HandleFd(out) < 0)
        raiseError(52);
    // On a failure both positions go back to the block's start (each has moved by what got
    // through), and the error is raised.
    auto fail = [&](std::int64_t inMoved, std::int64_t outMoved, int number) {
        if (!stepBack(file, in, inMoved) || !stepBack(file, out, outMoved))
            raiseError(52);
        raiseError(number);
    };
    auto shrank = [&] { return pathExists(inPath) ? 62 : 53; };

    std::int64_t done = 0;
    if (g_kernelCopy) {
        std::uint64_t copied = 0;
        const bool ok = win::CopyFileRange(in, out, std::uint64_t(count), &copied);
        done = std::int64_t(copied);
        if (ok && done < count)
            fail(done, done, shrank());
        if (!ok) {
            const int err = win::GetLastError();
            if (!(done == 0 && win::IsCopyUnsupported(err)))
                fail(done, done, errnoToErrorNumber(err != 0 ? err : ENOSPC));
        }
        if (done == count)
            return;
    }

    // Through the buffer: the kernel cannot copy between these files, or copying inside the
    // kernel is switched off.
    const std::int64_t rest = count - done;
    std::int64_t got = 0;
    while (got < rest) {
        const std::int64_t n = file.ReadInto(in, buffer + got, rest - got);
        if (n < 0) {
            if (!handleOpen(file, in))
                raiseError(52);
            const int err = file.lastErrno();
            fail(done + got, done, err != 0 ? errnoToErrorNumber(err) : 57);
        }
        if (n == 0)
            fail(done + got, done, shrank());
        got += n;
    }
    const std::int64_t written = file.WriteFrom(out, buffer, rest);
    if (written != rest) {
        const int err = file.lastErrno();
        fail(done + rest, done + written, errnoToErrorNumber(err != 0 ? err : ENOSPC));
    }
}

BlockPlan PlanBlocks(std::int64_t length, std::int32_t blockSize, std::int32_t blockDigits)
{
    BlockPlan plan;
    if (length <= 0)
        return plan;
    if (blockSize <= 0) {
        plan.tail = length;
        return plan;
    }
    // Digits beyond the length's own change nothing (and more than 18 would overflow).
    std::int64_t modulus = 1;
    for (std::int32_t d = 0; d < std::min<std::int32_t>(blockDigits, 18) && modulus <= length; ++d)
        modulus *= 10;
    plan.blocks = (length - length % modulus) / blockSize;
    plan.tail = length - plan.blocks * blockSize;
    return plan;
}

} // namespace kivro
