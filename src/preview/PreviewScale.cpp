#include "preview/PreviewScale.h"

#include <cmath>
#include <limits>

namespace kivro::PreviewScale {

namespace {

// A real number as a 32-bit whole number, halves to even; values beyond the range are held at
// its ends rather than wrapped.
std::int32_t toInt32(double v)
{
    const double r = std::nearbyint(v);
    if (std::isnan(r))
        return 0;
    if (r <= double(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (r >= double(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return std::int32_t(r);
}

} // namespace

std::optional<std::int32_t> SliderMaximum(double frames, double fps)
{
    if (fps + fps == 0.0)
        return std::nullopt;
    return toInt32(frames / (fps + fps));
}

std::int32_t StartFrame(double fps, std::int32_t value)
{
    return toInt32((fps + fps) * double(value));
}

double SliderPosition(std::int32_t percent, std::int32_t maximum)
{
    return double(percent) / 100.0 * double(maximum);
}

std::int32_t SliderValue(double position)
{
    return toInt32(position);
}

} // namespace kivro::PreviewScale
