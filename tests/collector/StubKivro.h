#pragma once
// A stub kivro for the collector's tests: each start writes its arguments to a file of its own
// in a calls folder, so that starts that overlap never mix their records.
#include "KivroTest.h"

#include "platform/FileManagerVerb.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

namespace stubkivro {

// Writes the stub as the executable `path`, recording into `callsDir`.
inline void write(const QString& path, const QString& callsDir)
{
    QDir().mkpath(callsDir);
    kivrotest::writeFile(path, "#!/bin/sh\n"
                               "t=$(mktemp "
                                   + QFile::encodeName(kivro::FileManagerVerb::ShellWord(callsDir))
                                   + "/.part.XXXXXX) || exit 1\n"
                                     "printf '%s\\n' \"$#\" \"$@\" > \"$t\"\n"
                                     "mv \"$t\" \"${t%/.part.*}/call.${t##*/.part.}\"\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// The arguments of every start recorded so far (one line each; the collector never hands over
// a line break).
inline QList<QStringList> calls(const QString& callsDir)
{
    QList<QStringList> out;
    for (const QString& name : QDir(callsDir).entryList({QStringLiteral("call.*")}, QDir::Files)) {
        QStringList lines
            = QString::fromUtf8(kivrotest::readFile(callsDir + QLatin1Char('/') + name)).split(QLatin1Char('\n'));
        lines.removeLast();
        const int count = lines.takeFirst().toInt();
        if (count != lines.size())
            qWarning("a start records %d arguments in %lld lines", count, lines.size());
        out << lines;
    }
    return out;
}

} // namespace stubkivro
