#include "Skin.h"

#include "platform/Twips.h"

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

} // namespace

SkinShape MainWindowShape(float scaleX, float scaleY, std::int16_t offsetX, std::int16_t offsetY, double twipsPerPixelX,
                          double twipsPerPixelY)
{
    const auto sx = [&](int c) { return double(c) * double(scaleX) * kTwipsPerPixel / twipsPerPixelX; };
    const auto sy = [&](int c) { return double(c) * double(scaleY) * kTwipsPerPixel / twipsPerPixelY; };
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

DragStep DragWindow(const WindowDrag& drag, float x, float y, const TwipRect& mainWindow, const TwipRect& packList,
                    const DockFlags& flags)
{
    DragStep step;
    const std::optional<TwipOffset> offset = DragOffset(drag, x, y);
    if (!offset)
        return step;
    const float dx = offset->dx;
    const float dy = offset->dy;
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

void applyDragStep(const DragStep& step, QWidget* mainWindow, QWidget* packList)
{
    if (!step.moves)
        return;
    moveWindowTwips(mainWindow, step.mainLeft, step.mainTop);
    if (step.carriesPackList && packList)
        moveWindowTwips(packList, step.packLeft, step.packTop);
}

} // namespace kivro
