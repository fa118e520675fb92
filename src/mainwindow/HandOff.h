#pragma once
// The command line the collector starts the main program with, and how it becomes pack-list
// entries.
//
// The collector starts the program with the full paths of the files it gathered joined by "|"
// (collection order, no quotes, no "|" at either end). The program reads the whole argument text:
// every argument, joined by single blanks, as the process received them. So a path with blanks
// arrives whole whether a shell split it into several arguments or not.
#include "engine/PackListModel.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace kivro {

// Cuts the next item off a separated list: returns the text before the first occurrence of the
// one-character `parser` and leaves in `startStrg` the text after it (the separator dropped).
// "a|b||" gives "a" and leaves "b||"; then "b", leaving "|"; then "", leaving "". A `parser`
// that is not exactly one character never matches. Without a match the whole text is the item
// and `startStrg` becomes empty.
QString StripItem(QString& startStrg, const QString& parser);

// The argument text of a program: the arguments after the program name joined by single blanks.
QString CommandLineText(const QStringList& arguments);

// The paths of a hand-off command line, in order. The list ends at its first empty item: two
// paths joined by "||" give only the first, and a text that begins with "|" gives none.
QStringList HandOffPaths(const QString& Command);

// The pack-list entry of one hand-off path: the folder is the text up to and including its last
// "/", the name the rest ("/a b/c d.mpg" gives "/a b/" and "c d.mpg"; a path without "/" gives
// an empty folder and the whole path as name).
PackListEntry HandOffEntry(const QString& path);

} // namespace kivro
