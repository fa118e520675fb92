#pragma once
// The collector brovlet: "Pack it..." in a file manager starts it with the chosen files, once with
// all of them or once for each. The first copy collects: it waits until the other copies have
// added their paths to a shared list file, then deletes the list and starts kivro once with all
// paths joined by "|". Every later copy only adds its paths and ends (collector/Start.h).
#include <QListWidget>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "collector/Start.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace kivro {

using collector::kCollectorTitle;
using collector::kMaxArgumentBytes;

// The collector's small waiting window.
class Form1 : public QWidget {
    Q_OBJECT
public:
    Form1();
    // The window of a first copy whose start (collector::Start::run) ran before the application
    // object existed; Collect() goes on from there.
    explicit Form1(std::unique_ptr<collector::Start> started);
    ~Form1() override;

    // The whole start, in a process whose display is open. `arguments` are the program's
    // arguments: one path, as the file managers pass it (several arguments are one command line
    // joined by blanks), or "--each" followed by paths, which are added in order as if one copy
    // had been started for each, one after the other.
    void Form_Load(const QStringList& arguments);
    // The first copy after its start: the window is shown in the middle of the screen and the
    // timer runs.
    void Collect();
    // One tick of the wait: read the list into the next snapshot; when two successive reads
    // agree on a number of lines other than 0, hand the paths over.
    void Timer1_Timer();
    // Adds the lines of the list file, in order, to `lst`. A list that cannot be read adds
    // nothing more.
    void LoadTmpFile(QListWidget* lst);
    // Deletes the file `Thefile` when it is a normal file. Raises a run-time error when the
    // deletion fails.
    void KillTmpFile(const QString& Thefile) { collector::KillTmpFile(Thefile); }
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

    // The start, which holds the collector's lock and the list lock.
    std::unique_ptr<collector::Start> m_start;
    // Reads done since the start, up to 2.
    int m_reads = 0;
};

} // namespace kivro
