#include "engine/CopyLoop.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "engine/File64.h"
#include "platform/FileApi.h"
#include "platform/Paths.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>

namespace kivro {

namespace {

// The largest piece a block goes through the buffer in (see CopyBlock).
constexpr std::int64_t kBufferPiece = std::int64_t(128) << 10;

// The bytes one CopyBlock call of a copy loop takes at least (see BlocksPerCopy).
constexpr std::int64_t kCopyRun = std::int64_t(4) << 20;

} // namespace

CopyBuffer::CopyBuffer() : m_size(kBufferPiece)
{
    constexpr std::size_t kAlign = 4096;
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

bool handleOpen(const File64& file, std::int32_t handle)
{
    return file.IsOpen() && handle != -1 && win::HandleFd(handle) >= 0;
}

bool pathExists(const QString& path)
{
    struct stat st {};
    return paths::statPath(path, &st);
}

// Moves a handle's position back by `distance` bytes.
bool stepBack(File64& file, std::int32_t handle, std::int64_t distance)
{
    const std::int64_t now = win::FilePosition(handle);
    return now >= 0 && file.SeekHandle(handle, now - distance);
}

} // namespace

void CopyBlock(File64& file, std::int32_t in, std::int32_t out, char* buffer, std::int64_t count, const QString& inPath,
               std::int64_t blockSize, std::int64_t* blocksDone)
{
    if (!handleOpen(file, in) || out == -1 || win::HandleFd(out) < 0)
        raiseError(52);
    // On a failure both positions go back to the start of the block it happened in (each has
    // moved by what got through; the output never further than the input), and the error is
    // raised.
    auto fail = [&](std::int64_t inMoved, std::int64_t outMoved, int number) {
        const std::int64_t whole = blockSize > 0 ? std::min(inMoved, outMoved) / blockSize : 0;
        const std::int64_t kept = whole * blockSize;
        if (!stepBack(file, in, inMoved - kept) || !stepBack(file, out, outMoved - kept))
            raiseError(52);
        if (blocksDone)
            *blocksDone = whole;
        raiseError(number);
    };
    auto shrank = [&] { return pathExists(inPath) ? 62 : 53; };

    // Inside the kernel, the first way it accepts for the two files; a way it refuses is left for
    // the next with nothing copied.
    for (const win::KernelCopyWay way : {win::KernelCopyWay::Range, win::KernelCopyWay::Send}) {
        std::uint64_t copied = 0;
        const bool ok = win::KernelCopy(way, in, out, std::uint64_t(count), &copied);
        const std::int64_t done = std::int64_t(copied);
        if (ok && done < count)
            fail(done, done, shrank());
        if (!ok) {
            const int err = win::GetLastError();
            if (done == 0 && win::IsCopyUnsupported(err))
                continue;
            fail(done, done, errnoToErrorNumber(err != 0 ? err : ENOSPC));
        }
        return;
    }

    // Through the buffer: the kernel cannot copy between these files either way. The block goes through in pieces of at most kBufferPiece bytes, each
    // read and then written at once while it is still in the processor's cache; a piece of
    // megabytes would go out to memory and back, and large writes make the page cache take large
    // folios, which on some machines (virtual ones in particular) cost several times the copy.
    std::int64_t at = 0; // bytes of the block that are in the output
    while (at < count) {
        const std::int64_t piece = std::min(count - at, kBufferPiece);
        std::int64_t got = 0;
        while (got < piece) {
            const std::int64_t n = file.ReadInto(in, buffer + got, piece - got);
            if (n < 0) {
                if (!handleOpen(file, in))
                    raiseError(52);
                const int err = file.lastErrno();
                fail(at + got, at, err != 0 ? errnoToErrorNumber(err) : 57);
            }
            if (n == 0)
                fail(at + got, at, shrank());
            got += n;
        }
        const std::int64_t written = file.WriteFrom(out, buffer, piece);
        if (written != piece) {
            const int err = file.lastErrno();
            fail(at + piece, at + written, errnoToErrorNumber(err != 0 ? err : ENOSPC));
        }
        at += piece;
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

std::int64_t BlocksPerCopy(std::int32_t blockSize)
{
    return blockSize > 0 ? std::max<std::int64_t>(1, kCopyRun / blockSize) : 1;
}

} // namespace kivro
