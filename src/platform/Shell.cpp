#include "platform/Shell.h"

#include "platform/MsgBox.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/RuntimeError.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDateTime>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>
#include <QWidget>

namespace kivro::win {

namespace {

// "https://...", "mailto:..." (a scheme of two or more characters, so that nothing that looks
// like a path is taken for a URL).
bool isUrl(const QString& target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return !target.startsWith(QLatin1Char('/')) && scheme.match(target).hasMatch();
}

QString dateText(const QDateTime& when)
{
    return QLocale().toString(when, QLocale::ShortFormat);
}

QString permissionText(const QFileInfo& info)
{
    const QFile::Permissions p = info.permissions();
    QString text = info.isDir() ? QStringLiteral("d") : QStringLiteral("-");
    const QFile::Permission bits[] = {QFile::ReadOwner, QFile::WriteOwner, QFile::ExeOwner,
                                      QFile::ReadGroup, QFile::WriteGroup, QFile::ExeGroup,
                                      QFile::ReadOther, QFile::WriteOther, QFile::ExeOther};
    const char letters[] = "rwxrwxrwx";
    for (int i = 0; i < 9; ++i)
        text += p.testFlag(bits[i]) ? QLatin1Char(letters[i]) : QLatin1Char('-');
    return text;
}

void showPropertiesBox(const QString& path)
{
    const QString text = FilePropertiesText(path);
    if (text.isEmpty())
        MsgBoxResult(QLatin1Char('\'') + path + QStringLiteral("' was not found!"), vbCritical | vbOKOnly | vbTopMost);
    else
        MsgBoxResult(text, vbInformation | vbOKOnly | vbTopMost);
}

} // namespace

int ShellExecute(const QString& target)
{
    QUrl url;
    if (isUrl(target)) {
        url = QUrl(target);
    } else {
        if (target.isEmpty() || !QFileInfo::exists(target))
            return SE_ERR_FNF;
        url = QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
    }
    return QDesktopServices::openUrl(url) ? SE_OPENED : SE_ERR_NOASSOC;
}

QString FilePropertiesText(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return QString();
    const qint64 size = info.isDir() ? 0 : info.size();
    QStringList lines;
    lines << QStringLiteral("Name: ") + info.fileName();
    lines << QStringLiteral("Folder: ") + info.absolutePath();
    lines << QStringLiteral("Type: ") + (info.isDir() ? QStringLiteral("Folder") : QStringLiteral("File"));
    if (!info.isDir())
        lines << QStringLiteral("Size: ") + (size == 0 ? QStringLiteral("0") : FormatThousands(size))
                     + QStringLiteral(" bytes");
    const QDateTime created = info.birthTime();
    if (created.isValid())
        lines << QStringLiteral("Created: ") + dateText(created);
    lines << QStringLiteral("Modified: ") + dateText(info.lastModified());
    lines << QStringLiteral("Accessed: ") + dateText(info.lastRead());
    lines << QStringLiteral("Permissions: ") + permissionText(info) + QStringLiteral(" (owner ") + info.owner()
                 + QStringLiteral(", group ") + info.group() + QLatin1Char(')');
    return lines.join(QLatin1Char('\n'));
}

void ShowItemProperties(const QString& path, QWidget* owner)
{
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        showPropertiesBox(path);
        return;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        showPropertiesBox(path);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItemProperties"));
    call << QStringList{QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded)}
         << QString(); // no start-up notification id
    // A file manager that is started for the call may take a moment; one that never answers
    // gets the box after ten seconds.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 10000), owner);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [watcher, path] {
        const bool failed = watcher->isError();
        watcher->deleteLater();
        if (failed)
            showPropertiesBox(path);
    });
}

QString FindProgram(const QString& name, const QString& ownFolder)
{
    const QFileInfo own(paths::joinPath(ownFolder, name));
    if (!ownFolder.isEmpty() && own.isFile() && own.isExecutable())
        return own.absoluteFilePath();
    return QStandardPaths::findExecutable(name);
}

void Shell(const QString& program, const QStringList& arguments)
{
    if (!QFileInfo::exists(program))
        raiseError(53);
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (!process.startDetached())
        raiseError(75, process.errorString());
}

} // namespace kivro::win
