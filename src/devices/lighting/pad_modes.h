#pragma once

#include <chrono>
#include <cstdint>

#include "devices/lighting/animation_state.h"

// The lighting modes of mouse pads and headsets, by the mode index of their
// settings record.
namespace brontal::lighting {

// Mode 5 and indexes past 8 play the effect list.
bool PadModeHasStep(std::uint8_t mode);
void RunPadStep(AnimationState& state, std::chrono::milliseconds now);

// Mode 0, the lights in a travelling wave; also the wave of the effect-list
// playback.
void StepLightWave(AnimationState& state, const LightSetting& look);

}  // namespace brontal::lighting
