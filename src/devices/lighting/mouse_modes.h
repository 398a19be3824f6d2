#pragma once

#include <chrono>
#include <cstdint>

#include "devices/lighting/animation_state.h"

// The mouse's lighting modes, by the mode index of its settings record.
namespace brontal::lighting {

// Mode 9 and indexes past 10 play the effect list.
bool MouseModeHasStep(std::uint8_t mode);
void RunMouseStep(AnimationState& state, std::chrono::milliseconds now);

// Mode 0, the light groups in a travelling wave; also the wave of the
// effect-list playback.
void StepGroupWave(AnimationState& state, const LightSetting& look);

// A click: in mode 6 every light rises and falls once in one random colour.
void StartClickFade(AnimationState& state);

}  // namespace brontal::lighting
