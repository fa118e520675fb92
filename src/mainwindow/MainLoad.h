#pragma once
// The parts of the main window's load that need no window: the caption, how stored numbers and
// folders are judged, the custom piece sizes, the file-type filter list with its repair, and
// the media-driver entries.
#include "engine/CustomSize.h"
#include "engine/SettingNames.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace kivro::MainLoad {

// "Tesma Kivro Pro v" + major + "." + minor and revision written one after the other
// (1, 0, 3 gives "Tesma Kivro Pro v1.03").
QString CaptionText(int major, int minor, int revision);

// A stored text that converts to a finite number in the user's locale (engine/CustomSize.h).
using CustomSizes::NumericSetting;

// X11 places windows at 16-bit pixel positions: a stored position (twips) is usable when it is
// numeric and within -491,505 to 491,505 twips (32,767 pixels of 15 twips each).
constexpr double kMostPositionTwips = 491505.0;
std::optional<double> StoredPosition(const QString& text);

// A stored folder exists when the text is not empty and names a folder (a file of that name
// does not count).
bool FolderExists(const QString& folder);

// The custom piece sizes of "sSize" and their companion values, read by the rule the
// preferences window shares (engine/CustomSize.h).
using CustomSizes::CompanionValueName;
using CustomSizes::CustomSize;
using CustomSizes::CustomSizeFor;
using CustomSizes::IsCustomSizeText;

// The file-type filter stage of the load over the settings store: a count that is empty or "0"
// shows the damage message and writes the defaults first; entries 1 to the count are read and
// gaps (description and pattern list both empty) are skipped. When a gap was found before a
// later entry, or the count text is not a plain number while a gap lowered it, the store is
// written again compactly (entries 1..N, NoOfFilter N), so every entry keeps being read and the
// n-th item of the type box is entry n. Otherwise NoOfFilter is written with the count text as
// the gap rule left it. Returns the shown form of every entry, in order.
QStringList LoadFileFilterList();

// The three media-driver entries of system.ini and their drivers, in the order they are set.
struct MciDriver {
    const char* entry;
    const char* driver;
};
inline constexpr MciDriver kMciDrivers[] = {
    {"MPEGVideo", "mciqtz.drv"},
    {"sequencer", "mciseq.drv"},
    {"avivideo", "mciavi.drv"},
};
// Writes every entry whose text differs from its driver (a missing entry reads "None").
void CorrectMciDrivers();

} // namespace kivro::MainLoad
