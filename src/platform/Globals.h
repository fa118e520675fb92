#pragma once
// Values every window needs, owned by the platform layer.
#include <QString>

#include <cstdint>

namespace kivro {

// The program folder (folder of the executable) without a trailing "/": read-only data lives here.
extern QString gAppPath;

// The answer of the last message box (OK 1, Cancel 2, Abort 3, Retry 4, Ignore 5, Yes 6, No 7).
extern int gMsgResult;

// Screen scale: (dpi - 96) / 96 + 1 above 96 logical dots per inch, else 1.0. Qt scales to the
// screen itself, so the program's logical dpi is 96 and the scale 1.0. Set once at start-up.
extern float gDpiScale;

// Caption-size offset (twips) for docking the pack-list window; 0 with fixed window metrics.
extern std::int16_t gSkinCaptionAdjust;

} // namespace kivro
