#include "engine/EngineGlobals.h"

namespace kivro {
QVector<std::int32_t> gOpenFileHandles;
std::int32_t gOpenFileCount = 0;
std::int32_t gFileOpenError = 0;

bool gMpegCompatible = false;
bool gMpegValid = false;
bool gIgnoreMpegErrors = false;
bool gMpegInfoAvailable = false;
QString gDurationText;
} // namespace kivro
