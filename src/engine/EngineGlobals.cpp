#include "engine/EngineGlobals.h"

#include "engine/SettingNames.h"

namespace kivro {
QVector<std::int32_t> gOpenFileHandles;
std::int32_t gOpenFileCount = 0;
std::int32_t gFileOpenError = 0;
bool gActionArmed = false;
bool gCancelArmed = false;
bool gMpegInfoAvailable = false;

bool gMpegCompatible = false;
bool gMpegValid = false;
bool gIgnoreMpegErrors = false;
QString gDurationText;
// The size menu before the settings are read: "1,440K" checked.
std::int64_t gUnpackSize = Settings::kDefaultPieceSize;
std::int32_t gSplitFiles = 0;
std::int32_t gSplitPercent = 0;
bool gSplitModeSize = false;
bool gSplitModeFiles = false;
bool gSplitModePercent = false;
bool gSplitModeFirst = false;
bool gSplitModeLast = false;
QString gUnpackCustomDir;
QString gSaveCustomDir;
QString gStartupCustomDir;
bool gSaveAsFileSaved = false;
} // namespace kivro
