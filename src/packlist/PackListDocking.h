#pragma once
// Snapping the pack-list window against the main window: one set of rules for both windows. The
// main window's Magnetise and the pack-list window's release after its own drag differ in only
// three points (the caption adjustment, the margin of the right rule, and whether the flags set
// before count), which are parameters here. Everything is a pure function of its arguments; the
// windows read their geometry, call these and apply the result.
//
// Units: twips in single precision (platform/WindowDrag.h).
#include "platform/WindowDrag.h"

namespace kivro {

// The sides the pack-list window is snapped to; any of them set means it travels with the main
// window when that is dragged.
struct DockFlags {
    bool top = false;
    bool bottom = false;
    bool left = false;
    bool right = false;
    bool any() const { return top || bottom || left || right; }
    bool operator==(const DockFlags&) const = default;
};

// The four shared docking flags (PackListGlobals.h) as one value, and setting all four.
DockFlags PackListDockFlags();
void setPackListDockFlags(const DockFlags& flags);

struct MagnetResult {
    float left = 0; // the pack-list window's new left and top (its size does not change)
    float top = 0;
    DockFlags flags; // replaces all four docking flags
};

// The rules top, bottom (with its four shape corrections), left and right, in this order, each
// reading the position the ones before it left and skipped when its flag is set in `flags`; a
// rule that acts sets its flag. Sums are rounded to single precision before they are compared.
// captionAdjust enters the top, bottom, bottom-left and bottom-right tests and the top and bottom
// positions; the right rule catches a window whose left edge lies more than rightMargin twips
// left of the main window's right edge. Whether the window is shown plays no part.
MagnetResult SnapPackList(const TwipRect& mainWindow, const TwipRect& packList, const DockFlags& flags,
                          float captionAdjust, float rightMargin);

// The main window's "&Magnetise" (and switching "Magnet" on): all four flags cleared first, no
// caption adjustment, no right margin.
MagnetResult MagnetisePackList(const TwipRect& mainWindow, const TwipRect& packList);

// The pack-list window's snap at the end of its own drag: the flags as they are, the caption
// adjustment gSkinCaptionAdjust (passed in), and a right margin of 100 twips.
MagnetResult ActivateMagnetSnap(const TwipRect& mainWindow, const TwipRect& packList, const DockFlags& flags,
                                float captionAdjust);

} // namespace kivro
