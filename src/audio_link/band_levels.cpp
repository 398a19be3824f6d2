#include "audio_link/band_levels.h"

#include <algorithm>
#include <cstdlib>

namespace brontal::audio_link {
namespace {

constexpr std::size_t kValuesAveraged = 4;

}  // namespace

BandLevels BandLevelReduction::Next(const Spectrum& frame) {
  BandLevels levels{};
  for (std::size_t band = 0; band < kBandCount; ++band) {
    // 64 bits: two 32-bit values can lie further apart than 32 bits hold.
    std::int64_t sum = 0;
    for (std::size_t part = 0; part < kValuesAveraged; ++part) {
      const std::size_t at = band * kValuesPerBand + part;
      sum += std::llabs(std::int64_t{frame[at]} - previous_[at]);
    }
    levels[band] = static_cast<std::int32_t>(std::min<std::int64_t>(sum / kValuesAveraged, kHighestLevel));
  }
  previous_ = frame;
  return levels;
}

}  // namespace brontal::audio_link
