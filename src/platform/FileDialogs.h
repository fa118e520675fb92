#pragma once
// The common open and save dialogs and the folder browser, over a non-native QFileDialog (the
// same look and behaviour everywhere, and reachable by tests).
//
// Scripted mode (Prompts: in-process scripting or KIVRO_TEST_ANSWERS): nothing is shown. Each
// dialog takes the next answer line: a path confirms the dialog with that path, and also counts
// as the answer "Yes" to the dialog's own replace and create questions; an empty line cancels;
// when no line is left the dialog is cancelled. A button name (OK, Cancel, Yes, No, Retry, Abort,
// Ignore) is an answer of the wrong kind: it is logged as an error and ends a real program (a test
// in the same process sees a cancel). Each dialog is recorded as "dialog|<title>|<answer>" (an
// empty answer for a cancel); a save dialog whose path would have raised its replace or create
// question adds a fourth field, "replace confirmed" or "create confirmed".
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

class QWidget;

namespace kivro::win {

// Flags of OPENFILENAME that the program uses.
constexpr std::uint32_t OFN_OVERWRITEPROMPT = 0x00000002u;
constexpr std::uint32_t OFN_HIDEREADONLY = 0x00000004u;
constexpr std::uint32_t OFN_NOCHANGEDIR = 0x00000008u;
constexpr std::uint32_t OFN_PATHMUSTEXIST = 0x00000800u;
constexpr std::uint32_t OFN_FILEMUSTEXIST = 0x00001000u;
constexpr std::uint32_t OFN_CREATEPROMPT = 0x00002000u;
constexpr std::uint32_t OFN_NOTESTFILECREATE = 0x00010000u;
constexpr std::uint32_t OFN_EXPLORER = 0x00080000u;
constexpr std::uint32_t OFN_LONGNAMES = 0x00200000u;

struct OPENFILENAME {
    // The window that owns the dialog (may be null).
    QWidget* hwndOwner = nullptr;
    // Pairs of a description and its pattern list ("*.mpg;*.mpeg"), each text ended by a NUL
    // character; an empty description (two NULs in a row) ends the list.
    QString lpstrFilter;
    // 1-based index of the filter shown first; 0 shows the first.
    std::uint32_t nFilterIndex = 0;
    // Out: the full path of the chosen file, exactly as chosen (no length limit, no trimming).
    QString lpstrFile;
    // The folder shown first; empty: the folder of the last file chosen in any of these dialogs
    // during this run, else the current folder.
    QString lpstrInitialDir;
    // The dialog's title; empty: "Open" or "Save As".
    QString lpstrTitle;
    std::uint32_t Flags = 0;
    // Save dialog, present (even empty): a name typed without an extension takes the first
    // extension of the selected filter ("*.mpg;*.mpeg" gives ".mpg"; "*.*" gives none), else this
    // text. Absent, and in the open dialog: the name is taken as typed. The scripted mode takes
    // its answer line as the whole path.
    std::optional<QString> lpstrDefExt;
};

// The dialogs: true when the user confirmed a file (its path is in lpstrFile), false when the
// dialog was cancelled. The save dialog asks before replacing an existing file
// (OFN_OVERWRITEPROMPT, No the default answer) and before creating one that does not exist yet
// (OFN_CREATEPROMPT, Yes the default answer); with
// OFN_PATHMUSTEXIST it refuses a name in a folder that does not exist; the open dialog with
// OFN_FILEMUSTEXIST takes existing files only.
bool GetOpenFileNameA(OPENFILENAME& ofn);
bool GetSaveFileNameA(OPENFILENAME& ofn);

// The filters of lpstrFilter as QFileDialog name filters: each description is shown exactly as
// it stands and filters by its own patterns ("Mpeg (*.mpg,*.mpeg,*.mpe)" with "*.mpg;*.mpeg;*.mpe"
// becomes "Mpeg (*.mpg,*.mpeg,*.mpe) (*.mpg *.mpeg *.mpe)", shown with HideNameFilterDetails).
// "*.*" means every file, names without a dot included.
QStringList FileDialogNameFilters(const QString& filter);

// The extension a pattern list gives a typed name without one: the first pattern's, when it is
// "*.<ext>" with no wildcard in <ext> ("*.mpg;*.mpeg" gives "mpg"); otherwise none ("*.*", "*").
QString DefaultExtensionOf(const QString& patterns);

// Flags of the folder browser.
constexpr std::uint32_t BIF_RETURNONLYFSDIRS = 0x0001u;
constexpr std::uint32_t BIF_DONTGOBELOWDOMAIN = 0x0002u;

struct BROWSEINFO {
    QWidget* hwndOwner = nullptr;
    // The text that tells the user what to choose; also the dialog's title.
    QString lpszTitle;
    std::uint32_t ulFlags = 0;
};

// The folder browser: the chosen folder as the dialog gives it, or nothing when cancelled. It
// opens at the user's home folder with nothing chosen.
std::optional<QString> SHBrowseForFolder(const BROWSEINFO& bi);

} // namespace kivro::win
