#include "engine/CopyrightStamp.h"

#include "engine/MainWindowLink.h"
#include "platform/FileApi.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"
#include "platform/RuntimeError.h"
#include "platform/WholeFile.h"

#include <cerrno>

namespace kivro {

namespace {

const QString kStampFileName = QStringLiteral("cstmp.ctd");

// Closes a handle of the file layer when it goes out of scope.
class HandleGuard {
public:
    explicit HandleGuard(win::HANDLE h) : m_h(h) {}
    ~HandleGuard()
    {
        if (m_h != win::INVALID_HANDLE_VALUE)
            win::CloseHandle(m_h);
    }
    HandleGuard(const HandleGuard&) = delete;
    HandleGuard& operator=(const HandleGuard&) = delete;

private:
    win::HANDLE m_h;
};

// The whole stamp file; raises the error of a failed open or read.
QByteArray readStampFile(const QString& path)
{
    const win::HANDLE h = win::CreateFileA(path, win::GENERIC_READ, win::FILE_SHARE_READ, win::OPEN_EXISTING);
    if (h == win::INVALID_HANDLE_VALUE)
        raiseError(errnoToErrorNumber(win::GetLastError()));
    HandleGuard guard(h);
    QByteArray content;
    char block[4096];
    for (;;) {
        std::uint32_t got = 0;
        if (!win::ReadFile(h, block, sizeof block, &got))
            raiseError(errnoToErrorNumber(win::GetLastError()));
        if (got == 0)
            break;
        content.append(block, qsizetype(got));
    }
    return content;
}

// Written whole or not at all: a write that fails part way (a full disk) must leave no file
// behind, or the next start would read an empty stamp and never write the default again.
void createDefaultStampFile(const QString& path)
{
    const QByteArray bytes = kDefaultCopyrightStamp.toLocal8Bit() + QByteArrayLiteral("\r\n");
    errno = 0;
    if (!ReplaceFileWhole(path, bytes))
        raiseError(errno != 0 ? errnoToErrorNumber(errno, true) : 75);
}

} // namespace

QString CopyrightStampFile()
{
    const QString folder = paths::userDataDir();
    return folder.isEmpty() ? QString() : paths::joinPath(folder, kStampFileName);
}

QString CopyrightStampLine(const QString& line)
{
    for (const QChar c : line)
        if (c != QLatin1Char(' '))
            return QStringLiteral("@echo ") + line;
    return QStringLiteral("@echo.");
}

QStringList CopyrightStampFileLines(const QByteArray& content)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = content.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = content.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines << QString::fromLocal8Bit(content.mid(start, i - start));
        if (c == '\r' && i + 1 < n && content.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines << QString::fromLocal8Bit(content.mid(start));
    return lines;
}

QString LoadCopyrightDataFromFile(MainWindowLink& form)
{
    QString text;
    QStringList lines;
    form.setCopyrightStamping_lst(lines);
    try {
        const QString path = CopyrightStampFile();
        if (path.isEmpty())
            raiseError(76);
        QByteArray content;
        try {
            content = readStampFile(path);
        } catch (const RuntimeError& e) {
            if (e.number() != 53)
                throw;
            createDefaultStampFile(path);
            content = readStampFile(path);
        }
        for (const QString& line : CopyrightStampFileLines(content)) {
            lines << CopyrightStampLine(line);
            if (text.isEmpty())
                text = line;
            else
                text += QStringLiteral("\r\n") + line;
        }
    } catch (const RuntimeError& e) {
        MsgBoxResult(unexpectedErrorText(e.number(), e.description()), vbCritical | vbOKOnly | vbTopMost);
    }
    form.setCopyrightStamping_lst(lines);
    return text;
}

} // namespace kivro
