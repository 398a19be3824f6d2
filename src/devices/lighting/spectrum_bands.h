#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "audio_link/band_levels.h"

// The audio feed's band levels as the music effects read them.
namespace brontal::lighting {

inline constexpr std::size_t kSpectrumBands = audio_link::kBandCount;
inline constexpr std::int32_t kFullBand = audio_link::kHighestLevel;
// The extent of a silent band; a full band has extent 0.
inline constexpr std::int64_t kSilentExtent = 600;

using SpectrumBands = std::array<std::int32_t, kSpectrumBands>;

// The first bands of `frame` (missing ones silent), each held to 0..2000: the
// feed's levels are differences of the recorder's values and can be far
// outside that.
constexpr SpectrumBands ClampedBands(std::span<const std::int32_t> frame) {
  SpectrumBands bands{};
  for (std::size_t i = 0; i < bands.size() && i < frame.size(); ++i) bands[i] = std::clamp(frame[i], 0, kFullBand);
  return bands;
}

// How far a bar stays from full: 600 for silence, 0 for a full band, below 0
// for a sum of bands louder than one.
constexpr std::int64_t Extent(std::int64_t value) { return kSilentExtent - value * kSilentExtent / kFullBand; }

// The extent of the visualisations other than the column bars: a value louder
// than a full band reads as 500, nearly silent, instead of past the full bar.
// Odd, and kept on purpose: an overdriven group of bands goes almost dark.
// After the clamp only the sums of band groups get there.
constexpr std::int64_t FoldedExtent(std::int64_t value) {
  constexpr std::int64_t kOverdriven = 500;
  const std::int64_t extent = Extent(value);
  return extent < 0 ? kOverdriven : extent;
}

}  // namespace brontal::lighting
