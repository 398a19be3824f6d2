#pragma once

#include <cstdint>

#include "devices/lighting/animation_state.h"

// The keyboard modes that light what the wave field holds: rings and row
// streaks from pressed keys (8, 9), rings rising and falling at column 9
// (13) and rings between two corners (16).
namespace brontal::lighting {

inline constexpr std::uint8_t kLitLevel = 255;

// Full level and, with multicolour, a random colour index.
void LightUp(AnimationState& state, std::uint8_t key);

// Lights up every key whose cell the wave field holds; `shown(key)` hears
// each of them.
template <typename Shown>
void ShowWaveField(AnimationState& state, Shown shown) {
  if (state.geometry == nullptr) return;
  for (std::size_t c = 0; c < kGridColumns; ++c) {
    for (std::size_t r = 0; r < kGridRows; ++r) {
      const std::uint8_t key = state.geometry->grid[c][r];
      if (!state.wave.Holds(c, r) || !IsKeyCell(key)) continue;
      LightUp(state, key);
      shown(key);
    }
  }
}
inline void ShowWaveField(AnimationState& state) {
  ShowWaveField(state, [](std::uint8_t) {});
}

// Modes 8 and 9: what the presses seeded shows, then moves on as rings (8,
// whose keys also run through the wheel) or along the rows (9); every key
// fades.
void StepSeededField(AnimationState& state, const LightSetting& look);
// Mode 13: a ring rises from under the bottom row at column 9 and, when it
// has reached the top, a ring falls from there, moving every second step.
void StepRisingRings(AnimationState& state, const LightSetting& look);
// Mode 16: rings run from the top of column 1 to below the bottom of column
// 22 and back.
void StepCornerRings(AnimationState& state, const LightSetting& look);

}  // namespace brontal::lighting
