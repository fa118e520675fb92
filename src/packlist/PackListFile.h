#pragma once
// The pack-list file (.qvt): one full path a line, the entry's folder (ending in "/") directly
// followed by its name, in the file-system encoding (UTF-8, no byte-order mark), CR LF after
// every line, the last one included; no header, count or trailer.
#include "engine/PackListModel.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>
#include <optional>

namespace kivro {

// The file's bytes for the list, in list order.
QByteArray PackListFileBytes(const PackListModel& list);

// The first full path of the list that holds a CR or LF (it cannot be written as one line).
std::optional<QString> PathWithLineBreak(const PackListModel& list);

// The lines of a file: CR LF, a lone CR and a lone LF each end a line (files written on Linux
// end lines with LF alone); a last line without an end counts as a line.
QList<QByteArray> PackListFileLines(const QByteArray& bytes);

// The entries a file's bytes give, in file order: a line is taken when it holds a "/" and names
// a normal file (paths::isNormalFile, the exact path), split at its last "/" into the folder
// (with the "/") and the name. Every other line is skipped and reading goes on.
QVector<PackListEntry> PackListFileEntries(const QByteArray& bytes);

} // namespace kivro
