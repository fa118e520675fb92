#pragma once
// Shared state of the split and join engine.
#include <QString>
#include <QVector>
#include <cstdint>

namespace kivro {

// Every handle any File64 object has opened and not closed, in the order of opening (a failed
// open records -1 like any other handle).
extern QVector<std::int32_t> gOpenFileHandles;
// The number of entries of gOpenFileHandles.
extern std::int32_t gOpenFileCount;
// Left by File64::OpenFile: 0 after a successful open, 75 after a failed one, 999999999 after
// any other failure inside OpenFile.
extern std::int32_t gFileOpenError;

// A press of Pack or Unpack (picture, menu item or shortcut) arms its action; the action acts only
// while it is set. Cleared on every return to idle.
extern bool gActionArmed;
// A press of a Cancel picture; the Cancel click acts only while it is set. Cleared on every
// return to idle.
extern bool gCancelArmed;
// The file chosen last has MPEG information to show (MoreInfo_Cmd may be enabled).
extern bool gMpegInfoAvailable;

// MPEG checks of a pack (set to True, True and False by the pack before its checks):
// every checked file had the first file's signature; every checked file had a sequence header;
// the user chose to go on despite a file without one.
extern bool gMpegCompatible;
extern bool gMpegValid;
extern bool gIgnoreMpegErrors;
// The last duration text of the MPEG information ("hh:mm:ss:sixtieths").
extern QString gDurationText;

// The last text the zip library printed during the current zip run (emptied when a run starts).
// Defined with the zip module.
extern QString gZipMessage;

// Piece size and split mode of an unpack, set by the size menus and the custom size dialog.
// The piece size in bytes (in the percentage mode the percentage itself; the number-of-pieces
// and percentage modes of an unpack store the size they computed back into it).
extern std::int64_t gUnpackSize;
// The number of pieces and the percentage of the custom modes.
extern std::int32_t gSplitFiles;
extern std::int32_t gSplitPercent;
// At most one of the five is set; none set with a fixed size from the menus.
extern bool gSplitModeSize;
extern bool gSplitModeFiles;
extern bool gSplitModePercent;
extern bool gSplitModeFirst;
extern bool gSplitModeLast;

// The custom folders of the unpack-to, save-to and start-up choices, without a trailing "/"
// (the root is "/").
extern QString gUnpackCustomDir;
extern QString gSaveCustomDir;
extern QString gStartupCustomDir;

// A pack of this run wrote the file named in the save-as box, and no save-as file was chosen in
// the "Save Pack File As" dialog since: packing onto it again follows the overwrite rule.
extern bool gSaveAsFileSaved;

} // namespace kivro
