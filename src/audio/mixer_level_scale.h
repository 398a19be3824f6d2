#pragma once

namespace brontal::audio {

// How a mixer control's values map to the 0..100 levels desktop mixers show.
// The mapping is alsamixer's: where the control tells its range in dB, a
// level is the cube root of the amplitude relative to the maximum
// (10^((dB - max) / 60)), stretched so that the minimum is 0; a range of
// 24 dB or less is linear in dB; a control without dB is linear in its raw
// values.
class MixerLevelScale {
 public:
  // Values are the control's raw steps.
  static MixerLevelScale Raw(long min, long max);
  // Values are in 0.01 dB; a minimum at or below kMutedDb mutes.
  static MixerLevelScale Decibels(long min_centibel, long max_centibel);

  static constexpr long kMutedDb = -9999999;

  bool in_db() const { return kind_ != Kind::kRaw; }
  // The level of a value, 0..100.
  int LevelOf(long value) const;
  // The value a level (clamped to 0..100) asks for; the ends give the ends.
  long ValueOf(int level) const;

 private:
  enum class Kind { kRaw, kLinearDb, kCubicDb };
  MixerLevelScale(Kind kind, long min, long max) : kind_(kind), min_(min), max_(max) {}
  // The cube-root amplitude the minimum stands for: 0 where it mutes.
  double CubicFloor() const;

  Kind kind_;
  long min_;
  long max_;
};

}  // namespace brontal::audio
