#include "platform/FileApi.h"
#include "platform/Paths.h"

#include <QFile>

#include <algorithm>
#include <functional>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <signal.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kivro::win {

namespace {

struct Entry {
    int fd = -1;
    bool write = false;
    dev_t dev = 0;
    ino_t ino = 0;
    // For an output: per way of KernelCopyWay, the last input the kernel refused to copy from
    // that way (handles are never reused), so that a run between two file systems does not ask
    // the kernel again for every block.
    HANDLE refusedFrom[2] = {-1, -1};
};

std::map<HANDLE, Entry>& table()
{
    static std::map<HANDLE, Entry> t;
    return t;
}

// How many handles of the table hold each file, and how many of them for writing: the sharing
// test of every open asks it, and a run may hold thousands of files open at once.
struct OpenCount {
    int all = 0;
    int writers = 0;
};
std::map<std::pair<dev_t, ino_t>, OpenCount>& openCounts()
{
    static std::map<std::pair<dev_t, ino_t>, OpenCount> counts;
    return counts;
}

void record(HANDLE h, const Entry& e)
{
    table()[h] = e;
    OpenCount& c = openCounts()[{e.dev, e.ino}];
    ++c.all;
    c.writers += e.write ? 1 : 0;
}

void forget(std::map<HANDLE, Entry>::iterator it)
{
    const auto c = openCounts().find({it->second.dev, it->second.ino});
    if (c != openCounts().end()) {
        c->second.writers -= it->second.write ? 1 : 0;
        if (--c->second.all == 0)
            openCounts().erase(c);
    }
    table().erase(it);
}

HANDLE g_next = 1000;
thread_local int g_lastError = 0;
std::int64_t g_writeLimit = -1;
int g_closeFailure = 0;
bool g_copyRefused[2] = {false, false};
QString g_beforeOpenPath;
std::function<void()> g_beforeOpen;

Entry* find(HANDLE h)
{
    auto it = table().find(h);
    return it == table().end() ? nullptr : &it->second;
}

bool sameFileOpen(dev_t dev, ino_t ino, bool anyAccess)
{
    const auto c = openCounts().find({dev, ino});
    return c != openCounts().end() && (anyAccess ? c->second.all : c->second.writers) > 0;
}

} // namespace

int GetLastError()
{
    return g_lastError;
}
void SetLastError(int err)
{
    g_lastError = err;
}

HANDLE CreateFileA(const QString& fileName, std::uint32_t desiredAccess, std::uint32_t /*shareMode*/,
                   std::uint32_t creationDisposition, std::uint32_t /*flags*/)
{
    const QByteArray path = QFile::encodeName(fileName);
    const bool wantWrite = (desiredAccess & GENERIC_WRITE) != 0;
    // A file is written only at its own name: a symbolic link there (one the caller did not
    // remove, or one put there since) fails the open with ELOOP rather than sending the bytes to
    // whatever it points to. Reads follow links, as a user's inputs may be links.
    int oflags = O_CLOEXEC | O_NONBLOCK | (wantWrite ? O_RDWR | O_NOFOLLOW : O_RDONLY);
    switch (creationDisposition) {
    case CREATE_NEW:
        oflags |= O_CREAT | O_EXCL;
        break;
    case CREATE_ALWAYS:
        oflags |= O_CREAT;
        break; // truncated below, after the sharing test
    case OPEN_ALWAYS:
        oflags |= O_CREAT;
        break;
    case TRUNCATE_EXISTING:
        break;
    case OPEN_EXISTING:
    default:
        break;
    }
    if (!wantWrite)
        oflags &= ~O_CREAT;
    if (fileName.isEmpty()) {
        g_lastError = ENOENT;
        return INVALID_HANDLE_VALUE;
    }
    if (wantWrite && g_beforeOpen && fileName == g_beforeOpenPath) {
        const std::function<void()> hook = std::move(g_beforeOpen);
        g_beforeOpen = nullptr;
        hook();
    }
    const int fd = ::open(path.constData(), oflags, 0666);
    if (fd < 0) {
        g_lastError = errno;
        return INVALID_HANDLE_VALUE;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        g_lastError = (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) ? EISDIR : EACCES;
        ::close(fd);
        return INVALID_HANDLE_VALUE;
    }
    // Share read: readers only while nobody writes; a writer only while nobody has it open.
    if (sameFileOpen(st.st_dev, st.st_ino, wantWrite)) {
        g_lastError = ETXTBSY;
        ::close(fd);
        return INVALID_HANDLE_VALUE;
    }
    const int fl = ::fcntl(fd, F_GETFL);
    if (fl >= 0)
        ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
    // An empty file is left alone: on some file systems (ext4) a truncation to 0 makes the close
    // write the file out to disk, for every new file.
    if (wantWrite && (creationDisposition == CREATE_ALWAYS || creationDisposition == TRUNCATE_EXISTING)
        && st.st_size != 0) {
        if (::ftruncate(fd, 0) != 0) {
            g_lastError = errno;
            ::close(fd);
            return INVALID_HANDLE_VALUE;
        }
    }
    const HANDLE h = g_next++;
    record(h, Entry{fd, wantWrite, st.st_dev, st.st_ino});
    g_lastError = 0;
    return h;
}

