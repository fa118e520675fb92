#pragma once
// The parts of the main window's load that need no window: the caption, how stored numbers and
// folders are judged, the custom piece sizes, the file-type filter list with its repair, and
// the media-driver entries.
#include "engine/SettingNames.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace kivro::MainLoad {

// "Tesma Kivro Pro v" + major + "." + minor and revision written one after the other
// (1, 0, 3 gives "Tesma Kivro Pro v1.03").
QString CaptionText(int major, int minor, int revision);

// A stored text that converts to a finite number in the user's locale (blanks around it
// allowed); nothing otherwise.
std::optional<double> NumericSetting(const QString& text);

// X11 places windows at 16-bit pixel positions: a stored position (twips) is usable when it is
// numeric and within -491,505 to 491,505 twips (32,767 pixels of 15 twips each).
constexpr double kMostPositionTwips = 491505.0;
std::optional<double> StoredPosition(const QString& text);

// A stored folder exists when the text is not empty and names a folder (a file of that name
// does not count).
bool FolderExists(const QString& folder);

// The custom piece sizes of "sSize" and their companion values.
struct CustomSize {
    enum class Mode { Size, First, Last, Percent, Files };
    Mode mode = Mode::Size;
    // The companion value's name: "cSize", "cPfs" or "cNof".
    QString companionName;
    std::int64_t unpackSize = 0;   // the size modes
    std::int32_t splitPercent = 0; // the percentage mode
    std::int32_t splitFiles = 0;   // the number-of-pieces mode
    // The caption of CustomSizeChk.
    QString caption;
    // When the companion value was not valid: the default that is written back (with the
    // sSize text itself).
    std::optional<QString> repairedCompanion;
};

// True for the five custom texts ("customfs", "customffs", "customlfs", "custompfs",
// "customnof").
bool IsCustomSizeText(const QString& sSize);

// The companion value of a custom sSize text: "cPfs", "cNof", else "cSize".
const Settings::StoredSetting& CompanionValueName(const QString& sSize);

// What a custom sSize text with the stored companion text gives. Valid means numeric and within
// the range (bounds included): 1 to 1,048,576,000 bytes, 1 to 99 percent, 2 to 99,999 pieces.
CustomSize CustomSizeFor(const QString& sSize, const QString& companionText);

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
