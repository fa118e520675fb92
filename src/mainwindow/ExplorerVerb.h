#pragma once
// The "Pack it..." verb switch: the menu item AddContextMenuMnu and the setting CKivro, over the
// per-user file-manager integration files (platform/FileManagerVerb.h).
#include <QString>

class QAction;

namespace kivro::ExplorerVerb {

// The message shown when the menu switches the verb on and its files cannot be written.
inline const QString kVerbNotWrittenText = QStringLiteral(
    "The \"Pack it...\" entries for the file manager could not be written.");

// The menu item's click. Checked: unchecks it, writes CKivro "Off" and removes the verb's files.
// Unchecked: writes the files with the program folder (gAppPath); when they are written, checks
// the item and writes CKivro "On"; when not, shows kVerbNotWrittenText (exclamation, OK, answer
// in gMsgResult), removes what was written, leaves the item unchecked and writes CKivro "Off".
void AddContextMenuMnu_Click(QAction& AddContextMenuMnu);

// The verb set rather than toggled (the preferences window's OK): off as a click on a checked
// item, on as a click on an unchecked one, whatever the mark was.
void SetChoice(QAction& AddContextMenuMnu, bool on);

// The load's CKivro step: "On" checks the item, writes "On" and writes the files again with the
// program folder of this run (a failure stays silent); any other text unchecks it, writes "Off"
// and removes the files.
void ApplyStoredChoice(QAction& AddContextMenuMnu);

} // namespace kivro::ExplorerVerb
