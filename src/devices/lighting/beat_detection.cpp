#include "devices/lighting/beat_detection.h"

#include <utility>

#include "devices/lighting/light_primitives.h"

namespace brontal::lighting {
namespace {

constexpr std::uint8_t kBeatKey = 51;
constexpr std::int64_t kMostPerSpectrum = 25;

}  // namespace

bool BeatAccumulator::Add(int amount) {
  int total = total_.fetch_add(amount, std::memory_order_relaxed) + amount;
  if (total <= kThreshold) return false;
  // Whoever finds the total it left still there takes the beat; a later Add
  // sees its own total and tries again.
  return total_.compare_exchange_strong(total, 0, std::memory_order_relaxed);
}

BeatAccumulator& ProgramBeatAccumulator() {
  static BeatAccumulator accumulator;
  return accumulator;
}

bool BeatsRipple(const AnimationState& state) {
  return state.mode() == kMusicMode && state.settings.audio.audio_mode == kBeatAudioMode;
}

void DetectBeat(AnimationState& state) {
  const SpectrumBands bands = std::exchange(state.spectrum, {});
  std::int64_t sum = 0;
  for (const std::int32_t band : bands) sum += FoldedExtent(band);
  const std::int64_t mean = sum / static_cast<std::int64_t>(bands.size());
  const auto loudness = static_cast<int>(kMostPerSpectrum - mean * kMostPerSpectrum / kSilentExtent);
  if (ProgramBeatAccumulator().Add(loudness) && state.geometry != nullptr) {
    state.wave.Seed(state.geometry->grid, kBeatKey);
  }
}

}  // namespace brontal::lighting
