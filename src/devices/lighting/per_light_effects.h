#pragma once

#include <chrono>

#include "devices/lighting/animation_state.h"

// The keyboard's own effect per light ("LightList"): a record marked present
// overrides its light's colour after every unit, whatever the mode shows.
namespace brontal::lighting {

void ApplyPerLightEffects(AnimationState& state, std::chrono::milliseconds now);

}  // namespace brontal::lighting
