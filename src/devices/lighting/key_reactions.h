#pragma once

#include <cstdint>

#include "devices/lighting/animation_state.h"

// How the keyboard's reactive modes answer a key going down or up, and the
// step of the two that work on reaction states.
namespace brontal::lighting {

// Mode 7: the key flares at full level in a new colour, then holds (press)
// or fades (release). Mode 25: the key and its neighbourhood light up around
// it (press) and dim (release) unless another held key still covers them.
// Modes 8 and 9: a press starts a ring or a row streak at the key's cell.
// Other modes ignore keys.
void ReactToKey(AnimationState& state, std::uint8_t key, KeyEdge edge);

// Modes 7 and 25: rising keys climb 15 a step to full, falling keys dim 5 a
// step to dark.
void StepKeyLevels(AnimationState& state, const LightSetting& look);

}  // namespace brontal::lighting
