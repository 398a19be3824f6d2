#include "devices/lighting/mouse_modes.h"

#include "devices/lighting/light_chase.h"
#include "devices/lighting/light_primitives.h"
#include "devices/lighting/light_runs.h"
#include "devices/lighting/whole_device_effects.h"

namespace brontal::lighting {
namespace {

constexpr std::uint8_t kClickFadeMode = 6;

void StepClickFade(AnimationState& state, const LightSetting& look) {
  constexpr std::uint8_t kStep = 15;
  for (const std::uint8_t light : state.Lights()) {
    std::uint8_t& level = state.levels[light];
    std::uint8_t& reaction = state.reactions[light];
    if (reaction == 1) {
      level = level >= 255 - kStep ? 255 : static_cast<std::uint8_t>(level + kStep);
      if (level == 255) reaction = 2;
    } else if (reaction == 2) {
      level = level <= kStep ? 0 : static_cast<std::uint8_t>(level - kStep);
      if (level == 0) reaction = 0;
    }
    state.Paint(light, ColourOf(look, state.colour_indexes[light]), LevelAlpha(look, level));
  }
}

}  // namespace

bool MouseModeHasStep(std::uint8_t mode) { return mode <= 10 && mode != 9; }

void StepGroupWave(AnimationState& state, const LightSetting& look) {
  const std::size_t light_count = state.colours.size();
  if (look.multi_color != 0) {
    state.phase = StepPhase(look.fx, static_cast<std::uint8_t>(kWheelSize), state.phase, 1);
    for (const std::uint8_t light : state.Lights()) {
      state.Paint(light, WheelColour(state.phase + 7 * RunOf(light, light_count)), Brightness(look));
    }
    return;
  }
  constexpr auto kSpan = static_cast<std::uint8_t>(kWaveCurve.size());
  state.phase = StepPhase(look.fx, kSpan, state.phase, 1);
  for (const std::uint8_t light : state.Lights()) {
    const std::uint8_t level = kWaveCurve[(state.phase + 7 * RunOf(light, light_count)) % kSpan];
    state.Paint(light, LiveColour(look), LevelAlpha(look, level));
  }
}

void StartClickFade(AnimationState& state) {
  if (state.mode() != kClickFadeMode) return;
  const std::uint8_t colour_index = state.RandomColourIndex();
  for (const std::uint8_t light : state.Lights()) {
    state.reactions[light] = 1;
    state.colour_indexes[light] = colour_index;
  }
}

void RunMouseStep(AnimationState& state, std::chrono::milliseconds now) {
  const LightSetting& look = state.settings.light;
  switch (look.select_item) {
    case 0: StepGroupWave(state, look); break;
    case 1: StepColourCycle(state, look); break;
    case 2: StepBreathing(state, look); break;
    case 3: ShowStatic(state, look); break;
    case 4: StepBlink(state, look, now); break;
    case 5: StepChase(state, look, ChasePlaces::kRuns, look.fx, true); break;
    case kClickFadeMode: StepClickFade(state, look); break;
    case 7: StepFourColourBreathing(state, look); break;
    case 8: StepFourColourBlink(state, look, now); break;
    case 10: ShowOff(state); break;
    default: break;
  }
}

}  // namespace brontal::lighting
