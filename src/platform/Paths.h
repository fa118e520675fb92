#pragma once
// Where things live on Linux, and the one way to join and split paths.
#include <QString>

#include <sys/stat.h>

namespace kivro::paths {

// Joins a folder and a name with exactly one "/" between them ("/" + "x" gives "/x").
QString joinPath(const QString& folder, const QString& name);

// The folder of a path: the text before its last "/"; the folder of "/x" is "/".
// A path without "/" has the empty folder.
QString folderOf(const QString& path);

// The name of a path: the text after its last "/".
QString nameOf(const QString& path);

// The index in `path` of the "." that starts its file name's extension; -1 when the name has
// none. A "." counts only inside the file name and not as its first character: "/t/my.dir/out"
// and "/t/.hidden" have no extension, "/t/a.b.mpg" has "mpg", "/t/out." has the empty one.
qsizetype extensionDot(const QString& path);

// The extension of the path's file name without its "." (empty when it has none).
QString extensionOf(const QString& path);

// The per-user folder for files the program writes ($XDG_DATA_HOME/Tesma/Kivro), created on
// demand. Holds cstmp.ctd, system.ini and other writable files.
QString userDataDir();

// The folder that stands in for the system folder holding system.ini: the per-user data folder.
// The empty text when it cannot be made.
QString GetWinPath();

// The per-user runtime folder ($XDG_RUNTIME_DIR/tesma-kivro, else tesma-kivro-<uid> in the
// temporary folder). Holds the single-instance lock and the collector's list. Only the path:
// prepareRuntimeFolder() makes it and says whether it may be used.
QString runtimeDir();

enum class RuntimeFolderState {
    Ready,      // a real folder (not a link) of this user, mode exactly 0700
    CannotMake, // missing and could not be made
    Unsafe,     // there, but a link, another's, not a folder, or open to others
};

// Makes the runtime folder when it is missing (mode 0700, its parents as needed) and checks that
// it is safe to keep a lock and a list of paths in it: another local user who made it first could
// read those paths, plant paths of their own, or hold the lock for ever.
RuntimeFolderState prepareRuntimeFolder(const QString& folder);

// The text that tells why the runtime folder is refused, followed by `consequence`.
QString unsafeRuntimeFolderText(const QString& folder, const QString& consequence);

// The settings file ($XDG_CONFIG_HOME/Tesma/Kivro.ini).
QString settingsFile();

// The folder of the running executable (gAppPath's source).
QString programDir();

// stat(2) of a path, its links followed, with the name in the file system's encoding: true when
// it succeeds; false with errno set when it fails. A path the system cannot take as it stands
// (empty, or holding a NUL, which would end the C string early and name another file) fails
// with ENOENT.
bool statPath(const QString& path, struct stat* st);
// lstat(2) likewise: a link itself, not what it points to.
bool lstatPath(const QString& path, struct stat* st);

// True for an exact path (no wildcards) that is a regular file after following links and whose
// name does not start with "." (a hidden file), as the classic "normal file" test.
bool isNormalFile(const QString& path);

// True when the system refuses the path because a name in it, or the whole path, is too long
// for it (error 64, "Bad file name"): such a file can be neither found nor written.
bool nameTooLong(const QString& path);

// A file name as the system hands it over (bytes) in text. Bytes that are not valid UTF-8 cannot
// name a file through the program's text paths; each becomes a mark of its own (a lone surrogate,
// which no valid text holds), so that the name can be recognised and shown.
QString decodeFileName(const QByteArray& bytes);
// True when `name` holds such marks: the bytes it came from were not valid UTF-8.
bool hasInvalidBytes(const QString& name);
// The name to show: each mark becomes U+FFFD, the replacement character.
QString shownName(const QString& name);

} // namespace kivro::paths
