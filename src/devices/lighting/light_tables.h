#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The colour and level tables every lighting effect reads, and the step
// intervals of the modes. The same for every device.
namespace brontal::lighting {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr std::size_t kWheelSize = 192;

namespace table_detail {

inline constexpr std::array<std::uint8_t, 32> kRise = {1,   3,   5,   7,   10,  14,  18,  22,  26,  32,  38,
                                                       44,  50,  57,  65,  73,  81,  89,  99,  109, 119, 129,
                                                       140, 152, 164, 176, 188, 200, 213, 227, 241, 255};
inline constexpr std::array<std::uint8_t, 32> kFall = {248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124,
                                                       114, 104, 94,  85,  77,  69,  61,  53,  47,  41,  35,
                                                       29,  24,  20,  16,  12,  8,   6,   4,   2,   0};
// The rising half of a breath.
inline constexpr std::array<std::uint8_t, 64> kBreathRise = {
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  12,  14,  16,  18,  20,  22,  24,  27,  30,  33,  36,
    39,  42,  45,  49,  53,  57,  61,  65,  69,  73,  77,  81,  85,  89,  94,  99,  104, 109, 114, 119, 124, 129,
    134, 140, 146, 152, 158, 164, 170, 176, 182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255};
inline constexpr std::size_t kWaveStart = 16;  // the breath's 22

}  // namespace table_detail

// A closed hue circle: red, yellow, green, cyan, blue, magenta, 32 steps each.
inline constexpr std::array<Rgb, kWheelSize> kColourWheel = [] {
  using table_detail::kFall;
  using table_detail::kRise;
  std::array<Rgb, kWheelSize> wheel{};
  for (std::size_t j = 0; j < 32; ++j) {
    wheel[j] = {255, kRise[j], 0};
    wheel[32 + j] = {kFall[j], 255, 0};
    wheel[64 + j] = {0, 255, kRise[j]};
    wheel[96 + j] = {0, kFall[j], 255};
    wheel[128 + j] = {kRise[j], 0, 255};
    wheel[160 + j] = {255, 0, kFall[j]};
  }
  return wheel;
}();

// Some effects step colour indexes past the wheel (up to 255); they read it
// modulo its size.
constexpr Rgb WheelColour(std::size_t index) { return kColourWheel[index % kWheelSize]; }

// Moves a colour index on by `step`; at the wheel's end it starts again at 0.
constexpr std::uint8_t NextWheelIndex(std::uint8_t index, std::uint8_t step) {
  const std::size_t next = std::size_t{index} + step;
  return next >= kWheelSize ? 0 : static_cast<std::uint8_t>(next);
}

inline constexpr std::array<std::uint8_t, 128> kBreathCurve = [] {
  std::array<std::uint8_t, 128> curve{};
  for (std::size_t i = 0; i < 64; ++i) {
    curve[i] = table_detail::kBreathRise[i];
    curve[127 - i] = table_detail::kBreathRise[i];
  }
  return curve;
}();

// The breath from 22 up to full and back, so a wave never goes dark.
inline constexpr std::array<std::uint8_t, 96> kWaveCurve = [] {
  std::array<std::uint8_t, 96> curve{};
  for (std::size_t i = 0; i < 48; ++i) {
    curve[i] = table_detail::kBreathRise[table_detail::kWaveStart + i];
    curve[95 - i] = curve[i];
  }
  return curve;
}();

// A flash: a quick rise to full at 24, the breath's descent squeezed into the
// 40 steps to 64, then dark.
inline constexpr std::array<std::uint8_t, 192> kFadeCurve = [] {
  constexpr std::array<std::uint8_t, 24> kAttack = {0,   4,   8,   14,  22,  33,  45,  61,  77,  84,  100, 110,
                                                    120, 130, 140, 150, 158, 166, 175, 182, 191, 204, 220, 234};
  std::array<std::uint8_t, 192> curve{};
  for (std::size_t i = 0; i < kAttack.size(); ++i) curve[i] = kAttack[i];
  constexpr std::size_t kDecay = 40;
  for (std::size_t j = 0; j <= kDecay; ++j) {
    curve[24 + j] = table_detail::kBreathRise[((kDecay - j) * 63 + kDecay / 2) / kDecay];
  }
  return curve;
}();

inline constexpr std::array<std::uint8_t, 5> kBrightnessLevels = {0, 80, 135, 195, 255};

inline constexpr std::array<Rgb, 4> kFourColours = {{{0, 255, 180}, {0, 255, 0}, {255, 255, 255}, {255, 0, 0}}};

// Blink periods by speed 0..4, in milliseconds.
inline constexpr std::array<int, 5> kBlinkPeriodsMs = {1600, 1200, 800, 400, 200};

// Levels and speeds outside 0..4 read as 4.
constexpr std::uint8_t BrightnessLevel(std::uint8_t brightness) {
  return kBrightnessLevels[brightness < kBrightnessLevels.size() ? brightness : kBrightnessLevels.size() - 1];
}
int BlinkPeriodMs(std::uint8_t speed);

// Step intervals in animation units by speed 0..4: the keyboard's for most of
// its modes, and the one of mice, mouse pads and headsets.
int StandardKeyboardInterval(std::uint8_t speed);
int StandardAccessoryInterval(std::uint8_t speed);
// By mode: keyboard mode 29 steps whenever more than one unit has passed,
// whatever the speed.
int KeyboardStepInterval(std::uint8_t mode, std::uint8_t speed);
int MouseStepInterval(std::uint8_t mode, std::uint8_t speed);

}  // namespace brontal::lighting
