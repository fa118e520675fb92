#pragma once
// The pack-list file (.qvt): one full path a line, the entry's folder (ending in "/") directly
// followed by its name, in the file-system encoding (UTF-8, no byte-order mark), CR LF after
// every line, the last one included; no header, count or trailer.
#include "engine/PackListModel.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>
#include <functional>
#include <optional>

namespace kivro {

// The file's bytes for the list, in list order.
QByteArray PackListFileBytes(const PackListModel& list);

// The first full path of the list that holds a CR or LF (it cannot be written as one line).
std::optional<QString> PathWithLineBreak(const PackListModel& list);

// Cuts the bytes of a file, fed in pieces of any size, into lines: CR LF, a lone CR and a lone LF
// each end a line (files written on Linux end lines with LF alone); a last line without an end
// counts as a line. A line longer than the longest path the system takes (4,096 bytes) cannot
// name a file: it is passed over without being kept, so a huge file chosen by mistake costs no
// memory.
class PackListLineReader {
public:
    explicit PackListLineReader(std::function<void(const QByteArray& line)> line);
    void feed(const char* data, qsizetype size);
    // The end of the file: hands over a last line that has no line end.
    void finish();

private:
    void endLine();

    std::function<void(const QByteArray&)> m_line;
    QByteArray m_current;
    bool m_tooLong = false;
    bool m_afterCr = false;
    bool m_pending = false; // bytes of a line without its end yet
};

// The lines of a file's bytes, as PackListLineReader cuts them.
QList<QByteArray> PackListFileLines(const QByteArray& bytes);

// Whether the reader takes a line: it holds a "/" and names a normal file (paths::isNormalFile,
// the exact path); then the entry is the line split at its last "/" into the folder (with the
// "/") and the name.
std::optional<PackListEntry> PackListFileEntry(const QByteArray& line);

// The entries of a pack-list file in file order, every other line skipped; nothing when the
// path is not a regular file or cannot be read to its end.
std::optional<QVector<PackListEntry>> ReadPackListFile(const QString& path);

} // namespace kivro
