#pragma once
// Reading a file to its end and replacing a file in one piece: a text file the user keeps (a
// pack-list file) is either read whole or not at all, and replaced whole or not at all.
#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <functional>
#include <optional>

namespace kivro {

// Reads a regular file (links followed) from start to end, handing each piece read to `piece` in
// order. Anything that is not a regular file (a folder, a FIFO, a device) fails at once without
// blocking, as does a file that cannot be opened; a failed read ends the reading. True when the
// whole file was read.
bool ReadRegularFile(const QString& path, const std::function<void(const char* data, qsizetype size)>& piece);

// Replaces the contents of `path` with `bytes` (creates the file when it does not exist). The
// bytes go to a temporary file beside it, which is renamed over `path` only after every byte was
// written and flushed; on any failure (open, write, a file-size limit, a full disk, the rename)
// the old file stays exactly as it was, no temporary file is left behind, and the answer is
// false, with errno telling the cause where the system gave one. With `permissions` given, the
// new file gets them; without, those of a new file.
//
// A symbolic link at `path` is followed: the file it points to is replaced (the program's own
// files, whose folders a user may have linked elsewhere on purpose).
bool ReplaceFileWhole(const QString& path, const QByteArray& bytes,
                      std::optional<QFileDevice::Permissions> permissions = std::nullopt);

// As ReplaceFileWhole, for a file at a name the user chose: what stands at `path` is replaced by
// a regular file, a symbolic link there included (the link itself goes, whatever it points to,
// and nothing is written where it points). An old regular file's permissions are kept; a new
// file gets those of a new file.
bool ReplaceFileAtName(const QString& path, const QByteArray& bytes);

} // namespace kivro
