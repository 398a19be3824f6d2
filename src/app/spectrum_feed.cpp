#include "app/spectrum_feed.h"

#include <algorithm>

namespace brontal {
namespace {

constexpr std::uint64_t kFramesBetweenHandOvers = 2;

}  // namespace

SpectrumHandOver SpectrumFeed::Take(const audio_link::Spectrum& frame, std::size_t keyboards, std::size_t mice) {
  ++keyboard_frames_;
  ++mouse_frames_;
  const audio_link::BandLevels levels = reduction_.Next(frame);

  SpectrumHandOver hand_over;
  if (keyboards > 0 && keyboard_frames_ > kFramesBetweenHandOvers) {
    hand_over.keyboard.emplace();
    std::copy(levels.begin(), levels.end(), hand_over.keyboard->begin());
    keyboard_frames_ = 0;
  }
  if (mice > 0 && mouse_frames_ > kFramesBetweenHandOvers) {
    hand_over.mouse.emplace();
    std::copy(levels.begin() + 1, levels.begin() + kMouseBands, hand_over.mouse->begin());
    mouse_frames_ = 0;
  }
  return hand_over;
}

}  // namespace brontal
