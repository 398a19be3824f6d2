#pragma once

#include "devices/lighting/animation_state.h"

// What a keyboard mode sets up when it starts, after the animation reset.
namespace brontal::lighting {

void RunKeyboardStartStep(AnimationState& state);

// Mode 15's starting levels by cell of the 23 x 7 grid: drops fall down each
// column (a key flashes six steps after the one above it) and the columns
// are out of step with one another.
inline constexpr auto kRainStartLevels = [] {
  std::array<std::array<std::uint8_t, kRainGridRows>, kGridColumns> levels{};
  for (std::size_t c = 0; c < kGridColumns; ++c) {
    for (std::size_t r = 0; r < kRainGridRows; ++r) {
      levels[c][r] = static_cast<std::uint8_t>((c * 53 + (kRainGridRows - 1 - r) * 12) % kFadeCurve.size());
    }
  }
  return levels;
}();

}  // namespace brontal::lighting
