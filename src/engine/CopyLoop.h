#pragma once
// The block copy the pack and unpack runs share: one read and one write per block through the
// main window's File64 object, into one buffer the caller allocates once and reuses, or one
// in-kernel copy per block where the kernel can copy between the two files (for page-cached data
// that halves the memory traffic: no copy into and out of the buffer).
//
// Every read and every write is checked. A failure is raised as a RuntimeError for the run's
// error handler; a failed write first puts the output position back where its block began, so
// that the handler's Retry answer is simply the same CopyBlock call again: the same block at the
// same offset. RunStep is that retry loop.
#include "platform/RuntimeError.h"

#include <QString>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

namespace kivro {

class File64;

// Copies exactly `count` bytes from `in` to `out`, each at its position, as one block: inside the
// kernel where it can copy between the two files (the first of the ways of win::KernelCopyWay it
// accepts: no trip through memory of this process), otherwise through `buffer` (a CopyBuffer's),
// read and written in pieces of up to 128 KiB. Both positions advance by `count`. Raises:
// - 52 (bad file name or number) when a handle or the File64 object holds no open file (after a
//   cancel has closed every file of the run);
// - the number mapped from errno when a read or a write fails (57 for a read's I/O error; 75 for
//   a full disk, a quota, the file-size limit or a write-protected file);
// - when the source ends before `count` bytes (it shrank during the run): 53 when `inPath` no
//   longer exists, otherwise 62 (input past end of file).
// After any failure both positions are back at the block's start, so that the same call again
// copies the same block to the same place.
//
// With `blockSize` (several blocks of that size in one call, see BlocksPerCopy), a failure puts
// both positions back at the start of the block it happened in instead, and `*blocksDone` gets
// the number of whole blocks before it, which are copied; on success `*blocksDone` is untouched.
void CopyBlock(File64& file, std::int32_t in, std::int32_t out, char* buffer, std::int64_t count, const QString& inPath,
               std::int64_t blockSize = 0, std::int64_t* blocksDone = nullptr);

// The one buffer of a run's copy loop: room for the 128 KiB piece CopyBlock moves through it,
// whatever the block size. Its start is page-aligned: the kernel copies into and out of a
// page-aligned buffer several times faster than into one that starts a few bytes into a page.
class CopyBuffer {
public:
    CopyBuffer();
    ~CopyBuffer();
    CopyBuffer(const CopyBuffer&) = delete;
    CopyBuffer& operator=(const CopyBuffer&) = delete;
    char* data() { return m_data; }
    std::int64_t size() const { return m_size; }

private:
    char* m_data = nullptr;
    std::int64_t m_size = 0;
};

// How `length` bytes are copied: `blocks` reads of the block size, then one tail of `tail` bytes.
// The tail is the number formed by the last `blockDigits` decimal digits of the length (the whole
// length when it has no more digits); the blocks are what remains in block-size pieces. With the
// program's rates (block size 10 ^ digits, or 5,000,000 with 7 digits) the division is exact; any
// other pairing still covers every byte. Nothing for a length of 0 or less; one tail when the
// block size is not positive.
struct BlockPlan {
    std::int64_t blocks = 0;
    std::int64_t tail = 0;
};
BlockPlan PlanBlocks(std::int64_t length, std::int32_t blockSize, std::int32_t blockDigits);

// How many of a plan's whole blocks one CopyBlock call takes: blocks of less than 4 MiB go
// together up to that size (one block at least). A call per block of a few kilobytes would cost
// more than the copy itself; the loops still give every block its own progress update (and so
// its own chance to be cancelled) right after the call that copied it (CopyWholeBlocks).
std::int64_t BlocksPerCopy(std::int32_t blockSize);

// The loop over a plan's whole blocks that Pack and Unpack share: several blocks to a call of
// `copy(bytes, blocksDone)` (CopyBlock for the run's two files, with `blockSize` and `blocksDone`
// passed on; see BlocksPerCopy), then `blockDone()` for every block copied, so that every block
// gets its own progress update and its own chance to be cancelled. When a call fails, the blocks
// before the failure get their updates and the block it happened in goes to `failed(error)`,
// which answers the error and copies that one block again (both positions are at its start): a
// Retry rewrites only the failed block, at its offset, never the blocks the call had already
// copied. `blockDone` and `failed` return false when the run has ended (the loop then returns
// false at once), or leave by an exception of their own. True when every block is copied.
template <class Copy, class Failed, class Done>
bool CopyWholeBlocks(std::int64_t blocks, std::int64_t blockSize, Copy&& copy, Failed&& failed, Done&& blockDone)
{
    const std::int64_t perCopy = BlocksPerCopy(std::int32_t(blockSize));
    for (std::int64_t b = 0; b < blocks;) {
        const std::int64_t n = std::min(perCopy, blocks - b);
        std::int64_t copied = n;
        std::optional<RuntimeError> failure;
        try {
            copy(n * blockSize, &copied);
        } catch (const RuntimeError& e) {
            failure = e;
        }
        for (const std::int64_t end = b + copied; b < end; ++b)
            if (!blockDone())
                return false;
        if (failure) {
            if (!failed(*failure))
                return false;
            ++b;
            if (!blockDone())
                return false;
        }
    }
    return true;
}

// What a run's error handler decided about a failed step.
enum class StepOutcome { Retry, End };

// Runs `step()`; while it raises a RuntimeError and `handler(error)` answers Retry, runs it again.
// True when the step succeeded; false when the handler ended the run (it has then shown its
// messages and recovered; the caller returns at once).
template <class Step, class Handler> bool RunStep(Step&& step, Handler&& handler)
{
    for (;;) {
        try {
            std::forward<Step>(step)();
            return true;
        } catch (const RuntimeError& e) {
            if (handler(e) != StepOutcome::Retry)
                return false;
        }
    }
}

} // namespace kivro
