#pragma once

#include <atomic>
#include <cstdint>

#include "devices/lighting/animation_state.h"

// The music mode's beat ripples: every spectrum handed over adds its loudness
// to one accumulator, and when that runs over a ripple starts.
namespace brontal::lighting {

// The audio mode of the music mode that shows beats as ripples.
inline constexpr std::uint8_t kBeatAudioMode = 2;

// One for the whole program: every keyboard showing beat ripples feeds it,
// from its own animation thread.
class BeatAccumulator {
 public:
  static constexpr int kThreshold = 70;

  // Adds `amount`; true when that took the total over the threshold, which
  // starts it again from 0. When two keyboards take it over together, one of
  // them has the beat.
  bool Add(int amount);
  int total() const { return total_.load(std::memory_order_relaxed); }

 private:
  std::atomic<int> total_{0};
};

BeatAccumulator& ProgramBeatAccumulator();

// Whether the keyboard shows beat ripples now.
bool BeatsRipple(const AnimationState& state);

// Takes the keyboard's spectrum (its copy cleared) into the program's
// accumulator, and on a beat seeds the wave field at logical key 51.
void DetectBeat(AnimationState& state);

}  // namespace brontal::lighting
