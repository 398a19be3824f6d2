#include "devices/lighting/pad_modes.h"

#include "devices/lighting/light_chase.h"
#include "devices/lighting/light_primitives.h"
#include "devices/lighting/whole_device_effects.h"

namespace brontal::lighting {
namespace {

// The chases turn on every second step.
bool ChaseTurns(AnimationState& state) {
  state.second_phase ^= 1;
  return state.second_phase == 1;
}

}  // namespace

bool PadModeHasStep(std::uint8_t mode) { return mode <= 8 && mode != 5; }

void StepLightWave(AnimationState& state, const LightSetting& look) {
  if (look.multi_color != 0) {
    state.phase = StepPhase(look.fx, static_cast<std::uint8_t>(kWheelSize), state.phase, 1);
    for (const std::uint8_t light : state.Lights()) {
      state.Paint(light, WheelColour(state.phase + 16u * light), Brightness(look));
    }
    return;
  }
  constexpr auto kSpan = static_cast<std::uint8_t>(kWaveCurve.size());
  state.phase = StepPhase(look.fx, kSpan, state.phase, 3);
  for (const std::uint8_t light : state.Lights()) {
    state.Paint(light, LiveColour(look), LevelAlpha(look, kWaveCurve[(state.phase + 10u * light) % kSpan]));
  }
}

void RunPadStep(AnimationState& state, std::chrono::milliseconds now) {
  const LightSetting& look = state.settings.light;
  switch (look.select_item) {
    case 0: StepLightWave(state, look); break;
    case 1: StepColourCycle(state, look); break;
    case 2: StepBreathing(state, look); break;
    case 3: ShowStatic(state, look); break;
    case 4: StepBlink(state, look, now); break;
    case 6: StepChase(state, look, ChasePlaces::kLights, look.fx, ChaseTurns(state)); break;
    // Pairs run the other way.
    case 7: StepChase(state, look, ChasePlaces::kRuns, look.fx == 0 ? 1 : 0, ChaseTurns(state)); break;
    case 8: ShowOff(state); break;
    default: break;
  }
}

}  // namespace brontal::lighting
