#include "engine/DeleteAfterAction.h"

#include "platform/MsgBox.h"
#include "platform/Trash.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

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

int DeleteFilesAfterAction(DeleteAfterAction setting, const QStringList& files)
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
    for (const QString& path : present)
        if (win::MoveFileToTrash(path))
            ++moved;
    return moved;
}

} // namespace kivro
