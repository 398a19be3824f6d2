#include "devices/lighting/whole_device_effects.h"

#include "devices/lighting/light_primitives.h"

namespace brontal::lighting {
namespace {

constexpr std::uint8_t kBreathLength = 128;
constexpr std::uint8_t kColourAdvance = 16;

std::uint8_t NextFourColour(std::uint8_t step) { return static_cast<std::uint8_t>((step + 1) % kFourColours.size()); }

// True when a breath has just ended.
bool Breathe(AnimationState& state, const LightSetting& look) {
  state.phase = StepPhase(look.fx, kBreathLength, state.phase, 1);
  return state.phase == 0;
}

std::uint8_t BreathAlpha(const AnimationState& state, const LightSetting& look) {
  return LevelAlpha(look, kBreathCurve[state.phase]);
}

bool Blink(AnimationState& state, const LightSetting& look, std::chrono::milliseconds now) {
  return state.blink.Advance(now, std::chrono::milliseconds(BlinkPeriodMs(look.speed)));
}

}  // namespace

void StepBreathing(AnimationState& state, const LightSetting& look) {
  if (Breathe(state, look)) state.colour_index = NextWheelIndex(state.colour_index, kColourAdvance);
  state.PaintAll(ColourOf(look, state.colour_index), BreathAlpha(state, look));
}

void StepFourColourBreathing(AnimationState& state, const LightSetting& look) {
  if (Breathe(state, look)) state.four_colour_step = NextFourColour(state.four_colour_step);
  state.PaintAll(kFourColours[state.four_colour_step], BreathAlpha(state, look));
}

void ShowStatic(AnimationState& state, const LightSetting& look) { state.PaintAll(LiveColour(look), Brightness(look)); }

void StepColourCycle(AnimationState& state, const LightSetting& look) {
  state.phase = StepPhase(look.fx, kWheelSize, state.phase, 1);
  state.PaintAll(kColourWheel[state.phase], Brightness(look));
}

void StepBlink(AnimationState& state, const LightSetting& look, std::chrono::milliseconds now) {
  if (Blink(state, look, now)) state.colour_index = NextWheelIndex(state.colour_index, kColourAdvance);
  if (state.blink.on) {
    state.PaintAll(ColourOf(look, state.colour_index), Brightness(look));
  } else {
    ShowOff(state);
  }
}

void StepFourColourBlink(AnimationState& state, const LightSetting& look, std::chrono::milliseconds now) {
  if (Blink(state, look, now)) state.four_colour_step = NextFourColour(state.four_colour_step);
  if (state.blink.on) {
    state.PaintAll(kFourColours[state.four_colour_step], Brightness(look));
  } else {
    ShowOff(state);
  }
}

void ShowOff(AnimationState& state) { state.PaintAll({}, 0); }

}  // namespace brontal::lighting
