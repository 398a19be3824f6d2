#pragma once

#include <chrono>

#include "devices/lighting/animation_state.h"

// The custom effect list: its entries play in turn, each for its duration in
// milliseconds on `now`, then back to the first. Each entry starts afresh
// (phase, colour and blink from the beginning) and shows at once. An empty
// list shows the lights off.
namespace brontal::lighting {

// Runs on every unit; an entry steps at the interval of its own speed.
void StepEffectList(AnimationState& state, std::chrono::milliseconds now);

}  // namespace brontal::lighting
