#pragma once
// The main window's skin as logic that needs no window: the window shape, the round-button hit
// test, the drag step that also carries a docked pack-list window, and the snapping of the
// pack-list window against the main window. Everything here is a pure function of its arguments;
// the main window reads its own and the pack-list window's geometry, calls these and applies the
// results (setMask, move), so the rules can be tested without a display.
//
// Units: window positions, sizes and mouse positions are twips (15 per device-independent pixel,
// always); the shape is built in window pixels.
#include "platform/WindowRegion.h"

#include <QPoint>
#include <QPointF>
#include <QPolygon>
#include <QRect>
#include <QRegion>
#include <array>
#include <cstdint>

class QWidget;

namespace kivro {

// --- window shape ---------------------------------------------------------------------------

// The outline polygon (11 vertices, filled odd-even) and the six rounded rectangles, converted
// from the skin's 96-dpi pixels to window pixels.
struct SkinShape {
    QPolygon outline;
    std::array<SkinRoundRect, 6> roundRects;
};

// Converts the skin's geometry: an x value or ellipse width c becomes
// c * scaleX * 15 / twipsPerPixelX, a y value or ellipse height c * scaleY * 15 / twipsPerPixelY
// (double precision); x values then get offsetX and y values offsetY (ellipse sizes get none);
// each result is rounded to the nearest integer, halves to even. At 96 dpi (15 twips per pixel)
// and scale 1.0 the skin's numbers come out unchanged; at 120 dpi (12) they grow by 1.25.
SkinShape MainWindowShape(float scaleX, float scaleY, std::int16_t offsetX, std::int16_t offsetY, double twipsPerPixelX,
                          double twipsPerPixelY);

// The window region: the union of the six rounded rectangles and the outline polygon.
QRegion ShapeMainWindow(float scaleX, float scaleY, std::int16_t offsetX, std::int16_t offsetY, double twipsPerPixelX,
                        double twipsPerPixelY);

// The region the main window is given: scale 1.0, the 96-dpi twips per pixel, and the skin
// placed at the frame offset (3, 22) inside the 540 x 334 window.
QRegion MainWindowMask();

// --- round pictures -------------------------------------------------------------------------

// Hit test of a round picture: x, y, width and height in twips, the point relative to the
// picture. The circle's centre is (width / 2, height / 2), its radius width / 2; distances are
// rounded to whole twips (halves to even) and a hit is strictly inside.
bool RoundButton(float x, float y, float width, float height);

// --- pack-list docking ------------------------------------------------------------------------

// A window's outer position and size in twips.
struct TwipRect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    bool operator==(const TwipRect&) const = default;
};

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

struct MagnetResult {
    float left = 0; // the pack-list window's new left and top (its size does not change)
    float top = 0;
    DockFlags flags; // replaces all four docking flags
};

// Snaps the pack-list window against the main window by the four rules, top, bottom, left and
// right, each reading the position the rules before it left. Sums are rounded to single
// precision before they are compared. Whether the window is shown plays no part.
MagnetResult MagnetisePackList(const TwipRect& mainWindow, const TwipRect& packList);

// --- dragging the main window ---------------------------------------------------------------

// The drag state of the main window: the press position relative to the pressed control, in
// whole twips.
struct WindowDrag {
    bool dragging = false;
    std::int16_t dragX = 0;
    std::int16_t dragY = 0;
};

// The press on a drag handle: remembers x and y (twips, relative to the pressed control) rounded
// to whole twips, halves to even, and starts the drag.
void BeginWindowDrag(WindowDrag& drag, float x, float y);

// The release: ends the drag.
inline void EndWindowDrag(WindowDrag& drag)
{
    drag.dragging = false;
}

// What one drag step does: the main window moves to mainLeft, mainTop; when a docking flag is
// set the pack-list window moves by the same offset to packLeft, packTop (shown or hidden).
struct DragStep {
    bool moves = false;
    float mainLeft = 0;
    float mainTop = 0;
    bool carriesPackList = false;
    float packLeft = 0;
    float packTop = 0;
};

// The step for a mouse move at x, y (twips, relative to the pressed control, which moves with
// the window, so the pressed point stays under the pointer). Nothing moves unless a drag is under
// way. The step never snaps and never changes the docking flags.
DragStep DragWindow(const WindowDrag& drag, float x, float y, const TwipRect& mainWindow, const TwipRect& packList,
                    const DockFlags& flags);

// --- twips and windows ------------------------------------------------------------------------

inline constexpr int kTwipsPerPixel = 15;

// A window's outer geometry (frame included; the skinned windows are frameless) in twips.
TwipRect windowTwips(const QWidget* window);
// Moves a window to a position in twips (whole pixels, halves to even).
void moveWindowTwips(QWidget* window, float left, float top);
// The pointer's position relative to `control`, in twips, computed from its global position
// (what a drag handle's mouse event reports as X and Y). Working from the global position keeps
// a drag steady while the window moves under the pointer.
QPointF twipsInControl(const QWidget* control, const QPointF& globalPos);
// Applies a drag step to the main window and, when it carries it, the pack-list window.
void applyDragStep(const DragStep& step, QWidget* mainWindow, QWidget* packList);

} // namespace kivro
