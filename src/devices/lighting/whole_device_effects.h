#pragma once

#include <chrono>

#include "devices/lighting/animation_state.h"

// The effects that colour every light of a device alike, shared by all
// families and by the effect-list playback. `look` is the live setting or the
// playing entry's.
namespace brontal::lighting {

// The colour moves on by 16 wheel positions only when a breath has ended.
void StepBreathing(AnimationState& state, const LightSetting& look);
void StepFourColourBreathing(AnimationState& state, const LightSetting& look);
void ShowStatic(AnimationState& state, const LightSetting& look);
void StepColourCycle(AnimationState& state, const LightSetting& look);
// Periods by speed in milliseconds on `now`.
void StepBlink(AnimationState& state, const LightSetting& look, std::chrono::milliseconds now);
void StepFourColourBlink(AnimationState& state, const LightSetting& look, std::chrono::milliseconds now);
void ShowOff(AnimationState& state);

}  // namespace brontal::lighting
