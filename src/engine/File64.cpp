#include "engine/File64.h"

#include "engine/EngineGlobals.h"
#include "platform/FileApi.h"
#include "platform/MsgBox.h"
#include "platform/RuntimeError.h"
#include "platform/Paths.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>

namespace kivro {

using namespace kivro::win;

namespace {
constexpr std::int32_t kMaxTableEntries = 32767;
constexpr int kFileBoxStyle = vbCritical | vbOKOnly | vbTopMost;
} // namespace

File64::File64() = default;

File64::~File64()
{
    if (m_handle != -1)
        CloseHandle(m_handle);
}

void File64::noOpenFile() const
{
    MsgBoxResult(QStringLiteral("There is no open file."), kFileBoxStyle);
}

std::int32_t File64::FileHandle() const
{
    if (m_handle == -1)
        noOpenFile();
    return m_handle;
}

QString File64::filename() const
{
    if (m_handle == -1)
        noOpenFile();
    return m_fileName;
}

bool File64::IsOpen() const
{
    return m_handle != -1;
}

bool File64::AutoFlush() const
{
    if (m_handle == -1)
        noOpenFile();
    return m_autoFlush;
}

void File64::setAutoFlush(bool newVal)
{
    if (m_handle == -1)
        noOpenFile();
    m_autoFlush = newVal;
}

void File64::OpenFile(const QString& sFileName, const QString& sRW)
{
    if (gOpenFileCount >= kMaxTableEntries) {
        gFileOpenError = 999999999;
        return;
    }
    if (sRW == QLatin1String("READ_WRITE"))
        m_handle = CreateFileA(sFileName, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
    else if (sRW == QLatin1String("READ_ONLY"))
        m_handle = CreateFileA(sFileName, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    else {
        m_handle = INVALID_HANDLE_VALUE;
        SetLastError(EINVAL);
    }
    if (m_handle == -1) {
        m_lastErrno = GetLastError();
        MsgBoxResult(QStringLiteral("Error opening '") + sFileName + QStringLiteral("'!"), kFileBoxStyle);
        gFileOpenError = 75;
    } else {
        gFileOpenError = 0;
    }
    m_fileName = sFileName;
    gOpenFileHandles.append(m_handle);
    gOpenFileCount = std::int32_t(gOpenFileHandles.size());
}

void File64::CloseAllFiles()
{
    if (m_handle == -1)
        noOpenFile();
    CloseAllFilesQuietly();
}

void File64::CloseAllFilesQuietly()
{
    while (gOpenFileCount != 0 && !gOpenFileHandles.isEmpty()) {
        CloseHandle(gOpenFileHandles.last());
        gOpenFileHandles.removeLast();
        gOpenFileCount = std::int32_t(gOpenFileHandles.size());
    }
    gOpenFileCount = 0;
    m_fileName.clear();
    m_autoFlush = false;
    m_handle = -1;
}

bool File64::CloseFile(std::int32_t hFile)
{
    if (hFile == -1)
        noOpenFile();
    const bool closed = CloseHandle(hFile);
    if (!closed)
        m_lastErrno = GetLastError();
    const qsizetype at = gOpenFileHandles.lastIndexOf(hFile);
    if (at >= 0) {
        gOpenFileHandles.remove(at);
        gOpenFileCount = std::int32_t(gOpenFileHandles.size());
    }
    m_fileName.clear();
    m_autoFlush = false;
    return closed;
}

void File64::Flush()
{
    if (m_handle == -1)
        noOpenFile();
    FlushFileBuffers(m_handle);
}

void File64::SeekAbsolute(std::int32_t HighPos, std::int32_t LowPos)
{
    if (m_handle == -1)
        noOpenFile();
    std::int32_t high = HighPos;
    SetFilePointer(m_handle, LowPos, &high, FILE_BEGIN);
}

void File64::SeekRelative(std::int32_t Offset)
{
    if (m_handle == -1)
        noOpenFile();
    SetLastError(0);
    if (SetFilePointer(m_handle, Offset, nullptr, FILE_CURRENT) == INVALID_SET_FILE_POINTER && GetLastError() != 0)
        MsgBoxResult(QStringLiteral("Error seeking!"), kFileBoxStyle);
}

std::optional<QByteArray> File64::GetBytes(std::int32_t FileHandle, std::int32_t FirstByte, std::int32_t ByteCount,
                                           std::int32_t& FilePointerStart)
{
    FilePointerStart = 0;
    if (m_handle == -1 || FileHandle == -1 || HandleFd(FileHandle) < 0)
        return std::nullopt;
    const std::int64_t length = std::int64_t(ByteCount) - FirstByte + 1;
    if (length <= 0)
        return QByteArray();
    QByteArray bytes(qsizetype(length), '\0');
    std::uint32_t read = 0;
    if (!ReadFile(FileHandle, bytes.data(), std::uint32_t(length), &read))
        m_lastErrno = GetLastError();
    FilePointerStart = std::int32_t(read);
    return bytes;
}

void File64::WriteBytes(std::int32_t handle, const QByteArray& bytes, std::int32_t& written)
{
    written = 0;
    if (handle == -1)
        return;
    written = std::int32_t(WriteFrom(handle, bytes.constData(), bytes.size()));
    if (m_autoFlush)
        Flush();
}

std::int64_t File64::ReadInto(std::int32_t handle, char* buffer, std::int64_t count)
{
    if (m_handle == -1 || handle == -1 || HandleFd(handle) < 0)
        return -1;
    std::uint32_t read = 0;
    if (!ReadFile(handle, buffer, std::uint32_t(count), &read)) {
        m_lastErrno = GetLastError();
        return -1;
    }
    return std::int64_t(read);
}

std::int64_t File64::WriteFrom(std::int32_t handle, const char* buffer, std::int64_t count)
{
    if (handle == -1)
        return 0;
    std::uint32_t written = 0;
    if (!WriteFile(handle, buffer, std::uint32_t(count), &written))
        m_lastErrno = GetLastError();
    return std::int64_t(written);
}

bool File64::SeekHandle(std::int32_t handle, std::int64_t position)
{
    return win::SeekHandle(handle, position);
}

bool File64::SetEndOfFile(std::int32_t handle)
{
    if (win::SetEndOfFile(handle))
        return true;
    m_lastErrno = GetLastError();
    return false;
}

void CloseOutputFile(File64& file, std::int32_t handle, bool sync, const QString& path)
{
    // Asked while the handle still holds the file, so that its inode cannot have gone to another
    // file meanwhile. A handle that is gone already (a cancel closed every file) fails below.
    if (HandleFd(handle) >= 0 && !IsOpenFileAtPath(handle, path)) {
        file.CloseFile(handle);
        raiseError(kErrOutputRemoved);
    }
    const bool synced = !sync || FlushFileBuffers(handle);
    const bool closed = file.CloseFile(handle);
    if (!synced || !closed)
        raiseError(75);
}

std::int64_t GetFileLen(const QString& fileName)
{
    struct stat st {};
    if (fileName.isEmpty() || !paths::statPath(fileName, &st))
        return 0;
    return S_ISREG(st.st_mode) ? std::int64_t(st.st_size) : 0;
}

void SplitPosition(std::int64_t position, std::int32_t& highPos, std::int32_t& lowPos)
{
    highPos = std::int32_t(position / 4294967296LL);
    lowPos = std::int32_t(std::uint32_t(std::uint64_t(position) & 0xFFFFFFFFu));
}

} // namespace kivro
