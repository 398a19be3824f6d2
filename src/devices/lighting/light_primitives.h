#pragma once

#include <cstdint>

// The two small steps most effects are built from, in 8-bit arithmetic: a
// phase that runs backwards past 0 wraps to a large value and is caught by
// the range check.
namespace brontal::lighting {

// Moves `phase` by `step` within 0..n-1: forwards (restarting at 0) when
// `direction` is non-zero, else backwards (restarting at n - step).
constexpr std::uint8_t StepPhase(std::uint8_t direction, std::uint8_t n, std::uint8_t phase, std::uint8_t step) {
  if (direction != 0) {
    const auto next = static_cast<std::uint8_t>(phase + step);
    return next >= n ? 0 : next;
  }
  const auto next = static_cast<std::uint8_t>(phase - step);
  return next >= n ? static_cast<std::uint8_t>(n - step) : next;
}

inline constexpr std::uint8_t kMusicMode = 29;
// A key press starts a ring in the wave field; the key reactions and the
// wave field's modes both know it.
inline constexpr std::uint8_t kRippleMode = 8;

// One step of a light's fade-out: large levels drop fast, the tail slowly so
// a trail lingers. The music mode fades in finer steps; mode 0 drops its
// middle range a little faster than the others.
constexpr std::uint8_t Fade(std::uint8_t level, std::uint8_t mode) {
  auto minus = [level](int amount) { return static_cast<std::uint8_t>(level - amount); };
  if (mode == kMusicMode) {
    if (level >= 144) return minus(45);
    if (level >= 128) return minus(40);
    if (level >= 112) return minus(35);
    if (level >= 96) return minus(30);
    if (level >= 80) return minus(25);
    if (level >= 64) return minus(20);
    if (level >= 32) return minus(10);
    if (level >= 17) return minus(5);
    return level > 0 ? minus(1) : 0;
  }
  if (level >= 128) return minus(40);
  if (level >= 64) return minus(30);
  if (level >= 32) return minus(mode == 0 ? 15 : 10);
  if (level >= 17) return minus(8);
  return level > 0 ? minus(1) : 0;
}

}  // namespace brontal::lighting
