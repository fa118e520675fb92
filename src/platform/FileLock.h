#pragma once
// An exclusive advisory lock on a file (flock) shared between processes: the stand-in for the
// test "is a previous copy of this program running?" and for short steps that must not
// interleave with other processes. The kernel drops the lock when the holder ends, also when it
// crashes, so no lock outlives its process. The file is opened close-on-exec, so a program
// started by the holder does not inherit the lock.
#include <QString>

namespace kivro::win {

class FileLock {
public:
    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Opens the lock file, creating it (owner only) when it is missing. False, with
    // errorString() set, when it cannot be opened.
    bool open(const QString& path);
    // Takes the lock without waiting: false while another holder has it (also another FileLock of
    // this process on the same file).
    bool tryLock();
    // Takes the lock, waiting as long as another holder has it. False only when the system
    // refuses the lock itself (errorString() says why).
    bool lock();
    void unlock();
    bool isLocked() const { return m_locked; }
    // True when the last tryLock() failed because another holder has the lock (not an error).
    bool heldElsewhere() const { return m_heldElsewhere; }
    QString errorString() const { return m_error; }

private:
    bool take(int operation);

    int m_fd = -1;
    bool m_locked = false;
    bool m_heldElsewhere = false;
    QString m_error;
};

// Holds a FileLock from construction to the end of the scope (or an earlier release()).
class FileLockHolder {
public:
    explicit FileLockHolder(FileLock& lock) : m_lock(lock) {}
    ~FileLockHolder() { release(); }
    FileLockHolder(const FileLockHolder&) = delete;
    FileLockHolder& operator=(const FileLockHolder&) = delete;
    bool acquire() { return m_held = m_lock.lock(); }
    void release()
    {
        if (m_held)
            m_lock.unlock();
        m_held = false;
    }

private:
    FileLock& m_lock;
    bool m_held = false;
};

} // namespace kivro::win
