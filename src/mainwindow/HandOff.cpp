#include "mainwindow/HandOff.h"

#include "engine/StringHelpers.h"

namespace kivro {

QString StripItem(QString& startStrg, const QString& parser)
{
    const qsizetype i = parser.size() == 1 ? startStrg.indexOf(parser.at(0)) : -1;
    if (i < 0) {
        QString all = startStrg;
        startStrg.clear();
        return all;
    }
    const QString item = startStrg.left(i);
    startStrg = startStrg.mid(i + 1);
    return item;
}

QString CommandLineText(const QStringList& arguments)
{
    return arguments.join(QLatin1Char(' '));
}

QStringList HandOffPaths(const QString& Command)
{
    // The items StripItem would cut off Command + "||" one after the other, up to the first
    // empty one; found by position, so a long line is read once instead of being copied for
    // every item.
    QStringList items;
    qsizetype start = 0;
    while (start < Command.size()) {
        qsizetype end = Command.indexOf(QLatin1Char('|'), start);
        if (end < 0)
            end = Command.size();
        if (end == start)
            break;
        items << Command.mid(start, end - start);
        start = end + 1;
    }
    return items;
}

PackListEntry HandOffEntry(const QString& path)
{
    const std::int32_t k = LastInStr(path, QStringLiteral("/"));
    return PackListEntry{path.left(k), path.mid(k)};
}

} // namespace kivro
