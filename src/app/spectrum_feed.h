#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "audio_link/band_levels.h"

namespace brontal {

// What one spectrum frame hands to the devices: nothing for a kind of device
// that is not due.
struct SpectrumHandOver {
  // For the selected keyboard: the 25 band levels, then zeros.
  std::optional<audio_link::Spectrum> keyboard;
  // For the first mouse: the 10 band levels from the second one on, then
  // zeros; one value shorter than a frame, as it starts one value in.
  std::optional<std::array<std::int32_t, audio_link::kSpectrumValues - 1>> mouse;
};

// The capture program's frames reduced to band levels: each frame is compared
// with the one before (only the change of the sound lights the keys), four of
// every five neighbouring values make a band, and each kind of device gets at
// most one frame in three. The counters run while no device of a kind is
// there, so the first frame after one appears reaches it at once.
class SpectrumFeed {
 public:
  static constexpr std::size_t kKeyboardBands = 25;
  static constexpr std::size_t kMouseBands = 10;
  // The range the keyboards' music steps work in.
  static constexpr std::int32_t kHighestLevel = audio_link::kHighestLevel;

  // `keyboards` and `mice`: how many of each are present.
  SpectrumHandOver Take(const audio_link::Spectrum& frame, std::size_t keyboards, std::size_t mice);

 private:
  audio_link::BandLevelReduction reduction_;
  std::uint64_t keyboard_frames_ = 0;
  std::uint64_t mouse_frames_ = 0;
};

}  // namespace brontal
