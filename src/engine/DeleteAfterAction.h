#pragma once
// Delete after action: after a successful pack or unpack the source files can go to the Trash,
// never deleted for good.
#include "engine/ActionOptions.h"

#include <QString>
#include <QStringList>

namespace kivro {

// Moves `files` into the Trash as `setting` says: No keeps them; NoPrompt moves them without a
// question; Prompt first asks one Yes/No question for all of them and moves none on No.
// `files` are the full paths of the files whose action succeeded, taken by the caller from the
// pack list as it was when the action started. A file listed twice counts once; a file that no
// longer exists is left out. A file that cannot be moved (open in this program, no Trash on its
// volume, a Trash that cannot be written, ...) stays where it is and is added to `kept` (when
// given), for the caller to report once its own success box is shown. Files kept because the
// user answered No are not added. Returns the number of files moved.
int DeleteFilesAfterAction(DeleteAfterAction setting, const QStringList& files, QStringList* kept = nullptr);

// The box that names the files the Trash could not take (none: no box): one full path a line,
// at most 20 of them, and a last line that counts the rest.
void ReportFilesKept(const QStringList& kept);

// The text of that box.
QString FilesKeptText(const QStringList& kept);

// Whether an action's new output replaces what stands at its name by deleting it first: a normal
// file, or a symbolic link of any kind (hidden or not, pointing to a file, a folder or nothing).
// Anything else (a folder, a hidden regular file, which the new output rewrites in place) stays.
bool IsOldOutput(const QString& path);

// Deletes, for good, the old output (save-as file, piece, archive) that an action's new one
// replaces, as IsOldOutput says; of a link only the link itself goes, never what it points to.
// Raises 64 for a name the file system cannot hold, 55 for a file this program has open, and
// the mapped errno when the system refuses the delete.
void DeleteOldOutput(const QString& path);

// Deletes a symbolic link that stands at an output's name (the link itself), so that the output
// is made anew as a regular file; anything else is left alone. Raises as DeleteOldOutput does.
void DeleteLinkAtOutput(const QString& path);

} // namespace kivro
