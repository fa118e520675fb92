#pragma once
// Pack: joins the files of the pack list, in list order and byte for byte, into the save-as file.
// Nothing is added between the files. Before copying it checks the list (at least two files, none
// empty, none the save-as file itself), optionally checks that MPEG files agree in picture size
// and frame rate, checks the free space and applies the overwrite rule; after copying it can zip
// the output, sends the sources to the Trash when the delete-after-action choice asks for it, and
// reports the total size.
//
// The run works on a snapshot taken when it starts: the pack list, the save-as text and the
// options that shape the output (block size, MPEG check, overwrite rule, zip). Menus, preferences
// or the pack-list window used while it copies cannot change what is copied, and only files of
// the snapshot can go to the Trash. The delete-after-action choice is read when the run reaches
// that step.
//
// Every read and every write is checked: the output holds exactly the joined bytes or the run
// ends with a message; a failed run never reports success and never touches the sources.

namespace kivro {

class ActionFrame;
class MainWindowLink;

// One press of Pack (the body of PackImg_Click): acts only when no run is busy and gActionArmed
// is set, and runs to its end on the calling (GUI) thread. The window is reached only through
// `link`; the busy state, progress, cancel and recovery through `frame`.
void RunPackAction(MainWindowLink& link, ActionFrame& frame);

} // namespace kivro
