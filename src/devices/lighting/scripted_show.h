#pragma once

#include "devices/lighting/animation_state.h"

// Keyboard mode 14, a show in stages that repeats: rows of keys sweep across
// the board, pairs of keys light from both ends towards the middle, then a
// ring spreads from the ripple key until it has crossed the board.
namespace brontal::lighting {

void StepScriptedShow(AnimationState& state, const LightSetting& look);

}  // namespace brontal::lighting
