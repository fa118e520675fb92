#include "platform/WindowDrag.h"

#include "platform/SkinImage.h"
#include "platform/WindowHandlers.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <limits>

namespace kivro {

namespace {

std::int16_t toInt16(float v)
{
    const float r = std::nearbyint(v);
    return static_cast<std::int16_t>(std::clamp(r, float(std::numeric_limits<std::int16_t>::min()),
                                                float(std::numeric_limits<std::int16_t>::max())));
}

// Hands the mouse events of one control to the drag handlers: all of them (a label), or only
// those on the control's own area (a form, under its controls). The handlers call into the
// window, so the filter ends when the window's end begins (platform/WindowHandlers.h).
class DragSurfaceFilter : public WindowEventFilter {
public:
    DragSurfaceFilter(QWidget* surface, DragHandlers handlers, bool ownAreaOnly)
        : WindowEventFilter(surface), m_surface(surface), m_handlers(std::move(handlers)), m_ownAreaOnly(ownAreaOnly)
    {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_surface)
            return false;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (underControl(e))
                return false;
            m_pressed = true;
            const QPointF t = twipsInControl(m_surface, e->globalPosition());
            m_handlers.mouseDown(float(t.x()), float(t.y()));
            return true;
        }
        case QEvent::MouseMove: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (!m_pressed && underControl(e))
                return false;
            const QPointF t = twipsInControl(m_surface, e->globalPosition());
            m_handlers.mouseMove(float(t.x()), float(t.y()));
            return true;
        }
        case QEvent::MouseButtonRelease:
            if (m_ownAreaOnly && !m_pressed)
                return false;
            if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton)
                m_pressed = false;
            m_handlers.mouseUp();
            return true;
        default:
            return false;
        }
    }

private:
    // An event a control let through to the form is not the form's.
    bool underControl(const QMouseEvent* e) const
    {
        return m_ownAreaOnly && m_surface->childAt(e->position().toPoint());
    }

    QWidget* m_surface;
    DragHandlers m_handlers;
    bool m_ownAreaOnly;
    bool m_pressed = false;
};

} // namespace

void BeginWindowDrag(WindowDrag& drag, float x, float y)
{
    drag.dragX = toInt16(x);
    drag.dragY = toInt16(y);
    drag.dragging = true;
}

std::optional<TwipOffset> DragOffset(const WindowDrag& drag, float x, float y)
{
    if (!drag.dragging)
        return std::nullopt;
    return TwipOffset{x - float(drag.dragX), y - float(drag.dragY)};
}

TwipRect windowTwips(const QWidget* window)
{
    const QRect g = window->frameGeometry();
    return {float(pixelsToTwips(g.x())), float(pixelsToTwips(g.y())), float(pixelsToTwips(g.width())),
            float(pixelsToTwips(g.height()))};
}

void moveWindowTwips(QWidget* window, float left, float top)
{
    window->move(twipsToPixels(double(left)), twipsToPixels(double(top)));
}

QPointF twipsInControl(const QWidget* control, const QPointF& globalPos)
{
    return (globalPos - control->mapToGlobal(QPointF(0, 0))) * double(kTwipsPerPixel);
}

void connectDragPicture(SkinImage* picture, QObject* context, DragHandlers handlers)
{
    const auto twips = [picture] { return twipsInControl(picture, picture->lastGlobalPosition()); };
    QObject::connect(picture, &SkinImage::mouseDown, context, [twips, down = handlers.mouseDown] {
        const QPointF t = twips();
        down(float(t.x()), float(t.y()));
    });
    QObject::connect(picture, &SkinImage::mouseMove, context, [twips, move = handlers.mouseMove] {
        const QPointF t = twips();
        move(float(t.x()), float(t.y()));
    });
    QObject::connect(picture, &SkinImage::mouseUp, context, [up = handlers.mouseUp] { up(); });
}

void routeDragLabel(QWidget* label, DragHandlers handlers)
{
    label->installEventFilter(new DragSurfaceFilter(label, std::move(handlers), false));
}

void routeFormMouse(QWidget* form, DragHandlers handlers)
{
    form->setMouseTracking(true);
    form->installEventFilter(new DragSurfaceFilter(form, std::move(handlers), true));
}

} // namespace kivro
