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

// The per-user runtime folder ($XDG_RUNTIME_DIR/tesma-kivro, else a private temp folder),
// created on demand. Holds the single-instance lock and the collector's list.
QString runtimeDir();

// The settings file ($XDG_CONFIG_HOME/Tesma/Kivro.ini).
QString settingsFile();

// The folder of the running executable (gAppPath's source).
QString programDir();

// stat() of a path, following links. A path the system cannot take as it stands (empty, or
// holding a NUL, which would end the C string early and name another file) fails with ENOENT.
bool statPath(const QString& path, struct stat& st);

// True for an exact path (no wildcards) that is a regular file after following links and whose
// name does not start with "." (a hidden file), as the classic "normal file" test.
bool isNormalFile(const QString& path);

} // namespace kivro::paths
