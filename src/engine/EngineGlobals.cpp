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

bool gSaveAsFileSaved = false;
} // namespace kivro
