#pragma once
// Window regions of the skinned windows: a frameless window is cut to its skin with setMask, and
// its region is built of rounded rectangles (and, for the main window, a polygon) in window
// pixels.
#include <QRegion>

namespace kivro {

// One rounded rectangle of the shape, in window pixels: the edges left <= x < right and
// top <= y < bottom, and the width and height of the ellipse that rounds the corners.
struct SkinRoundRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int ellipseWidth = 0;
    int ellipseHeight = 0;
    bool operator==(const SkinRoundRect&) const = default;
};

// The pixels of one rounded rectangle: the rectangle's edges are ordered first (a rectangle given
// with left > right covers the same pixels), and a pixel belongs to it when its centre lies
// inside the rounded outline.
QRegion RoundRectRegion(const SkinRoundRect& r);

} // namespace kivro
