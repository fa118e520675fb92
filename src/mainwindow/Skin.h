#pragma once
// The main window's skin as logic that needs no window: the window shape, the round-button hit
// test and the drag step that also carries a docked pack-list window (the snapping rules are the
// pack list's, packlist/PackListDocking.h; twips and the drag state are the platform's,
// platform/WindowDrag.h). Everything here is a pure function of its arguments; the main window
// reads its own and the pack-list window's geometry, calls these and applies the results
// (setMask, move), so the rules can be tested without a display.
//
// Units: window positions, sizes and mouse positions are twips (15 per device-independent pixel,
// always); the shape is built in window pixels.
#include "packlist/PackListDocking.h"
#include "platform/WindowDrag.h"
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

// --- dragging the main window ---------------------------------------------------------------

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

// Applies a drag step to the main window and, when it carries it, the pack-list window.
void applyDragStep(const DragStep& step, QWidget* mainWindow, QWidget* packList);

} // namespace kivro
