#include "WindowRegion.h"

#include <QRect>
#include <algorithm>
#include <cmath>

namespace kivro {

QRegion RoundRectRegion(const SkinRoundRect& r)
{
    const int left = std::min(r.left, r.right);
    const int right = std::max(r.left, r.right);
    const int top = std::min(r.top, r.bottom);
    const int bottom = std::max(r.top, r.bottom);
    if (right <= left || bottom <= top)
        return QRegion();
    // Corner ellipse radii, never more than half the rectangle.
    const double a = std::min(std::abs(r.ellipseWidth) / 2.0, (right - left) / 2.0);
    const double b = std::min(std::abs(r.ellipseHeight) / 2.0, (bottom - top) / 2.0);
    if (a <= 0 || b <= 0)
        return QRegion(left, top, right - left, bottom - top);

    QRegion region;
    int spanStart = -1, spanEnd = -1, spanTop = top;
    const auto flush = [&](int rowEnd) {
        if (spanEnd >= spanStart && spanStart >= 0 && rowEnd > spanTop)
            region += QRect(spanStart, spanTop, spanEnd - spanStart + 1, rowEnd - spanTop);
    };
    for (int y = top; y < bottom; ++y) {
        const double cy = y + 0.5;
        double dy = 0;
        if (cy < top + b)
            dy = top + b - cy;
        else if (cy > bottom - b)
            dy = cy - (bottom - b);
        const double dx = a * std::sqrt(std::max(0.0, 1.0 - (dy / b) * (dy / b)));
        // Pixels whose centres lie between the two curved edges of this row.
        const int xs = int(std::ceil(left + a - dx - 0.5));
        const int xe = int(std::floor(right - a + dx - 0.5));
        if (y == top) {
            spanStart = xs;
            spanEnd = xe;
        } else if (xs != spanStart || xe != spanEnd) {
            flush(y);
            spanStart = xs;
            spanEnd = xe;
            spanTop = y;
        }
    }
    flush(bottom);
    return region;
}

} // namespace kivro
