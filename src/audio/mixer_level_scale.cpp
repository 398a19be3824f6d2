#include "audio/mixer_level_scale.h"

#include <algorithm>
#include <cmath>

namespace brontal::audio {
namespace {

constexpr long kLinearDbRange = 2400;  // 24 dB in 0.01 dB

}  // namespace

MixerLevelScale MixerLevelScale::Raw(long min, long max) { return {Kind::kRaw, min, max}; }

MixerLevelScale MixerLevelScale::Decibels(long min_centibel, long max_centibel) {
  return {max_centibel - min_centibel <= kLinearDbRange ? Kind::kLinearDb : Kind::kCubicDb, min_centibel, max_centibel};
}

double MixerLevelScale::CubicFloor() const {
  return min_ <= kMutedDb ? 0.0 : std::pow(10.0, static_cast<double>(min_ - max_) / 6000.0);
}

int MixerLevelScale::LevelOf(long value) const {
  if (max_ <= min_) return 0;
  value = std::clamp(value, min_, max_);
  double fraction = 0;
  if (kind_ == Kind::kCubicDb) {
    const double floor = CubicFloor();
    fraction = (std::pow(10.0, static_cast<double>(value - max_) / 6000.0) - floor) / (1.0 - floor);
  } else {
    fraction = static_cast<double>(value - min_) / static_cast<double>(max_ - min_);
  }
  return static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * 100.0));
}

long MixerLevelScale::ValueOf(int level) const {
  if (level <= 0 || max_ <= min_) return min_;
  if (level >= 100) return max_;
  const double fraction = level / 100.0;
  if (kind_ == Kind::kCubicDb) {
    const double floor = CubicFloor();
    return std::lround(6000.0 * std::log10(fraction * (1.0 - floor) + floor)) + max_;
  }
  return std::lround(fraction * static_cast<double>(max_ - min_)) + min_;
}

}  // namespace brontal::audio
