#pragma once
// The engine's only way to read and write file contents: 64-bit positions, whole byte arrays,
// and one table of every open handle (shared by all objects) so that the cancel and error paths
// can close everything at once. Failures are shown as messages and never raised; callers learn of
// a failed open from gFileOpenError and the invalid handle, of a short read or write from the
// counts returned.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace kivro {

class File64 {
public:
    File64();
    ~File64();
    File64(const File64&) = delete;
    File64& operator=(const File64&) = delete;

    // The current handle; -1 (after "There is no open file.") when there is none.
    std::int32_t FileHandle() const;
    QString filename() const;
    bool IsOpen() const;
    bool AutoFlush() const;
    void setAutoFlush(bool newVal);

    // sRW: "READ_WRITE" opens or creates the file for reading and writing; "READ_ONLY" opens an
    // existing file for reading. The new handle becomes current and is recorded in the table.
    void OpenFile(const QString& sFileName, const QString& sRW);
    void CloseAllFiles();
    // False when the system reports a failure at the close (a delayed write that did not get
    // through: network and FUSE file systems report it only here); the handle is gone either way.
    bool CloseFile(std::int32_t hFile);
    void Flush();
    void SeekAbsolute(std::int32_t HighPos, std::int32_t LowPos);
    void SeekRelative(std::int32_t Offset);

    // Reads ByteCount - FirstByte + 1 bytes from FileHandle into a zero-filled array of that
    // length; FilePointerStart gets the count actually read. No current file, an invalid or
    // closed handle: the empty value, count 0.
    std::optional<QByteArray> GetBytes(std::int32_t FileHandle, std::int32_t FirstByte, std::int32_t ByteCount,
                                       std::int32_t& FilePointerStart);
    // Writes the whole array at the handle's position; `written` gets the count actually
    // written (0 through -1 or a closed handle).
    void WriteBytes(std::int32_t handle, const QByteArray& bytes, std::int32_t& written);

    // --- beyond the classic members, for the copy loops ---------------------------------------
    // Reads up to `count` bytes into the caller's buffer (reused across blocks). Returns the
    // count read, or -1 when there is no current file or the handle is invalid or the read failed.
    std::int64_t ReadInto(std::int32_t handle, char* buffer, std::int64_t count);
    // Writes `count` bytes from the caller's buffer; returns the count written (short on failure).
    std::int64_t WriteFrom(std::int32_t handle, const char* buffer, std::int64_t count);
    // Seeks on the given handle (not only the current one). False when the handle is invalid.
    bool SeekHandle(std::int32_t handle, std::int64_t position);
    // Ends the file of `handle` at its current position (an output that must hold exactly what
    // was written, whatever an older file of that name held). False when the system refuses.
    bool SetEndOfFile(std::int32_t handle);
    // Closes every recorded handle like CloseAllFiles, without a message when nothing is open.
    void CloseAllFilesQuietly();
    // errno of the last failed read, write or open (0 when none failed).
    int lastErrno() const { return m_lastErrno; }

private:
    void noOpenFile() const;

    std::int32_t m_handle = -1;
    QString m_fileName;
    bool m_autoFlush = false;
    int m_lastErrno = 0;
};

// Raised when an output is no longer the file at its name (it, or a folder on its path, was
// removed, renamed or replaced while it was written): what was written is not at that name, and
// no Retry can bring it back.
constexpr int kErrOutputRemoved = int(0x80040000u) + 1001;

// Closes an output the run has written to `path`. First it must still be the file at that name
// (win::IsOpenFileAtPath), else kErrOutputRemoved is raised. With `sync` set the file is then
// written through to the disk (before the run's sources may go to the Trash). A failure of either
// is raised as 75, whatever the system's reason (EIO included): the output does not hold what was
// written. The handle is closed in every case.
void CloseOutputFile(File64& file, std::int32_t handle, bool sync, const QString& path);

// The size of a file in bytes; 0 for a missing file, a folder, a FIFO or a device.
std::int64_t GetFileLen(const QString& fileName);

// Splits a 64-bit position into the two signed 32-bit halves SeekAbsolute takes.
void SplitPosition(std::int64_t position, std::int32_t& highPos, std::int32_t& lowPos);

} // namespace kivro
