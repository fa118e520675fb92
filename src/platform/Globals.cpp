#include "platform/Globals.h"

namespace kivro {
QString gAppPath;
int gMsgResult = 0;
float gDpiScale = 1.0f;
std::int16_t gSkinCaptionAdjust = 0;
} // namespace kivro
