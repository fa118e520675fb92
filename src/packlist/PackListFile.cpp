#include "packlist/PackListFile.h"

#include "platform/Paths.h"

#include <QFile>

namespace kivro {

QByteArray PackListFileBytes(const PackListModel& list)
{
    QByteArray bytes;
    for (int i = 0; i < list.count(); ++i) {
        bytes += QFile::encodeName(list.fullPath(i));
        bytes += "\r\n";
    }
    return bytes;
}

std::optional<QString> PathWithLineBreak(const PackListModel& list)
{
    for (int i = 0; i < list.count(); ++i) {
        const QString path = list.fullPath(i);
        if (path.contains(QLatin1Char('\r')) || path.contains(QLatin1Char('\n')))
            return path;
    }
    return std::nullopt;
}

QList<QByteArray> PackListFileLines(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    for (qsizetype k = 0; k < size; ++k) {
        const char c = bytes.at(k);
        if (c != '\r' && c != '\n')
            continue;
        lines << bytes.mid(start, k - start);
        if (c == '\r' && k + 1 < size && bytes.at(k + 1) == '\n')
            ++k;
        start = k + 1;
    }
    if (start < size)
        lines << bytes.mid(start);
    return lines;
}

QVector<PackListEntry> PackListFileEntries(const QByteArray& bytes)
{
    QVector<PackListEntry> entries;
    for (const QByteArray& raw : PackListFileLines(bytes)) {
        const QString line = QFile::decodeName(raw);
        const qsizetype slash = line.lastIndexOf(QLatin1Char('/'));
        if (slash < 0 || !paths::isNormalFile(line))
            continue;
        entries.append(PackListEntry{line.left(slash + 1), line.mid(slash + 1)});
    }
    return entries;
}

} // namespace kivro
