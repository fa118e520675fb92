#include "collector/Start.h"

#include "platform/FileApi.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"
#include "platform/RuntimeError.h"

#include <QFile>
#include <QStringDecoder>

#include <cstdio>

namespace kivro::collector {

namespace {

QString listNotWrittenText(const QString& listFile, const QString& reason)
{
    return QStringLiteral("The list of chosen files '%1' could not be written (%2). Packing aborted!")
        .arg(listFile, reason);
}

[[noreturn]] void raiseFileError(int err, bool creating)
{
    raiseError(errnoToErrorNumber(err, creating), qt_error_string(err));
}

// Appends one line per entry, each ended by CR LF, in one write. A write or close that fails
// takes back whatever part of it reached the file, so no partial line is ever read.
void appendLines(const QString& file, const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += QFile::encodeName(line) + "\r\n";
    const win::HANDLE h = win::CreateFileA(file, win::GENERIC_WRITE, win::FILE_SHARE_READ, win::OPEN_ALWAYS);
    if (h == win::INVALID_HANDLE_VALUE)
        raiseFileError(win::GetLastError(), true);
    std::int32_t high = 0;
    win::SetFilePointer(h, 0, &high, win::FILE_END);
    const std::int64_t end = win::FilePosition(h);
    std::uint32_t written = 0;
    if (end < 0 || !win::WriteFile(h, bytes.constData(), std::uint32_t(bytes.size()), &written)) {
        const int err = win::GetLastError();
        if (end >= 0 && win::SeekHandle(h, end))
            win::SetEndOfFile(h);
        win::CloseHandle(h);
        raiseFileError(err, false);
    }
    if (!win::CloseHandle(h)) {
        const int err = win::GetLastError();
        const win::HANDLE again = win::CreateFileA(file, win::GENERIC_WRITE, win::FILE_SHARE_READ, win::OPEN_EXISTING);
        if (again != win::INVALID_HANDLE_VALUE) {
            if (win::SeekHandle(again, end))
                win::SetEndOfFile(again);
            win::CloseHandle(again);
        }
        raiseFileError(err, false);
    }
}

void writeError(const QString& text)
{
    std::fprintf(stderr, "brovlet: %s\n", text.toUtf8().constData());
}

} // namespace

QByteArray noDisplayLine(const QByteArray& path)
{
    return "brovlet: no display could be opened; '" + path + "' was not handed over.\n";
}

QString decodePath(const QByteArray& raw, bool* validUtf8)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString path = utf8(raw);
    *validUtf8 = !utf8.hasError();
    return path;
}

QString unfitReason(const QString& path, bool validUtf8)
{
    if (!validUtf8)
        return QStringLiteral("bytes that are not UTF-8");
    if (path.contains(QLatin1Char('|')))
        return QStringLiteral("\"|\"");
    if (path.contains(QLatin1Char('\r')) || path.contains(QLatin1Char('\n')))
        return QStringLiteral("a line break");
    return QString();
}

void KillTmpFile(const QString& Thefile)
{
    if (!paths::isNormalFile(Thefile))
        return;
    QFile file(Thefile);
    if (!file.remove())
        raiseError(75, file.errorString());
}

void Start::tell(const QString& text, int style)
{
    if (Prompts::scripted() || (openDisplay && openDisplay()))
        MsgBox(text, style | vbOKOnly, kCollectorTitle);
    else
        writeError(text);
}

void Start::abortWith(const QString& text)
{
    collectorLock.unlock();
    listLock.unlock();
    tell(text, vbCritical);
    endProgram(1);
}

QList<QByteArray> Start::linesOf(const QList<QByteArray>& arguments)
{
    QList<QByteArray> lines;
    if (!arguments.isEmpty() && arguments.first() == "--each") {
        for (const QByteArray& path : arguments.mid(1))
            if (!path.isEmpty())
                lines << path;
    } else {
        const QByteArray command = QByteArray(arguments.join(' '));
        if (!command.isEmpty())
            lines << command;
    }
    return lines;
}

Start::Outcome Start::run(const QList<QByteArray>& arguments)
{
    const QList<QByteArray> lines = linesOf(arguments);
    if (lines.isEmpty()) {
        endProgram(0);
        return Outcome::Ended;
    }

    // A path kivro would take for another is left out, with a word to the user; the other files
    // of the choice go on. The boxes come before the locks, which no box may hold up.
    QStringList fit;
    for (const QByteArray& raw : lines) {
        bool validUtf8 = false;
        const QString path = decodePath(raw, &validUtf8);
        const QString why = unfitReason(path, validUtf8);
        if (why.isEmpty()) {
            fit << path;
            continue;
        }
        tell(QStringLiteral("The file '%1' was skipped: its path holds %2, which cannot be handed over to "
                            "Tesma Kivro Pro.")
                 .arg(path, why),
             vbExclamation);
    }
    if (fit.isEmpty()) {
        endProgram(0);
        return Outcome::Ended;
    }

    const QString folder = paths::runtimeDir();
    listFile = paths::joinPath(folder, kListName);
    switch (paths::prepareRuntimeFolder(folder)) {
    case paths::RuntimeFolderState::Ready:
        break;
    case paths::RuntimeFolderState::CannotMake:
        abortWith(listNotWrittenText(listFile, QStringLiteral("its folder cannot be made")));
        return Outcome::Ended;
    case paths::RuntimeFolderState::Unsafe:
        abortWith(
            paths::unsafeRuntimeFolderText(folder, QStringLiteral("the chosen files cannot be collected safely.")));
        return Outcome::Ended;
    }
    if (!takeLocks())
        return Outcome::Ended;

    const bool first = collectorLock.isLocked();
    // The first copy shows a window while it waits and then starts kivro: without a display it
    // would take the paths of the whole choice down with it. It gives up before it adds its own,
    // so the next copy collects.
    if (first && !openDisplay()) {
        collectorLock.unlock();
        listLock.unlock();
        for (const QString& path : std::as_const(fit))
            std::fputs(noDisplayLine(QFile::encodeName(path)).constData(), stderr);
        endProgram(1);
        return Outcome::Ended;
    }
    try {
        if (first)
            KillTmpFile(listFile); // left by an interrupted run
        appendLines(listFile, fit);
    } catch (const RuntimeError& e) {
        abortWith(listNotWrittenText(listFile, e.description()));
        return Outcome::Ended;
    }
    listLock.unlock();
    if (!first) {
        endProgram(0);
        return Outcome::Ended;
    }
    return Outcome::Collect;
}

// Opens both lock files and takes the list lock, then the collector's lock when it is free.
// False after the abort when a lock cannot be had.
bool Start::takeLocks()
{
    if (!listLock.open(listFile + QStringLiteral(".lock"))) {
        abortWith(listNotWrittenText(listFile, listLock.errorString()));
        return false;
    }
    if (!collectorLock.open(paths::joinPath(paths::folderOf(listFile), QStringLiteral("brovlet.lock")))) {
        abortWith(listNotWrittenText(listFile, collectorLock.errorString()));
        return false;
    }
    if (!listLock.lock()) {
        abortWith(listNotWrittenText(listFile, listLock.errorString()));
        return false;
    }
    if (!collectorLock.tryLock() && !collectorLock.heldElsewhere()) {
        // Without the lock's answer a path could go to a list that nobody collects.
        abortWith(listNotWrittenText(listFile, collectorLock.errorString()));
        return false;
    }
    return true;
}

} // namespace kivro::collector
