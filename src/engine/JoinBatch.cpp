#include "engine/JoinBatch.h"

#include "engine/DeleteAfterAction.h"
#include "engine/File64.h"
#include "engine/StringHelpers.h"
#include "platform/FileApi.h"
#include "platform/Paths.h"
#include "platform/RuntimeError.h"

#include <algorithm>

namespace kivro {

namespace {

const QChar kQuote = QLatin1Char('"');

QString quoted(const QString& text)
{
    return kQuote + text + kQuote;
}

// The joined file's name: "<name>-JOIN.<X>".
QString joinedName(const QString& name, const QString& extension)
{
    return name + QStringLiteral("-JOIN.") + extension;
}

} // namespace

void JoinList::add(const QString& entry)
{
    copyText += QStringLiteral(" + ") + quoted(entry);
    entries << entry;
}

void JoinList::clear()
{
    copyText.clear();
    entries.clear();
}

QString JoinEntry(JoinBatch style, const QString& pieceName)
{
    return style == JoinBatch::WithInfo ? pieceName : paths::nameOf(pieceName);
}

QString JoinBatchFileName(UnpackTarget target, const QString& saveAsText, const QString& folder, const QString& name,
                          const QString& customDir)
{
    const QString file = name + QStringLiteral("-JOIN.bat");
    switch (target) {
    case UnpackTarget::SaveFile:
        return saveAsText.left(LastInStr(saveAsText, QStringLiteral("/"))) + file;
    case UnpackTarget::WhereFile:
        return folder + file;
    case UnpackTarget::Custom:
        return paths::joinPath(customDir, file);
    }
    return folder + file;
}

QString JoinExtension(const QString& name, const QString& archiveName)
{
    const QString& from = archiveName.isEmpty() ? name : archiveName;
    const std::int32_t dot = LastInStr(from, QStringLiteral("."));
    return dot == 0 ? from : from.mid(dot);
}

bool BatchCanCarry(const QString& text)
{
    return !text.contains(kQuote) && !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n'));
}

QString BatchPercent(const QString& text)
{
    QString out = text;
    return out.replace(QLatin1Char('%'), QStringLiteral("%%"));
}

QString BatchEcho(const QString& text)
{
    QString out;
    out.reserve(text.size() + 8);
    bool inQuotes = false;
    for (const QChar c : text) {
        if (c == kQuote)
            inQuotes = !inQuotes;
        if (c == QLatin1Char('%')) {
            out += QStringLiteral("%%");
            continue;
        }
        if (!inQuotes
            && (c == QLatin1Char('&') || c == QLatin1Char('|') || c == QLatin1Char('<') || c == QLatin1Char('>')
                || c == QLatin1Char('^')))
            out += QLatin1Char('^');
        out += c;
    }
    return out;
}

QStringList JoinCopyLines(const QStringList& quotedEntries, const QString& quotedTarget)
{
    QStringList lines;
    const QString tail = QLatin1Char(' ') + quotedTarget;
    const QString plus = QStringLiteral(" + ");
    QString line;
    for (const QString& entry : quotedEntries) {
        // The first line creates the joined file; every later one appends to it.
        if (!line.isEmpty() && line.size() + plus.size() + entry.size() + tail.size() <= kBatchLineMax) {
            line += plus + entry;
            continue;
        }
        if (!line.isEmpty())
            lines << line + tail;
        line = QStringLiteral("Copy/b ") + (lines.isEmpty() && line.isEmpty() ? entry : quotedTarget + plus + entry);
    }
    if (!line.isEmpty() || lines.isEmpty())
        lines << (line.isEmpty() ? QStringLiteral("Copy/b ") : line) + tail;
    return lines;
}

QStringList JoinBatchLines(const QStringList& stampLines, const JoinList& list, const QString& name,
                           const QString& extension)
{
    const QString joined = joinedName(name, extension);
    QStringList lines;
    lines << QStringLiteral("@echo off");
    qsizetype width = 0;
    for (const QString& item : stampLines) {
        // Every item is "@echo " or "@echo." and the stamp text, which is echoed, never run.
        lines << item.left(6) + BatchEcho(item.mid(6));
        width = std::max(width, item.size() - 6);
    }
    lines << QStringLiteral("@echo ") + QString(width, QLatin1Char('-'));
    QStringList quotedEntries;
    for (const QString& entry : list.entries) {
        lines << QStringLiteral("If NOT exist ") + quoted(BatchPercent(entry)) + QStringLiteral(" Goto 0");
        quotedEntries << quoted(BatchPercent(entry));
    }
    const QString target = quoted(BatchPercent(joined));
    for (const QString& copy : JoinCopyLines(quotedEntries, target))
        lines << copy << QStringLiteral("If errorlevel 1 Goto 2");
    const QString failed = QStringLiteral("@echo ") + BatchEcho(joined + QStringLiteral(" NOT successfully created."));
    lines << QStringLiteral("goto 1") << QStringLiteral(":0") << QStringLiteral("Cls")
          << QStringLiteral("@echo Some required file(s) not found.") << failed
          << QStringLiteral("Exit")
          // A failed copy leaves the interpreter's own reason ("Disk full.") on the screen.
          << QStringLiteral(":2") << failed << QStringLiteral("Exit") << QStringLiteral(":1") << QStringLiteral("Cls")
          << QStringLiteral("@echo ") + BatchEcho(joined + QStringLiteral(" successfully created."))
          << QStringLiteral("Exit");
    // The interpreter reads the file in the console's code page: a name or stamp text outside
    // ASCII is found and shown only once the console reads UTF-8.
    const auto outsideAscii = [](const QString& line) {
        return std::any_of(line.cbegin(), line.cend(), [](QChar c) { return c.unicode() > 0x7F; });
    };
    const auto first = std::find_if(lines.cbegin(), lines.cend(), outsideAscii);
    if (first != lines.cend())
        lines.insert(first - lines.cbegin(), QStringLiteral("chcp 65001 >nul"));
    return lines;
}

QByteArray JoinBatchBytes(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + QByteArrayLiteral("\r\n");
    return bytes;
}

void WriteJoinBatchFile(const QString& path, const QStringList& lines, bool sync)
{
    const QByteArray bytes = JoinBatchBytes(lines);
    // A link at the name goes (the link itself), so that the batch file is made anew as a regular
    // file; an old batch file is emptied in place. The open never follows a link put there since.
    DeleteLinkAtOutput(path);
    const win::HANDLE h = win::CreateFileA(path, win::GENERIC_READ | win::GENERIC_WRITE, win::FILE_SHARE_READ,
                                           win::CREATE_ALWAYS);
    if (h == win::INVALID_HANDLE_VALUE)
        raiseError(errnoToErrorNumber(win::GetLastError(), true));
    std::uint32_t written = 0;
    const bool ok = win::WriteFile(h, bytes.constData(), std::uint32_t(bytes.size()), &written);
    const int writeError = win::GetLastError();
    const bool there = win::IsOpenFileAtPath(h, path);
    const bool synced = !ok || !there || !sync || win::FlushFileBuffers(h);
    const bool closed = win::CloseHandle(h);
    if (!ok)
        raiseError(errnoToErrorNumber(writeError));
    if (!there)
        raiseError(kErrOutputRemoved);
    if (!synced || !closed)
        raiseError(75);
}

} // namespace kivro
