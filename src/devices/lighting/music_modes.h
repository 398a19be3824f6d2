#pragma once

#include "devices/lighting/animation_state.h"

// Keyboard mode 29: the seven visualisations of the audio feed's spectrum,
// chosen by the audio light setting's audio mode.
//   0  a bar per grid column, rising from the bottom with its band;
//   1  each row lit from the middle outwards by two bands, the left one
//      wandering over the spectrum;
//   2  a ring at each beat (the beat detection seeds it);
//   3  diagonal rows of the whole board lit by the overall loudness;
//   4  column bars on the full-size grid that only start again once their
//      bottom key has faded;
//   5  rows lit from the left by six groups of bands;
//   6  rows lit from alternate sides by six groups of bands.
// Except in 2, each step takes the spectrum handed over since the last one
// and clears it: without a new one the display decays. The column bars (0
// and 4) take a band's extent as it is; the others fold a value past full
// to nearly silent (FoldedExtent).
namespace brontal::lighting {

void StepMusic(AnimationState& state, const LightSetting& look);

}  // namespace brontal::lighting
