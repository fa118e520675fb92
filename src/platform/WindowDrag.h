#pragma once
// Twips and window dragging, shared by the skinned windows (the main window and the pack-list
// window): a window's outer geometry in twips, moving it by twips, the pointer position relative
// to a drag handle, and the drag state with its step.
//
// Units: window positions, sizes and mouse positions are twips (platform/Twips.h), held in single
// precision as the windows' positions are.
#include "platform/Twips.h"

#include <QPointF>
#include <cstdint>
#include <functional>
#include <optional>

class QObject;
class QWidget;

namespace kivro {

class SkinImage;

// A window's outer position and size in twips.
struct TwipRect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    bool operator==(const TwipRect&) const = default;
};

// The drag state of a window: the press position relative to the pressed control, in whole
// twips.
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

// How far one drag step moves the window for a mouse move at x, y (twips, relative to the
// pressed control, which moves with the window, so the pressed point stays under the pointer):
// x - dragX and y - dragY. None unless a drag is under way.
struct TwipOffset {
    float dx = 0;
    float dy = 0;
};
std::optional<TwipOffset> DragOffset(const WindowDrag& drag, float x, float y);

// A window's outer geometry (frame included; the skinned windows are frameless) in twips.
TwipRect windowTwips(const QWidget* window);
// Moves a window to a position in twips (whole pixels, halves to even); its size does not change.
void moveWindowTwips(QWidget* window, float left, float top);
// The pointer's position relative to `control`, in twips, computed from its global position
// (what a drag handle's mouse event reports as X and Y). Working from the global position keeps
// a drag steady while the window moves under the pointer.
QPointF twipsInControl(const QWidget* control, const QPointF& globalPos);

// The three mouse handlers of a drag handle (all three are needed): press and move with X and Y
// in twips relative to the handle, and the release.
struct DragHandlers {
    std::function<void(float X, float Y)> mouseDown;
    std::function<void(float X, float Y)> mouseMove;
    std::function<void()> mouseUp;
};

// A skin picture as a drag handle: its press, move and release (any button) call the handlers,
// with the position worked out from the pointer's global position. The connections live as long
// as `context`.
void connectDragPicture(SkinImage* picture, QObject* context, DragHandlers handlers);

// A label (or any control without mouse handlers of its own) as a drag handle: its presses (the
// second press of a double-click too), moves and releases, with any button, go to the handlers
// and nowhere else.
// This route and routeFormMouse's are WindowEventFilters: they end when the window calls
// StopWindowHandlers.
void routeDragLabel(QWidget* label, DragHandlers handlers);

// The form itself as a drag surface: a skinned window's own mouse events (where no control lies)
// go to the handlers. A press on a control that let it through is not the form's; once the form
// is pressed, its moves and its release stay the form's until every button is up.
void routeFormMouse(QWidget* form, DragHandlers handlers);

} // namespace kivro
