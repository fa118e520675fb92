#include "engine/DeleteAfterAction.h"

#include "platform/FileApi.h"
#include "platform/MsgBox.h"
#include "platform/RuntimeError.h"
#include "platform/Trash.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace kivro {

namespace {

bool exists(const QString& path)
{
    struct stat st {};
    return paths::lstatPath(path, &st);
}

QString confirmationText(const QStringList& files)
{
    if (files.size() == 1)
        return QStringLiteral("Are you sure you want to move '%1' to the Trash?").arg(files.first());
    return QStringLiteral("Are you sure you want to move these %1 items to the Trash?").arg(files.size());
}

} // namespace

int DeleteFilesAfterAction(DeleteAfterAction setting, const QStringList& files, QStringList* kept)
{
    if (setting == DeleteAfterAction::No)
        return 0;

    QStringList present;
    for (const QString& file : files) {
        const QString path = file.startsWith(QLatin1Char('/')) ? QDir::cleanPath(file) : file;
        if (!present.contains(path) && exists(path))
            present << path;
    }
    if (present.isEmpty())
        return 0;

    if (setting == DeleteAfterAction::Prompt
        && MsgBox(confirmationText(present), vbYesNo | vbQuestion | vbTopMost) != vbYes)
        return 0;

    int moved = 0;
    for (const QString& path : present) {
        if (win::MoveFileToTrash(path))
            ++moved;
        else if (kept)
            *kept << path;
    }
    return moved;
}

QString FilesKeptText(const QStringList& kept)
{
    constexpr int kListed = 20;
    QString text = QStringLiteral("These files could not be moved to the Trash and were kept:\n");
    for (const QString& path : kept.mid(0, kListed))
        text += QLatin1Char('\n') + path;
    if (kept.size() > kListed)
        text += QStringLiteral("\nand %1 more.").arg(kept.size() - kListed);
    return text;
}

void ReportFilesKept(const QStringList& kept)
{
    if (!kept.isEmpty())
        MsgBox(FilesKeptText(kept), vbInformation | vbOKOnly | vbTopMost);
}

namespace {

bool isLink(const QString& path)
{
    struct stat st {};
    return paths::lstatPath(path, &st) && S_ISLNK(st.st_mode);
}

void deleteOutput(const QString& path, bool (*replaced)(const QString&))
{
    if (paths::nameTooLong(path))
        raiseError(64);
    if (!replaced(path))
        return;
    if (win::IsFileOpenInProcess(path))
        raiseError(55);
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
        raiseError(errnoToErrorNumber(errno));
}

} // namespace

bool IsOldOutput(const QString& path)
{
    // isNormalFile follows links and passes over hidden names, as the readers of inputs want it;
    // a link at an output's name is replaced whatever it is called and wherever it points.
    return isLink(path) || paths::isNormalFile(path);
}

void DeleteOldOutput(const QString& path)
{
    deleteOutput(path, IsOldOutput);
}

void DeleteLinkAtOutput(const QString& path)
{
    deleteOutput(path, isLink);
}

} // namespace kivro
