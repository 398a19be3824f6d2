#include "devices/lighting/wave_field_modes.h"

#include "devices/lighting/light_primitives.h"

namespace brontal::lighting {
namespace {

constexpr std::uint8_t kRisingRingsMode = 13;
constexpr std::uint8_t kCornerRingsMode = 16;
// Bits of the wave field: the top grid row and the row under the bottom one.
constexpr std::uint8_t kTopRow = 0x01;
constexpr std::uint8_t kUnderBottomRow = 0x40;

// A ring that has arrived where another starts sends that one off.
void Rebound(WaveField& wave, std::size_t column, std::uint8_t arrived) {
  if (wave.Column(column) == arrived) wave.SetInAll(column, arrived);
}

}  // namespace

void LightUp(AnimationState& state, std::uint8_t key) {
  state.levels[key] = kLitLevel;
  if (state.settings.light.multi_color != 0) state.colour_indexes[key] = state.RandomColourIndex();
}

void StepSeededField(AnimationState& state, const LightSetting& look) {
  ShowWaveField(state);
  const bool rings = look.select_item == kRippleMode;
  if (rings) {
    state.wave.Ripple();
    for (const std::uint8_t key : state.Lights()) {
      state.colour_indexes[key] = StepPhase(1, static_cast<std::uint8_t>(kWheelSize), state.colour_indexes[key], 7);
    }
  } else {
    state.wave.Streak();
  }
  FadeAll(state, look.select_item);
  ShowLevels(state, look);
}

void StepRisingRings(AnimationState& state, const LightSetting& look) {
  constexpr std::size_t kColumn = 9;
  constexpr std::uint8_t kEvery = 2;
  Rebound(state.wave, kColumn, kTopRow);
  Rebound(state.wave, kColumn, kUnderBottomRow);
  if (state.wave.step >= kEvery) {
    state.wave.step = 0;
    ShowWaveField(state);
    state.wave.Ripple();
  }
  ++state.wave.step;
  FadeAll(state, kRisingRingsMode);
  ShowLevels(state, look);
}

void StepCornerRings(AnimationState& state, const LightSetting& look) {
  constexpr std::size_t kStartColumn = 1;
  constexpr std::size_t kEndColumn = kGridColumns - 1;
  Rebound(state.wave, kStartColumn, kTopRow);
  Rebound(state.wave, kEndColumn, kUnderBottomRow);
  ShowWaveField(state);
  state.wave.Ripple();
  FadeAll(state, kCornerRingsMode);
  ShowLevels(state, look);
}

}  // namespace brontal::lighting
