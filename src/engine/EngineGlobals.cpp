#include "engine/EngineGlobals.h"

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

std::int64_t gUnpackSize = 1440000;
std::int32_t gSplitFiles = 2;
std::int32_t gSplitPercent = 50;
bool gSplitModeSize = false;
bool gSplitModeFirst = false;
bool gSplitModeLast = false;
bool gSplitModePercent = false;
bool gSplitModeFiles = false;
QString gUnpackCustomDir;
} // namespace kivro
