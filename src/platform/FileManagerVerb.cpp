#include "platform/FileManagerVerb.h"

#include "platform/Paths.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>

namespace kivro::FileManagerVerb {

namespace {

QString dataHome()
{
    const QByteArray v = qgetenv("XDG_DATA_HOME");
    if (!v.isEmpty() && v.startsWith('/'))
        return QString::fromLocal8Bit(v);
    return QDir::homePath() + QStringLiteral("/.local/share");
}

QString collectorPath(const QString& programFolder)
{
    return paths::joinPath(programFolder, QStringLiteral("brovlet"));
}

// A value of a desktop or key file: the string escapes of both formats (backslash, line
// breaks, tabs).
QString keyFileEscaped(const QString& value)
{
    QString out;
    out.reserve(value.size() + 8);
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Doubles every "%", which both the desktop Exec key and Nemo's Exec read as a field code.
QString percentsDoubled(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return out;
}

// True when `bytes` holds the marker as a line of its own.
bool hasMarkerLine(const QByteArray& bytes)
{
    const QByteArray marker = kVerbMarkerLine.toUtf8();
    for (const QByteArray& line : bytes.split('\n')) {
        if (line == marker || (line.endsWith('\r') && line.chopped(1) == marker))
            return true;
    }
    return false;
}

// Writes one file in whole or not at all. An existing file of that name that is not ours is
// left alone (false).
bool writeOne(const QString& path, const QByteArray& text, bool executable)
{
    QFileInfo existing(path);
    if (existing.exists() || existing.isSymLink()) {
        if (!existing.isFile() || existing.isSymLink() || !IsOurs(path))
            return false;
    }
    if (!QDir().mkpath(paths::folderOf(path)))
        return false;
    QFileDevice::Permissions perms = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                     | QFileDevice::ReadOther;
    if (executable)
        perms |= QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    return ReplaceFileWhole(path, text, perms);
}

} // namespace

QString ServiceMenuPath()
{
    return dataHome() + QStringLiteral("/kio/servicemenus/tesma-kivro-packit.desktop");
}

QString NautilusScriptPath()
{
    return dataHome() + QStringLiteral("/nautilus/scripts/") + kVerbCaption;
}

QString NemoActionPath()
{
    return dataHome() + QStringLiteral("/nemo/actions/tesma-kivro-packit.nemo_action");
}

QStringList VerbFilePaths()
{
    return {ServiceMenuPath(), NautilusScriptPath(), NemoActionPath()};
}

QString DesktopExecArgument(const QString& arg)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : arg) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    return keyFileEscaped(percentsDoubled(quoted));
}

QString ShellWord(const QString& arg)
{
    QString out = QStringLiteral("'");
    for (const QChar c : arg) {
        if (c == QLatin1Char('\''))
            out += QStringLiteral("'\\''");
        else
            out += c;
    }
    out += QLatin1Char('\'');
    return out;
}

QByteArray ServiceMenuText(const QString& programFolder)
{
    // Dolphin's service menus: a desktop file of type Service for the context menu of the
    // files whose type inherits application/octet-stream (every file). %F starts the command
    // once with every selected file, so a choice of hundreds of files is one collector, not
    // hundreds started at once.
    QString t;
    t += QStringLiteral("[Desktop Entry]\n");
    t += kVerbMarkerLine + QLatin1Char('\n');
    t += QStringLiteral("Type=Service\n");
    t += QStringLiteral("X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n");
    t += QStringLiteral("MimeType=application/octet-stream;\n");
    t += QStringLiteral("Actions=packIt;\n");
    t += QStringLiteral("\n");
    t += QStringLiteral("[Desktop Action packIt]\n");
    t += QStringLiteral("Name=") + kVerbCaption + QLatin1Char('\n');
    t += QStringLiteral("Exec=") + DesktopExecArgument(collectorPath(programFolder)) + QStringLiteral(" --each %F\n");
    return t.toUtf8();
}

QByteArray NautilusScriptText(const QString& programFolder)
{
    // Nautilus runs a script of its scripts folder with the selected files as arguments, as
    // names relative to the folder it shows (its working folder); the collector wants full
    // paths.
    QString t;
    t += QStringLiteral("#!/bin/sh\n");
    t += kVerbMarkerLine + QLatin1Char('\n');
    t += QStringLiteral("# Hands every selected file, as a full path, to the Tesma Kivro collector.\n");
    t += QStringLiteral("n=$#\n");
    t += QStringLiteral("while [ \"$n\" -gt 0 ]; do\n");
    t += QStringLiteral("    f=$1\n");
    t += QStringLiteral("    shift\n");
    t += QStringLiteral("    case $f in\n");
    t += QStringLiteral("    /*) ;;\n");
    t += QStringLiteral("    *) f=$PWD/$f ;;\n");
    t += QStringLiteral("    esac\n");
    t += QStringLiteral("    set -- \"$@\" \"$f\"\n");
    t += QStringLiteral("    n=$((n - 1))\n");
    t += QStringLiteral("done\n");
    t += QStringLiteral("exec ") + ShellWord(collectorPath(programFolder)) + QStringLiteral(" --each \"$@\"\n");
    return t.toUtf8();
}

QByteArray NemoActionText(const QString& programFolder)
{
    // Nemo splits Exec by shell rules after putting the selected paths in place of %F.
    QString t;
    t += QStringLiteral("[Nemo Action]\n");
    t += kVerbMarkerLine + QLatin1Char('\n');
    t += QStringLiteral("Active=true\n");
    t += QStringLiteral("Name=") + kVerbCaption + QLatin1Char('\n');
    t += QStringLiteral("Comment=Pack the selected files with Tesma Kivro Pro\n");
    t += QStringLiteral("Exec=") + keyFileEscaped(percentsDoubled(ShellWord(collectorPath(programFolder))))
         + QStringLiteral(" --each %F\n");
    t += QStringLiteral("Selection=notnone\n");
    t += QStringLiteral("Extensions=nodirs;\n");
    return t.toUtf8();
}

bool IsOurs(const QString& path)
{
    QFileInfo info(path);
    if (!info.isFile() || info.isSymLink())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Our files are small; a large file of that name is not ours.
    const QByteArray head = file.read(64 * 1024);
    return hasMarkerLine(head);
}

bool Install(const QString& programFolder)
{
    bool ok = writeOne(ServiceMenuPath(), ServiceMenuText(programFolder), true);
    ok = writeOne(NautilusScriptPath(), NautilusScriptText(programFolder), true) && ok;
    ok = writeOne(NemoActionPath(), NemoActionText(programFolder), false) && ok;
    return ok;
}

void Remove()
{
    for (const QString& path : VerbFilePaths()) {
        if (IsOurs(path))
            QFile::remove(path);
    }
}

} // namespace kivro::FileManagerVerb
