#include "Skin.h"

#include <QWidget>
#include <algorithm>
#include <cmath>
#include <limits>

namespace kivro {

namespace {

// The skin's outline, in pixels of a 96-dpi screen relative to the skin's top left corner.
constexpr std::array<std::array<int, 2>, 11> kOutline{{
    {79, 268},
    {123, 308},
    {378, 308},
    {378, 304},
    {519, 303},
    {533, 259},
    {533, 11},
    {519, 0},
    {69, 0},
    {0, 30},
    {0, 257},
}};

// The rounded rectangles in the order they are added: left, top, right, bottom, ellipse width,
// ellipse height. The fifth is given right to left; its edges are ordered when it is filled.
constexpr std::array<SkinRoundRect, 6> kRoundRects{{
    {0, 0, 129, 40, 14, 10},
    {0, 220, 109, 268, 14, 12},
    {435, 0, 534, 55, 18, 17},
    {438, 240, 534, 305, 14, 12},
    {391, 261, 366, 309, 26, 28},
    {31, 238, 153, 309, 16, 16},
}};

int roundHalfEven(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

std::int16_t toInt16(float v)
{
    const float r = std::nearbyint(v);
    return static_cast<std::int16_t>(std::clamp(r, float(std::numeric_limits<std::int16_t>::min()),
                                                float(std::numeric_limits<std::int16_t>::max())));
}

} // namespace

SkinShape MainWindowShape(float scaleX, float scaleY, std::int16_t offsetX, std::int16_t offsetY, double twipsPerPixelX,
                          double twipsPerPixelY)
{
    const auto sx = [&](int c) { return double(c) * double(scaleX) * 15.0 / twipsPerPixelX; };
    const auto sy = [&](int c) { return double(c) * double(scaleY) * 15.0 / twipsPerPixelY; };
    const auto px = [&](int c) { return roundHalfEven(sx(c) + offsetX); };
    const auto py = [&](int c) { return roundHalfEven(sy(c) + offsetY); };

    SkinShape shape;
    for (const auto& v : kOutline)
        shape.outline << QPoint(px(v[0]), py(v[1]));
    for (std::size_t i = 0; i < kRoundRects.size(); ++i) {
        const SkinRoundRect& r = kRoundRects[i];
        shape.roundRects[i] = {px(r.left),
                               py(r.top),
                               px(r.right),
                               py(r.bottom),
                               roundHalfEven(sx(r.ellipseWidth)),
                               roundHalfEven(sy(r.ellipseHeight))};
    }
    return shape;
}

QRegion ShapeMainWindow(float scaleX, float scaleY, std::int16_t offsetX, std::int16_t offsetY, double twipsPerPixelX,
                        double twipsPerPixelY)
{
    const SkinShape shape = MainWindowShape(scaleX, scaleY, offsetX, offsetY, twipsPerPixelX, twipsPerPixelY);
    QRegion region = RoundRectRegion(shape.roundRects[0]);
    for (std::size_t i = 1; i < shape.roundRects.size(); ++i)
        region = region.united(RoundRectRegion(shape.roundRects[i]));
    return region.united(QRegion(shape.outline, Qt::OddEvenFill));
}

QRegion MainWindowMask()
{
    return ShapeMainWindow(1.0f, 1.0f, 3, 22, kTwipsPerPixel, kTwipsPerPixel);
}

bool RoundButton(float x, float y, float width, float height)
{
    const double halfWidth = double(width) / 2.0;
    const double halfHeight = double(height) / 2.0;
    const long long dx = std::llround(std::nearbyint(std::abs(double(x) - halfWidth)));
    const long long dy = std::llround(std::nearbyint(std::abs(double(y) - halfHeight)));
    const double distance = std::nearbyint(std::pow(double(dx * dx + dy * dy), 0.5));
    return distance < halfWidth;
}

MagnetResult MagnetisePackList(const TwipRect& m, const TwipRect& packList)
{
    // Every sum below is computed in single precision, as the window positions are held.
    const float ML = m.left, MT = m.top, MW = m.width, MH = m.height;
    const float MR = ML + MW;
    const float PW = packList.width, PH = packList.height;
    float PL = packList.left, PT = packList.top;
    DockFlags flags;

    // Top.
    if (PH + PT - 380.0f < MT) {
        PT = MT - MH + 990.0f;
        flags.top = true;
    }
    // Bottom, with one correction for the two outlines.
    if (PH + PT + 380.0f >= 0.0f && MH + MT < PT + 380.0f) {
        PT = MT + MH - 370.0f;
        const float PR = PL + PW;
        if (MR - 2420.0f <= PL && MR > PL)
            PT = PT - 60.0f;
        else if (PR >= 0.0f && MR - 7520.0f > PR)
            PT = PT - 620.0f;
        else if (MR - 7520.0f <= PR && MR - 7480.0f > PR)
            PT = PT - 120.0f;
        else if (MR - 7480.0f <= PR && MR - 7380.0f > PR)
            PT = PT - 60.0f;
        flags.bottom = true;
    }
    // Left.
    if (PW + PL - 100.0f < ML) {
        PL = ML - MW + 3360.0f;
        if (MH + MT - 1000.0f <= PT)
            PL = PL + 500.0f;
        flags.left = true;
    }
    // Right.
    if (MR < PL) {
        PL = MR - 90.0f;
        if (MH + MT - 420.0f <= PT) {
            PL = PL - 2320.0f;
            if (MR - 2420.0f <= PL && MR > PL)
                PT = PT - 60.0f;
        }
        flags.right = true;
    }
    return {PL, PT, flags};
}

void BeginWindowDrag(WindowDrag& drag, float x, float y)
{
    drag.dragX = toInt16(x);
    drag.dragY = toInt16(y);
    drag.dragging = true;
}

DragStep DragWindow(const WindowDrag& drag, float x, float y, const TwipRect& mainWindow, const TwipRect& packList,
                    const DockFlags& flags)
{
    DragStep step;
    if (!drag.dragging)
        return step;
    const float dx = x - float(drag.dragX);
    const float dy = y - float(drag.dragY);
    step.moves = true;
    step.mainLeft = mainWindow.left + dx;
    step.mainTop = mainWindow.top + dy;
    if (flags.any()) {
        step.carriesPackList = true;
        step.packLeft = packList.left + dx;
        step.packTop = packList.top + dy;
    }
    return step;
}

TwipRect windowTwips(const QWidget* window)
{
    const QRect g = window->frameGeometry();
    return {float(g.x() * kTwipsPerPixel), float(g.y() * kTwipsPerPixel), float(g.width() * kTwipsPerPixel),
            float(g.height() * kTwipsPerPixel)};
}

void moveWindowTwips(QWidget* window, float left, float top)
{
    window->move(roundHalfEven(double(left) / kTwipsPerPixel), roundHalfEven(double(top) / kTwipsPerPixel));
}

QPointF twipsInControl(const QWidget* control, const QPointF& globalPos)
{
    return (globalPos - control->mapToGlobal(QPointF(0, 0))) * double(kTwipsPerPixel);
}

void applyDragStep(const DragStep& step, QWidget* mainWindow, QWidget* packList)
{
    if (!step.moves)
        return;
    moveWindowTwips(mainWindow, step.mainLeft, step.mainTop);
    if (step.carriesPackList && packList)
        moveWindowTwips(packList, step.packLeft, step.packTop);
}

} // namespace kivro
