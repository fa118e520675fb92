#pragma once
// The copyright stamp: lines of the user's own that every join batch file echoes when it runs.
// They are kept in the stamp file cstmp.ctd in the per-user data folder, one stamp line per line
// of the file, and held by the main window's hidden list CopyrightStamping_lst as ready batch
// lines ("@echo " and the line, or "@echo." for a blank one).
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kivro {

class MainWindowLink;

// The one line a missing stamp file is created with (followed by CR LF).
inline const QString kDefaultCopyrightStamp = QStringLiteral("Files unpacked by Tesma Kivro Pro (r).");

// The stamp file's path: cstmp.ctd in the per-user data folder.
QString CopyrightStampFile();

// The batch line of one stamp line: "@echo." for a line that is empty or holds only spaces (a tab
// is content), otherwise "@echo " followed by the line exactly as it stands.
QString CopyrightStampLine(const QString& line);

// The lines of the stamp file's text (the local 8-bit encoding): split at every line break
// (CR LF, or CR or LF alone, so that no line can carry a break into a batch line); a last line
// without a break is a line too; an empty file has no lines.
QStringList CopyrightStampFileLines(const QByteArray& content);

// Refills the window's CopyrightStamping_lst from the stamp file, one batch line per line of the file, and
// returns the editor's text: the lines joined by CR LF, empty lines at the very start left out.
// A missing stamp file is first created with kDefaultCopyrightStamp and CR LF. Any other failure
// (the file cannot be read, or cannot be created) shows the shared unexpected-error text
// (critical, OK, top-most; answer in gMsgResult) and leaves the list as far as it was filled.
QString LoadCopyrightDataFromFile(MainWindowLink& form);

} // namespace kivro
