#include "packlist/PackListFile.h"

#include "platform/Paths.h"
#include "platform/WholeFile.h"

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

namespace {
// PATH_MAX: no longer path names a file.
constexpr qsizetype kLongestPath = 4096;
} // namespace

PackListLineReader::PackListLineReader(std::function<void(const QByteArray& line)> line) : m_line(std::move(line))
{}

void PackListLineReader::endLine()
{
    if (!m_tooLong)
        m_line(m_current);
    m_current.clear();
    m_tooLong = false;
    m_pending = false;
}

void PackListLineReader::feed(const char* data, qsizetype size)
{
    qsizetype start = 0;
    for (qsizetype k = 0; k < size; ++k) {
        const char c = data[k];
        if (c == '\n' && m_afterCr) {
            // The LF of a CR LF whose CR ended the line already.
            m_afterCr = false;
            start = k + 1;
            continue;
        }
        m_afterCr = false;
        if (c != '\r' && c != '\n')
            continue;
        if (!m_tooLong) {
            m_current.append(data + start, k - start);
            m_tooLong = m_current.size() > kLongestPath;
        }
        endLine();
        m_afterCr = c == '\r';
        start = k + 1;
    }
    if (start < size) {
        m_pending = true;
        if (!m_tooLong) {
            m_current.append(data + start, size - start);
            if (m_current.size() > kLongestPath) {
                m_tooLong = true;
                m_current.clear();
            }
        }
    }
}

void PackListLineReader::finish()
{
    if (m_pending)
        endLine();
    m_afterCr = false;
}

QList<QByteArray> PackListFileLines(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    PackListLineReader reader([&lines](const QByteArray& line) { lines << line; });
    reader.feed(bytes.constData(), bytes.size());
    reader.finish();
    return lines;
}

std::optional<PackListEntry> PackListFileEntry(const QByteArray& raw)
{
    const QString line = QFile::decodeName(raw);
    const qsizetype slash = line.lastIndexOf(QLatin1Char('/'));
    if (slash < 0 || !paths::isNormalFile(line))
        return std::nullopt;
    return PackListEntry{line.left(slash + 1), line.mid(slash + 1)};
}

std::optional<QVector<PackListEntry>> ReadPackListFile(const QString& path)
{
    QVector<PackListEntry> entries;
    PackListLineReader reader([&entries](const QByteArray& line) {
        if (std::optional<PackListEntry> entry = PackListFileEntry(line))
            entries.append(*entry);
    });
    if (!ReadRegularFile(path, [&reader](const char* data, qsizetype size) { reader.feed(data, size); }))
        return std::nullopt;
    reader.finish();
    return entries;
}

} // namespace kivro
