#pragma once
// The program's entry and the process-wide services of start-up and shutdown: the
// single-instance lock, the end of the process, and the last resort for run-time errors that
// no handler takes.
#include <QApplication>
#include <QString>

#include <functional>

namespace kivro::mMain {

// The program's entry: prepares the environment, creates the application, runs the start-up
// sequence of the start-up form and then the event loop. Returns the exit status.
int Main(int argc, char** argv);

// Raises the process's soft limit of open files to its hard limit: Unpack holds every listed
// source open at once, and the usual soft limit (1,024) would stop a long list at its first
// piece. Nothing changes when the limit cannot be raised.
void RaiseOpenFileLimit();

// Prepares the common controls. Qt needs no preparation, so this always succeeds.
bool InitCommonControlsVB();

// The program's command line as one text: the arguments joined by single blanks, as they were
// before Qt saw them (empty without arguments).
QString Command();

// The screen scale for a logical dpi given as text: the value of its leading number (0 when
// there is none); above 96, (value - 96) / 96 + 1, else 1.0.
float DpiScaleFromText(const QString& dpiText);

// The program folder as held in gAppPath: the folder without a trailing "/", except the root.
QString ProgramFolder(const QString& folder);

// The single-instance lock in the runtime folder. Taken when this process holds it (now or
// already); HeldElsewhere while another running copy holds it; UnsafeFolder when the runtime
// folder is a link, another user's or open to others (a lock there could be held by them for
// ever). A lock left by a copy that died is taken over.
enum class SingleInstance { Taken, HeldElsewhere, UnsafeFolder };
SingleInstance TakeSingleInstanceLock();
QString SingleInstanceLockPath();

// Ends the process at once with `status`: output flushed, the single-instance lock released,
// no window closed, nothing else saved. Tests can put a function of their own in its place.
[[noreturn]] void EndProcessNow(int status);
void EndProcess(int status);
void SetEndProcessForTests(std::function<void(int)> fn);

// The text of the box for a run-time error that nothing handled.
QString RuntimeErrorText(int number, const QString& description);

// Runs `fn`; a run-time error (or any other exception) that escapes it shows the critical box
// "Run-time error '<number>':", a blank line and the description, and ends the process with
// status 1.
int RunGuarded(const std::function<int()>& fn);

// The application: every event is delivered under RunGuarded.
class KivroApplication : public QApplication {
    Q_OBJECT
public:
    KivroApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Makes SIGTERM, SIGINT and SIGHUP a close asked by the system: the main window closes through
// its shutdown (settings saved, status 0). Needs the application object.
void InstallCloseRequestSignals();

} // namespace kivro::mMain
