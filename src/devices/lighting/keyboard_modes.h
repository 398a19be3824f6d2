#pragma once

#include <chrono>
#include <cstdint>

#include "devices/lighting/animation_state.h"

// The keyboard's lighting modes, by mode index.
namespace brontal::lighting {

// Modes without a step of their own (0, 19 and any index past 30) play the
// effect list.
bool KeyboardModeHasStep(std::uint8_t mode);
void RunKeyboardStep(AnimationState& state, std::chrono::milliseconds now);

// Mode 1, the columns of the grid in a travelling wave; also the wave of the
// effect-list playback.
void StepColumnWave(AnimationState& state, const LightSetting& look);

}  // namespace brontal::lighting
