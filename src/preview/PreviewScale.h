#pragma once
// The preview slider's scale: one slider step is two seconds of video. Every conversion to a
// whole number rounds to the nearest, halves to even.
#include <cstdint>
#include <optional>

namespace kivro::PreviewScale {

// The slider maximum for a length in frames: frames / (fps + fps). Nothing for a rate of 0
// (the slider then keeps the maximum it has).
std::optional<std::int32_t> SliderMaximum(double frames, double fps);
// The frame that slider value `value` stands for: (fps + fps) x value.
std::int32_t StartFrame(double fps, std::int32_t value);
// The slider value for a whole-number percentage played: percent / 100 x maximum, as the real
// number the position tick shows, and as the whole number the slider takes.
double SliderPosition(std::int32_t percent, std::int32_t maximum);
std::int32_t SliderValue(double position);

} // namespace kivro::PreviewScale