bool ReadFile(HANDLE h, void* buffer, std::uint32_t toRead, std::uint32_t* read)
{
    if (read)
        *read = 0;
    Entry* e = find(h);
    if (!e) {
        g_lastError = EBADF;
        return false;
    }
    auto* p = static_cast<char*>(buffer);
    std::uint32_t done = 0;
    while (done < toRead) {
        const ssize_t n = ::read(e->fd, p + done, toRead - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            g_lastError = errno;
            if (read)
                *read = done;
            return false;
        }
        if (n == 0)
            break;
        done += std::uint32_t(n);
    }
    if (read)
        *read = done;
    g_lastError = 0;
    return true;
}

bool WriteFile(HANDLE h, const void* buffer, std::uint32_t toWrite, std::uint32_t* written)
{
    if (written)
        *written = 0;
    Entry* e = find(h);
    if (!e || !e->write) {
        g_lastError = EBADF;
        return false;
    }
    const auto* p = static_cast<const char*>(buffer);
    std::uint32_t done = 0;
    while (done < toWrite) {
        std::uint32_t chunk = toWrite - done;
        if (g_writeLimit >= 0) {
            if (g_writeLimit == 0) {
                g_lastError = ENOSPC;
                if (written)
                    *written = done;
                return false;
            }
            chunk = std::uint32_t(std::min<std::int64_t>(chunk, g_writeLimit));
        }
        const ssize_t n = ::write(e->fd, p + done, chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            g_lastError = errno;
            if (written)
                *written = done;
            return false;
        }
        if (n == 0) {
            g_lastError = ENOSPC;
            break;
        }
        done += std::uint32_t(n);
        if (g_writeLimit >= 0)
            g_writeLimit -= n;
    }
    if (written)
        *written = done;
    if (done < toWrite)
        return false;
    g_lastError = 0;
    return true;
}

bool KernelCopy(KernelCopyWay way, HANDLE in, HANDLE out, std::uint64_t count, std::uint64_t* copied)
{
    if (copied)
        *copied = 0;
    Entry* src = find(in);
    Entry* dst = find(out);
    if (!src || !dst || !dst->write) {
        g_lastError = EBADF;
        return false;
    }
    const int w = int(way);
    if (dst->refusedFrom[w] == in) {
        g_lastError = EXDEV;
        return false;
    }
    // The kernel copies markedly faster when the output position sits on a 1 MiB boundary (the page
    // cache then works in whole large folios); block sizes such as 5,000,000 bytes leave every
    // block's start off that boundary. So a short first call brings the output onto the boundary
    // and the rest of the range follows in one call. Small ranges are copied as they come: for
    // them the position query would cost more than the alignment gains.
    constexpr std::uint64_t kAlign = 1u << 20;
    // sendfile moves at most 2 GiB less a page in one call.
    constexpr std::uint64_t kMaxCall = 1u << 30;
    std::uint64_t head = 0;
    if (count >= kAlign / 4) {
        const off_t outPos = ::lseek(dst->fd, 0, SEEK_CUR);
        head = outPos >= 0 ? (kAlign - std::uint64_t(outPos) % kAlign) % kAlign : 0;
    }
    std::uint64_t done = 0;
    while (done < count) {
        std::uint64_t chunk = std::min(count - done, kMaxCall);
        if (head > 0 && head < chunk) {
            chunk = head;
            head = 0;
        }
        if (g_writeLimit >= 0) {
            if (g_writeLimit == 0) {
                g_lastError = ENOSPC;
                if (copied)
                    *copied = done;
                return false;
            }
            chunk = std::min<std::uint64_t>(chunk, std::uint64_t(g_writeLimit));
        }
        ssize_t n = -1;
        if (g_copyRefused[w])
            errno = way == KernelCopyWay::Range ? EXDEV : EINVAL;
        else if (way == KernelCopyWay::Range)
            n = ::copy_file_range(src->fd, nullptr, dst->fd, nullptr, std::size_t(chunk), 0);
        else
            n = ::sendfile(dst->fd, src->fd, nullptr, std::size_t(chunk));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            g_lastError = errno;
            if (done == 0 && IsCopyUnsupported(errno))
                dst->refusedFrom[w] = in;
            if (copied)
                *copied = done;
            return false;
        }
        if (n == 0)
            break; // the end of the source
        done += std::uint64_t(n);
        if (g_writeLimit >= 0)
            g_writeLimit -= n;
    }
    if (copied)
        *copied = done;
    g_lastError = 0;
    return true;
}

bool IsCopyUnsupported(int err)
{
    return err == ENOSYS || err == EXDEV || err == EINVAL || err == EOPNOTSUPP || err == ENOTSUP;
}

