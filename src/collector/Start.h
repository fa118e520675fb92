#pragma once
// The start of a collector copy, up to the point where the first copy waits: everything a later
// copy does. It runs before any application object exists, so a later copy, which only adds its
// paths to the list, never connects to the display: when a choice of hundreds of files starts
// hundreds of copies at once they would take every client slot of the X server.
#include "platform/FileLock.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace kivro::collector {

// The title of the collector's boxes.
inline const QString kCollectorTitle = QStringLiteral("Tesma Kivro");

// The name of the list file in the runtime folder.
inline const QString kListName = QStringLiteral("brovlet.tmp");

class Start {
public:
    enum class Outcome {
        Ended,   // endProgram was called (a later copy, nothing to do, or a failure)
        Collect, // the first copy: its paths are in the list and it holds the collector's lock
    };

    Start() = default;
    Start(const Start&) = delete;
    Start& operator=(const Start&) = delete;

    // Runs the start for the program's arguments as the process received them: one path (several
    // arguments are one command line joined by blanks) or "--each" followed by paths, added in
    // order as if one copy had been started for each.
    //
    // Paths kivro cannot take are skipped with a box. The first copy opens the display before it
    // adds its paths; when it cannot, it gives up being the collector, says so on standard error
    // and ends with status 1, so the next copy collects.
    Outcome run(const QList<QByteArray>& arguments);

    // The paths of the program's arguments, as run() reads them.
    static QList<QByteArray> linesOf(const QList<QByteArray>& arguments);

    // Shows a box, or writes its text to standard error when no display can be opened.
    void tell(const QString& text, int style);
    // Gives up both locks, tells `text` in a critical box and ends with status 1.
    void abortWith(const QString& text);

    // Opens the display (builds the application object) when that has not been done; false when
    // no display can be opened. The boxes of the scripted mode need none.
    std::function<bool()> openDisplay;
    // Ends the process; tests put a function of their own in its place.
    std::function<void(int status)> endProgram;

    // The list file the copies append to (brovlet.tmp in the runtime folder).
    QString listFile;
    // Held by the collector from its start until its last read: other copies see it taken and
    // only append.
    win::FileLock collectorLock;
    // Held for the short steps that must not interleave between copies: the start's "first?
    // delete the stale list, append" and each read of the collector (the last one with the
    // deletion and giving up the collector's lock).
    win::FileLock listLock;

private:
    bool takeLocks();
};

// Why kivro could not take `path`, or empty when it can: kivro splits its command line at every
// "|", the list holds one path a line, and a name that is not UTF-8 reaches kivro as another
// name.
QString unfitReason(const QString& path, bool validUtf8);

// Deletes the file `Thefile` when it is a normal file. Raises a run-time error when the deletion
// fails.
void KillTmpFile(const QString& Thefile);

// The longest single argument Linux hands to a program, its terminating NUL included
// (MAX_ARG_STRLEN).
constexpr qsizetype kMaxArgumentBytes = 128 * 1024;

// The line on standard error for a path that a first copy without a display did not hand over.
QByteArray noDisplayLine(const QByteArray& path);

// The path as a text, each byte that is not part of UTF-8 as U+FFFD; `validUtf8` says whether
// there was none.
QString decodePath(const QByteArray& raw, bool* validUtf8);

} // namespace kivro::collector
