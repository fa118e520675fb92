#include "platform/FileLock.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kivro::win {

FileLock::~FileLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // also drops the lock
}

bool FileLock::open(const QString& path)
{
    if (m_fd >= 0)
        return true;
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        m_error = qt_error_string(errno);
        return false;
    }
    return true;
}

bool FileLock::tryLock()
{
    return take(LOCK_EX | LOCK_NB);
}

bool FileLock::lock()
{
    return take(LOCK_EX);
}

bool FileLock::take(int operation)
{
    if (m_locked)
        return true;
    if (m_fd < 0)
        return false;
    int rc;
    do
        rc = ::flock(m_fd, operation);
    while (rc != 0 && errno == EINTR);
    m_heldElsewhere = rc != 0 && errno == EWOULDBLOCK;
    if (rc != 0) {
        m_error = qt_error_string(errno);
        return false;
    }
    m_locked = true;
    return true;
}

void FileLock::unlock()
{
    if (!m_locked)
        return;
    ::flock(m_fd, LOCK_UN);
    m_locked = false;
}

} // namespace kivro::win
