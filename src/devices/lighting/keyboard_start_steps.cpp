#include "devices/lighting/keyboard_start_steps.h"

#include <algorithm>

#include "devices/key_action_tables.h"

namespace brontal::lighting {
namespace {

void StartRain(AnimationState& state) {
  const auto& grid = state.shared_geometry->rain_grid;
  for (std::size_t c = 0; c < kGridColumns; ++c) {
    for (std::size_t r = 0; r < kRainGridRows; ++r) {
      const std::uint8_t key = grid[c][r];
      if (!IsKeyCell(key)) continue;
      state.levels[key] = kRainStartLevels[c][r];
      state.colour_indexes[key] = static_cast<std::uint8_t>(7 * c);
    }
  }
}

// Mode 22: each column starts as a falling drop, every row a little further
// on, the columns staggered.
void StartFallingRain(AnimationState& state) {
  constexpr auto kCycle = static_cast<std::uint8_t>(kFadeCurve.size());
  constexpr std::uint8_t kRowGap = 35;
  constexpr std::uint8_t kWrapGap = 98;
  const auto& grid = state.shared_geometry->rain_grid;
  for (std::size_t c = 0; c < kGridColumns; ++c) {
    auto phase = static_cast<std::uint8_t>(kCycle - 8 * c);
    for (std::size_t r = 0; r < kRainGridRows; ++r) {
      auto next = static_cast<std::uint8_t>(phase - kRowGap);
      if (next >= kCycle) next = static_cast<std::uint8_t>(phase - kWrapGap);
      phase = next;
      const std::uint8_t key = grid[c][r];
      if (!IsKeyCell(key)) continue;
      state.levels[key] = phase;
      state.colour_indexes[key] = static_cast<std::uint8_t>(7 * c);
    }
  }
}

void LoadKeyColours(AnimationState& state) {
  const auto& loaded = state.settings.custom_colours;
  for (std::size_t key = 0; key < std::min(loaded.size(), kLogicalKeyCount); ++key) {
    state.key_colours[key] = {loaded[key].red, loaded[key].green, loaded[key].blue};
  }
}

}  // namespace

void RunKeyboardStartStep(AnimationState& state) {
  switch (state.mode()) {
    case 13: state.wave.SetInAll(9, 0x40); break;
    case 15: StartRain(state); break;
    case 16: state.wave.SetInAll(1, 0x01); break;
    case 20: LoadKeyColours(state); break;
    case 22: StartFallingRain(state); break;
    default:
      for (std::size_t i = 0; i < kMaxLights; ++i) {
        state.colour_indexes[i] = static_cast<std::uint8_t>(33 * (i + 1) % kWheelSize);
      }
      break;
  }
}

}  // namespace brontal::lighting
