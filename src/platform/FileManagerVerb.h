#pragma once
// The "Pack it..." entry of the desktop's file managers: per-user integration files that start
// the collector (brovlet) on the files a user chose.
//
//  - Dolphin (KDE service menu): $XDG_DATA_HOME/kio/servicemenus/tesma-kivro-packit.desktop
//  - Nautilus (script): $XDG_DATA_HOME/nautilus/scripts/Pack it...
//  - Nemo (action): $XDG_DATA_HOME/nemo/actions/tesma-kivro-packit.nemo_action
//    All three start one collector with every selected path: "brovlet --each <paths>", which
//    adds them in order as one copy per path would.
//
// Every file carries kVerbMarkerLine. Removing deletes only files that carry it, so a user's own
// file of the same name is never touched, and writing never replaces such a file either.
#include <QString>
#include <QStringList>

namespace kivro::FileManagerVerb {

// The line that marks a file as ours (a comment in all three formats).
inline const QString kVerbMarkerLine = QStringLiteral(
    "# X-Tesma-Kivro-Verb: written by Tesma Kivro Pro; switching \"Pack it...\" off removes this file");

// The caption of the entry in every file manager.
inline const QString kVerbCaption = QStringLiteral("Pack it...");

// The three files, in the order they are written: KDE service menu, Nautilus script, Nemo action.
QString ServiceMenuPath();
QString NautilusScriptPath();
QString NemoActionPath();
QStringList VerbFilePaths();

// The contents written for a program folder (without a trailing "/", except the root).
QByteArray ServiceMenuText(const QString& programFolder);
QByteArray NautilusScriptText(const QString& programFolder);
QByteArray NemoActionText(const QString& programFolder);

// Quoting of one argument, by the rules of each format.
// Desktop Entry Exec (KDE): in double quotes, with "\"", "`", "$" and "\\" escaped by a
// backslash, "%" doubled, then the value escaped as a desktop-file string (backslash doubled,
// line breaks and tabs as \n and \t).
QString DesktopExecArgument(const QString& arg);
// POSIX shell word (Nautilus script; Nemo's Exec, which is split by shell rules): single quotes,
// a "'" written '\''. For Nemo the value is also escaped as a key-file string and "%" doubled.
QString ShellWord(const QString& arg);

// Writes the three files for the program folder: each goes in whole or not at all (a file that
// cannot be written leaves the one before it in place). The service menu and the script get the
// executable bit, as their file managers require. A file of the same name without the marker
// line is left alone and counts as not written. True when all three were written.
bool Install(const QString& programFolder);

// Deletes those of the three files that carry the marker line. Missing files are no fault.
void Remove();

// True when the file at `path` exists and carries the marker line.
bool IsOurs(const QString& path);

} // namespace kivro::FileManagerVerb
