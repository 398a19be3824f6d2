#pragma once

#include <cstdint>

#include "devices/lighting/animation_state.h"

namespace brontal::lighting {

enum class ChasePlaces {
  kLights,  // every fifth light is lit
  kRuns,    // every fourth of the 7 runs: two of them
};

// One step of a chase: with `rotate` the pattern of lit places turns one
// place (forwards with a non-zero `direction`) and its places light up at
// full level; then every light fades. With multicolour the places are 12
// wheel steps apart.
void StepChase(AnimationState& state, const LightSetting& look, ChasePlaces places, std::uint8_t direction,
               bool rotate);

}  // namespace brontal::lighting
