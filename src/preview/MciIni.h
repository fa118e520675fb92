#pragma once
// The media-driver entries of the section MCI of system.ini. The file is the per-user
// system.ini of the program's data folder (GetWinPath), never a system file.
#include <QString>

namespace kivro {

// The per-user system.ini (empty when the data folder cannot be made).
QString MciIniPath();

// The entry's text (at most 254 characters), or "None" when it is missing. Reports nothing.
QString ReadMciIniEntry(const QString& entryName);

// Writes the entry. A failed write is not reported.
void WriteMciIniEntry(const QString& entryName, const QString& text);

} // namespace kivro
