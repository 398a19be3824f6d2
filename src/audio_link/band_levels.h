#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "audio_link/capture_link.h"

namespace brontal::audio_link {

// The driver's bands: 25 of five neighbouring values each.
inline constexpr std::size_t kBandCount = 25;
inline constexpr std::size_t kValuesPerBand = 5;
inline constexpr std::int32_t kHighestLevel = 2000;
using BandLevels = std::array<std::int32_t, kBandCount>;

// What the driver makes of consecutive frames: for each band, the mean
// absolute difference of its first four values from the previous frame's (the
// fifth is not used; the first frame is compared with silence), reckoned in
// 64 bits and held to 0..kHighestLevel.
class BandLevelReduction {
 public:
  BandLevels Next(const Spectrum& frame);

 private:
  Spectrum previous_{};
};

}  // namespace brontal::audio_link
