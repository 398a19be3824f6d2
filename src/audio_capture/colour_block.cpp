#include "audio_capture/colour_block.h"

#include <algorithm>
#include <cstdlib>

namespace brontal::audio_capture {
namespace {

constexpr std::int32_t kTopLevel = 9;

std::uint8_t Channel(std::int32_t level, std::uint8_t loudness) {
  return static_cast<std::uint8_t>(std::clamp(level, 0, kTopLevel) * loudness / kTopLevel);
}

}  // namespace

audio_link::ColourBlock MakeColourBlock(const audio_link::StyleColour& style, const AnalysedFrame& frame) {
  const auto peak = [&](std::size_t band) { return std::abs(frame.spectrum[band * kValuesPerBand]); };
  std::size_t loudest = 0;
  for (std::size_t band = 1; band < kBandCount; ++band)
    if (peak(band) > peak(loudest)) loudest = band;
  return {Channel(style.red, frame.loudness),
          Channel(style.green, frame.loudness),
          Channel(style.blue, frame.loudness),
          static_cast<std::uint8_t>(loudest),
          frame.loudness,
          0};
}

}  // namespace brontal::audio_capture
