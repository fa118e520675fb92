#include "platform/Trash.h"

#include "platform/FileApi.h"
#include "platform/Paths.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace kivro::win {

namespace {

QString dataHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString canonicalFolder(const QString& path)
{
    return QFileInfo(path).canonicalFilePath();
}

// True when `filesFolder` is the "files" folder of a Trash that may hold `original`.
bool isTrashFilesFolder(const QString& filesFolder, const QString& original)
{
    const QString actual = canonicalFolder(filesFolder);
    if (actual.isEmpty())
        return false;
    const QString uid = QString::number(::getuid());
    const QString root = QStorageInfo(paths::folderOf(original)).rootPath();
    const QStringList trashes = {
        HomeTrashDir(),
        paths::joinPath(root, QStringLiteral(".Trash-") + uid),
        paths::joinPath(root, QStringLiteral(".Trash/") + uid),
    };
    for (const QString& trash : trashes) {
        const QString files = canonicalFolder(trash + QStringLiteral("/files"));
        if (!files.isEmpty() && files == actual)
            return true;
    }
    return false;
}

bool exists(const QString& path)
{
    struct stat st {};
    return paths::lstatPath(path, &st);
}

// Puts a file back that was "trashed" somewhere that is no Trash, and removes what was made for it.
void undoStrayMove(const QString& original, const QString& landed)
{
    if (!exists(original))
        ::rename(QFile::encodeName(landed).constData(), QFile::encodeName(original).constData());
    const QString top = paths::folderOf(paths::folderOf(landed));
    QFile::remove(top + QStringLiteral("/info/") + paths::nameOf(landed) + QStringLiteral(".trashinfo"));
    QDir(top).rmdir(QStringLiteral("files")); // only when empty
    QDir(top).rmdir(QStringLiteral("info"));
}

// Writes the original's location as the Trash's readers expect it: percent-encoded. The platform
// call writes the raw path, which a file manager would restore to the wrong place for a name
// with "%" in it, and a line break in a name would break the file.
void writeEncodedPath(const QString& infoFile, const QString& original)
{
    QFile in(infoFile);
    if (!in.open(QIODevice::ReadOnly))
        return;
    const QList<QByteArray> lines = in.readAll().split('\n');
    in.close();
    QByteArray out;
    bool pathWritten = false;
    for (const QByteArray& line : lines) {
        if (line.startsWith("Path=")) {
            if (!pathWritten)
                out += "Path=" + QFile::encodeName(original).toPercentEncoding("/") + '\n';
            pathWritten = true;
        } else if (line.startsWith("DeletionDate=") || line.startsWith('[')) {
            out += line + '\n';
        }
    }
    if (!pathWritten)
        return;
    // When it cannot be replaced, the file keeps the raw path, which still names the original.
    ReplaceFileWhole(infoFile, out);
}

} // namespace

QString HomeTrashDir()
{
    return paths::joinPath(dataHome(), QStringLiteral("Trash"));
}

bool MoveFileToTrash(const QString& path, QString* pathInTrash)
{
    if (pathInTrash)
        pathInTrash->clear();
    if (!path.startsWith(QLatin1Char('/')))
        return false;
    const QString original = QDir::cleanPath(path);
    struct stat st {};
    if (!paths::lstatPath(original, &st) || S_ISDIR(st.st_mode))
        return false;
    if (IsFileOpenInProcess(original))
        return false;

    // Without the data folder the trash call "succeeds" by moving the file into ./files of the
    // current folder: make it first, and check where the file landed all the same.
    const QString home = dataHome();
    if (home.isEmpty() || !QDir().mkpath(home))
        return false;

    QString landed;
    if (!QFile::moveToTrash(original, &landed))
        return false;
    if (landed.isEmpty() || exists(original) || !exists(landed)) {
        if (!landed.isEmpty() && exists(landed))
            undoStrayMove(original, landed);
        return false;
    }
    const QString filesFolder = paths::folderOf(landed);
    const QString info = paths::folderOf(filesFolder) + QStringLiteral("/info/") + paths::nameOf(landed)
                         + QStringLiteral(".trashinfo");
    if (!isTrashFilesFolder(filesFolder, original) || !QFileInfo::exists(info)) {
        undoStrayMove(original, landed);
        return false;
    }
    writeEncodedPath(info, original);
    if (pathInTrash)
        *pathInTrash = landed;
    return true;
}

} // namespace kivro::win
