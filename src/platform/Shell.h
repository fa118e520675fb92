#pragma once
// Handing a target to the desktop: opening a file with the program the desktop associates with
// it, a web page in the browser, a new mail in the mail program, and a file's properties window.
// Everything opens through QDesktopServices (xdg-open on an X11 desktop) and nothing waits for the
// program it starts.
#include <QString>
#include <QStringList>

class QWidget;

namespace kivro::win {

// Answers of ShellExecute, as the classic shell call gives them: above 32 the target was handed
// on; SE_ERR_FNF (2) a local file that does not exist; SE_ERR_NOASSOC (31) nothing on the desktop
// took it (no associated program, no browser, no mail program).
constexpr int SE_ERR_FNF = 2;
constexpr int SE_ERR_NOASSOC = 31;
constexpr int SE_OPENED = 42;

// Opens `target` with its default program. A target with a URL scheme ("https:", "mailto:") is
// opened as that URL; any other text is a local path, which is tested for existence first (a
// missing path answers SE_ERR_FNF and opens nothing).
int ShellExecute(const QString& target);

// What the information box of a file shows when no file manager shows its properties: name,
// folder, size ("#,###" bytes), the dates the file system keeps and the permissions with owner
// and group. Empty when the file cannot be looked up.
QString FilePropertiesText(const QString& path);

// The properties window of a file: the file manager's own (D-Bus
// org.freedesktop.FileManager1.ShowItemProperties on the session bus). When no file manager
// answers (no session bus, no such service, an error reply), a small information box with
// FilePropertiesText instead (a file that cannot be looked up: "'<path>' was not found!"). The
// call does not wait for the file manager; its answer, or the box, comes from the event loop.
// `owner` only parents the pending call (it is dropped when the owner goes).
void ShowItemProperties(const QString& path, QWidget* owner);

// The full path of the program `name` as a classic program search finds it: the executable file
// of that name in `ownFolder` (the calling program's folder, which Linux does not search by
// itself), else the first one on PATH. Empty when there is none.
QString FindProgram(const QString& name, const QString& ownFolder);

// Starts `program` (a full path) with `arguments`, each handed over as one argument exactly as
// given, and does not wait for it: it runs on after the caller ends. Raises run-time error 53
// when the file does not exist and 75, with the system's reason as description, when it cannot
// be started.
void Shell(const QString& program, const QStringList& arguments);

} // namespace kivro::win
