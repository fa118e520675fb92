#pragma once
// The join batch file "<name>-JOIN.bat" that an unpack writes for each source: a Windows
// command-interpreter script that checks that every piece is there, glues the pieces back
// together with "Copy/b" and reports the result, echoing the user's copyright stamp first.
//
// Every line ends in CR LF and is written in UTF-8; a file whose names or stamp lines hold a
// character outside ASCII switches the console to UTF-8 ("chcp 65001 >nul") before the first
// line that holds one, and a file of ASCII only is left as it always was. Text that comes from the
// user (file names, stamp lines) is made safe for the interpreter: "%" is doubled everywhere, and
// in echoed text outside double quotes "^" goes before & | < > ^, so that it is shown as written
// instead of running as a command. Text without these characters is written unchanged.
#include "engine/ActionOptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kivro {

// The join list of one source, filled in piece order as each piece is named: the entries for the
// existence lines, and the copy text (" + " and the quoted entry, for every piece).
struct JoinList {
    QString copyText;
    QStringList entries;
    void add(const QString& entry);
    void clear();
};

// The entry of a piece: its bare file name (Plain) or its whole name as built (WithInfo).
QString JoinEntry(JoinBatch style, const QString& pieceName);

// The batch file of a source named `name` in `folder` (ending in "/"): beside the save-as file
// (the save-as text up to and including its last "/"), beside the source, or in the custom folder.
QString JoinBatchFileName(UnpackTarget target, const QString& saveAsText, const QString& folder, const QString& name,
                          const QString& customDir);

// The extension of the joined file: the text after the last "." of the archive name when the
// source was zipped first (`archiveName` not empty), else of `name`; the whole text without ".".
QString JoinExtension(const QString& name, const QString& archiveName = QString());

// False when the text holds a character no batch line can carry: a double quote, CR or LF.
bool BatchCanCarry(const QString& text);
// "%" doubled.
QString BatchPercent(const QString& text);
// Text to be echoed: "%" doubled, and "^" before & | < > ^ outside double quotes.
QString BatchEcho(const QString& text);

// The interpreter refuses a line of 8,191 characters or more.
inline constexpr qsizetype kBatchLineMax = 8190;

// The copy lines that join the quoted entries into the quoted target, each at most
// kBatchLineMax characters (one entry that alone is longer still gets its line): the first
// "Copy/b <e1> + <e2> ... <target>" creates the target, each next "Copy/b <target> + <ek> ...
// <target>" appends to it.
QStringList JoinCopyLines(const QStringList& quotedEntries, const QString& quotedTarget);

// The lines of the batch file, without line ends: "@echo off", the stamp lines, the line of
// hyphens as long as the longest stamp text (as the user wrote it), one existence line per piece
// entry, the copy lines into "<name>-JOIN.<X>", each followed by a jump to the failure ending
// when the copy failed, and the three endings (pieces missing, copy failed, success); the switch to UTF-8 before
// the first line outside ASCII.
QStringList JoinBatchLines(const QStringList& stampLines, const JoinList& list, const QString& name,
                           const QString& extension);

// The bytes of the file: every line followed by CR LF, in UTF-8.
QByteArray JoinBatchBytes(const QStringList& lines);

// Creates or empties `path` and writes `lines` (a symbolic link at `path` is deleted first, never
// written through: what it points to stays as it is); with `sync` set the file is written through to
// the disk before it is closed. A failure is raised with its error number (75 for a full disk or
// a file that cannot be written, and for any failure the sync or the close report;
// kErrOutputRemoved when the file was no longer at `path` before its close).
void WriteJoinBatchFile(const QString& path, const QStringList& lines, bool sync = false);

} // namespace kivro
