#pragma once
// The collector brovlet: "Pack it..." in a file manager starts one copy per chosen file, each
// with that file's path. The first copy collects: it waits until the other copies have added
// their paths to a shared list file, then deletes the list and starts kivro once with all paths
// joined by "|". Every later copy only adds its path and ends.
#include <QListWidget>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "platform/FileLock.h"

#include <cstdint>
#include <functional>

namespace kivro {

// The longest single argument Linux hands to a program, its terminating NUL included
// (MAX_ARG_STRLEN).
constexpr qsizetype kMaxArgumentBytes = 128 * 1024;

// The title of the collector's boxes.
inline const QString kCollectorTitle = QStringLiteral("Tesma Kivro");

// The collector's small waiting window.
class Form1 : public QWidget {
    Q_OBJECT
public:
    Form1();

    // The start. `arguments` are the program's arguments: one path, as the file managers pass
    // it (several arguments are one command line joined by blanks), or "--each" followed by
    // paths, which are added in order as if one copy had been started for each, one after the
    // other.
    void Form_Load(const QStringList& arguments);
    // One tick of the wait: read the list into the next snapshot; when two successive reads
    // agree on a number of lines other than 0, hand the paths over.
    void Timer1_Timer();
    // Adds the lines of the list file, in order, to `lst`. A list that cannot be read adds
    // nothing more.
    void LoadTmpFile(QListWidget* lst);
    // Deletes the file `Thefile` when it is a normal file. Raises a run-time error when the
    // deletion fails.
    void KillTmpFile(const QString& Thefile);
    // Ends the program with `status`.
    void Form_Unload(int status);

    QListWidget* List1 = nullptr;
    QListWidget* List2 = nullptr;
    QTimer* Timer1 = nullptr;

    // The program's own folder, where kivro is looked for first.
    QString getappath;
    // Which snapshot the next tick fills: 1 List1, 2 List2.
    std::int16_t addwhichlst = 0;
    // The list file the copies append to (brovlet.tmp in the runtime folder).
    QString CollectorListFile;

    // Ends the process; tests put a function of their own in its place.
    std::function<void(int status)> endProgram;

protected:
    // Closing the window unloads it, which ends the program.
    void closeEvent(QCloseEvent* event) override;

private:
    // Ends the program after a failure: gives up being the collector first, so that copies
    // started from now on collect for themselves, then shows the critical box.
    void abortWith(const QString& text);

    // Held by the collector from its start until its last read: other copies see it taken and
    // only append.
    win::FileLock m_collectorLock;
    // Held for the short steps that must not interleave between copies: the start's "first?
    // delete the stale list, append" and each read of the collector (the last one with the
    // deletion and giving up the collector's lock).
    win::FileLock m_listLock;
    // Reads done since the start, up to 2.
    int m_reads = 0;
};

} // namespace kivro