std::uint32_t SetFilePointer(HANDLE h, std::int32_t distanceLow, std::int32_t* distanceHigh, std::uint32_t moveMethod)
{
    Entry* e = find(h);
    if (!e) {
        g_lastError = EBADF;
        return INVALID_SET_FILE_POINTER;
    }
    std::int64_t distance;
    if (distanceHigh)
        distance = (std::int64_t(*distanceHigh) << 32) | std::int64_t(std::uint32_t(distanceLow));
    else
        distance = distanceLow; // sign-extended, as a 32-bit move
    const int whence = moveMethod == FILE_CURRENT ? SEEK_CUR : moveMethod == FILE_END ? SEEK_END : SEEK_SET;
    const off_t pos = ::lseek(e->fd, off_t(distance), whence);
    if (pos < 0) {
        g_lastError = errno;
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceHigh)
        *distanceHigh = std::int32_t(std::uint64_t(pos) >> 32);
    g_lastError = 0;
    return std::uint32_t(std::uint64_t(pos) & 0xFFFFFFFFu);
}

bool FlushFileBuffers(HANDLE h)
{
    Entry* e = find(h);
    if (!e) {
        g_lastError = EBADF;
        return false;
    }
    if (::fsync(e->fd) != 0) {
        g_lastError = errno;
        return false;
    }
    g_lastError = 0;
    return true;
}

bool SetEndOfFile(HANDLE h)
{
    Entry* e = find(h);
    if (!e || !e->write) {
        g_lastError = EBADF;
        return false;
    }
    const off_t pos = ::lseek(e->fd, 0, SEEK_CUR);
    if (pos < 0 || ::ftruncate(e->fd, pos) != 0) {
        g_lastError = errno;
        return false;
    }
    g_lastError = 0;
    return true;
}

bool CloseHandle(HANDLE h)
{
    auto it = table().find(h);
    if (it == table().end()) {
        g_lastError = EBADF;
        return false;
    }
    const bool injected = it->second.write && g_closeFailure > 0 && --g_closeFailure == 0;
    const int rc = ::close(it->second.fd);
    const int err = rc == 0 ? 0 : errno;
    forget(it);
    g_lastError = injected ? EIO : err;
    return g_lastError == 0;
}

bool GetFileInformationByHandle(HANDLE h, BY_HANDLE_FILE_INFORMATION* info)
{
    Entry* e = find(h);
    struct stat st {};
    if (!e || !info || ::fstat(e->fd, &st) != 0) {
        g_lastError = e ? errno : EBADF;
        return false;
    }
    const auto size = std::uint64_t(st.st_size);
    info->dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
    info->nFileSizeHigh = std::uint32_t(size >> 32);
    info->nFileSizeLow = std::uint32_t(size & 0xFFFFFFFFu);
    info->nNumberOfLinks = std::uint32_t(st.st_nlink);
    info->device = std::uint64_t(st.st_dev);
    info->inode = std::uint64_t(st.st_ino);
    g_lastError = 0;
    return true;
}

bool IsFileAtPath(const BY_HANDLE_FILE_INFORMATION& info, const QString& path)
{
    struct stat st {};
    if (info.nNumberOfLinks == 0 || !paths::lstatPath(path, &st))
        return false;
    return std::uint64_t(st.st_dev) == info.device && std::uint64_t(st.st_ino) == info.inode;
}

bool IsOpenFileAtPath(HANDLE h, const QString& path)
{
    BY_HANDLE_FILE_INFORMATION info;
    return GetFileInformationByHandle(h, &info) && IsFileAtPath(info, path);
}

bool IsFileOpenInProcess(const QString& fileName)
{
    struct stat st {};
    if (!paths::statPath(fileName, &st))
        return false;
    return sameFileOpen(st.st_dev, st.st_ino, true);
}

std::int64_t FilePosition(HANDLE h)
{
    Entry* e = find(h);
    return e ? std::int64_t(::lseek(e->fd, 0, SEEK_CUR)) : -1;
}

bool SeekHandle(HANDLE h, std::int64_t position)
{
    Entry* e = find(h);
    if (!e) {
        g_lastError = EBADF;
        return false;
    }
    if (::lseek(e->fd, off_t(position), SEEK_SET) < 0) {
        g_lastError = errno;
        return false;
    }
    return true;
}

int HandleFd(HANDLE h)
{
    Entry* e = find(h);
    return e ? e->fd : -1;
}

void InjectWriteLimit(std::int64_t bytesLeft)
{
    g_writeLimit = bytesLeft;
}

void InjectCopyRefusal(KernelCopyWay way, bool refused)
{
    g_copyRefused[int(way)] = refused;
}

void InjectCloseFailure(int nth)
{
    g_closeFailure = std::max(nth, 0);
}

void InjectBeforeWriteOpen(const QString& fileName, std::function<void()> hook)
{
    g_beforeOpenPath = fileName;
    g_beforeOpen = std::move(hook);
}

void IgnoreFileSizeSignal()
{
    struct sigaction sa {};
    sa.sa_handler = SIG_IGN;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGXFSZ, &sa, nullptr);
}

} // namespace kivro::win
