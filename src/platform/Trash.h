#pragma once
// The freedesktop Trash: a file moved there can be restored by the desktop's file manager. There
// is no permanent delete here: a file that cannot be moved into a Trash folder stays where it is.
#include <QString>

namespace kivro::win {

// Moves one file (a full path) into the Trash of its file system: the home Trash
// ($XDG_DATA_HOME/Trash) for files on the home file system, that volume's .Trash/<uid> or
// .Trash-<uid> for others. True only when the file has left its folder and sits in the "files"
// folder of a Trash with its information file; `pathInTrash` then gets its new path.
// Refused (false, the file stays), always without delay: a relative path, a missing file, a
// folder, a file that is open in this process, a volume whose Trash cannot be made, a Trash whose
// "info" or "files" folder cannot be written, a name too long for the Trash.
bool MoveFileToTrash(const QString& path, QString* pathInTrash = nullptr);

// The home Trash folder ($XDG_DATA_HOME/Trash, else ~/.local/share/Trash).
QString HomeTrashDir();

// Test seam: the step of a move into the Trash that fails with errno `err` (0: none), as when
// the Trash's "info" or "files" folder cannot be written.
enum class TrashStep { InfoFile, Move };
void InjectTrashFault(TrashStep step, int err);

} // namespace kivro::win
