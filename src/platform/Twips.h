#pragma once
// Twips, the unit of window positions and sizes, mouse positions, stored window places and the
// dialogs' layouts: 15 per device-independent pixel, always (Qt scales to the screen itself, so
// the logical dpi is 96). One conversion per rounding rule, so that every control rounds alike.
#include <cmath>

namespace kivro {

inline constexpr int kTwipsPerPixel = 15;

// Pixels to twips: exact.
constexpr int pixelsToTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}
constexpr double pixelsToTwips(double pixels)
{
    return pixels * kTwipsPerPixel;
}

// Twips to whole pixels, halves to even: where a window is placed or sized by twips (the
// integer conversion of the design). Whole twips never fall on half a pixel, so for them this is
// simply the nearest pixel (a layout given in whole twips).
inline int twipsToPixels(double twips)
{
    return int(std::nearbyint(twips / kTwipsPerPixel));
}

// Twips to pixels with the fraction kept: where a control draws at places it holds in twips.
constexpr double twipsToPixelsExact(double twips)
{
    return twips / kTwipsPerPixel;
}

// Twips to whole pixels, the remainder dropped: the fixed layouts of the small windows, given in
// whole twips.
constexpr int twipsToPixelsTruncated(int twips)
{
    return twips / kTwipsPerPixel;
}

} // namespace kivro
