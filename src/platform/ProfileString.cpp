#include "platform/ProfileString.h"
#include "platform/WholeFile.h"

#include <QFile>
#include <QStringList>

namespace kivro::win {

namespace {

// The section name of a "[name]" line, or nothing.
bool sectionName(const QString& line, QString* name)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return false;
    *name = t.mid(1, close - 1).trimmed();
    return true;
}

// The key and value of a "key=value" line, or nothing.
bool keyValue(const QString& line, QString* key, QString* value)
{
    if (line.trimmed().startsWith(QLatin1Char(';')))
        return false;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    *key = line.left(eq).trimmed();
    QString v = line.mid(eq + 1).trimmed();
    if (v.size() >= 2 && v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"')))
        v = v.mid(1, v.size() - 2);
    *value = v;
    return true;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QStringList readLines(const QString& fileName, bool* exists)
{
    QFile file(fileName);
    *exists = file.open(QIODevice::ReadOnly);
    if (!*exists)
        return {};
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

std::uint32_t GetPrivateProfileStringA(const QString& section, const QString& key, const QString& defaultValue,
                                       QString* returned, std::uint32_t size, const QString& fileName)
{
    QString result = defaultValue;
    bool exists = false;
    const QStringList lines = readLines(fileName, &exists);
    bool inSection = false;
    for (const QString& line : lines) {
        QString name;
        if (sectionName(line, &name)) {
            inSection = sameName(name, section);
            continue;
        }
        QString k, v;
        if (inSection && keyValue(line, &k, &v) && sameName(k, key)) {
            result = v;
            break;
        }
    }
    if (size == 0)
        result.clear();
    else if (result.size() > qsizetype(size) - 1)
        result.truncate(qsizetype(size) - 1);
    if (returned)
        *returned = result;
    return std::uint32_t(result.size());
}

bool WritePrivateProfileStringA(const QString& section, const QString& key, const QString& value,
                                const QString& fileName)
{
    if (section.isEmpty() || key.isEmpty() || key.contains(QLatin1Char('=')) || key.contains(QLatin1Char('\n'))
        || value.contains(QLatin1Char('\n')))
        return false;
    bool exists = false;
    QStringList lines = readLines(fileName, &exists);
    if (!exists && QFile::exists(fileName))
        return false; // there, but unreadable: never replace what cannot be read
    const QString newLine = key + QLatin1Char('=') + value;

    qsizetype sectionStart = -1; // index of the section's header
    qsizetype insertAt = -1;     // after the last key line of the section
    bool done = false;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size() && !done; ++i) {
        QString name;
        if (sectionName(lines.at(i), &name)) {
            if (inSection)
                break; // the section ended without the key
            inSection = sameName(name, section);
            if (inSection) {
                sectionStart = i;
                insertAt = i + 1;
            }
            continue;
        }
        QString k, v;
        if (!inSection || !keyValue(lines.at(i), &k, &v))
            continue;
        if (sameName(k, key)) {
            lines[i] = newLine;
            done = true;
        } else {
            insertAt = i + 1;
        }
    }
    if (!done) {
        if (sectionStart < 0) {
            lines << QLatin1Char('[') + section + QLatin1Char(']') << newLine;
        } else {
            lines.insert(insertAt, newLine);
        }
    }

    return ReplaceFileWhole(fileName, (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
}

} // namespace kivro::win
