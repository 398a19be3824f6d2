#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "devices/lighting/light_engine.h"
#include "devices/lighting/light_tables.h"

// The effect that several devices show together: one colour for every light
// of every device that has joined, computed by the host one time unit at a
// time (kAnimationUnit). Like LightEngine it is not thread-safe and reads its
// time from the `now` handed to Tick, so a test drives it on a virtual clock.
namespace brontal::lighting {

enum class SyncEffectType : std::uint8_t { kBreathing = 0, kStatic, kBlinking, kColourCycle, kOff };
inline constexpr std::size_t kSyncEffectCount = 5;

// What the effect looks like: taken from the lighting record of the device
// whose mode chose the effect.
struct SyncLook {
  SyncEffectType type = SyncEffectType::kBreathing;
  std::uint8_t brightness = 0;  // 0..4
  std::uint8_t speed = 0;       // 0..4
  std::uint8_t direction = 0;
  std::uint8_t multicolour = 0;
  Rgb colour{};
  friend bool operator==(const SyncLook&, const SyncLook&) = default;
};
SyncLook SyncLookOf(SyncEffectType type, const LightSetting& record);

// What every light shows after a step: the colour and its level (0..255).
struct SyncColour {
  Rgb colour{};
  std::uint8_t level = 0;
  friend bool operator==(const SyncColour&, const SyncColour&) = default;
};

class SyncEffect {
 public:
  // One time unit has passed; `now` measures the blink period. The colour
  // when the effect stepped (every step period of the look's speed, in units).
  std::optional<SyncColour> Tick(const SyncLook& look, std::chrono::milliseconds now);

 private:
  SyncColour Step(const SyncLook& look, std::chrono::milliseconds now);

  int counter_ = 0;
  std::uint8_t phase_ = 0;  // of the breathing curve
  std::uint8_t cycle_index_ = 0;
  std::uint8_t breath_index_ = 0;
  std::uint8_t blink_position_ = 0;
  bool blink_on_ = false;
  std::optional<std::chrono::milliseconds> last_toggle_;  // none: the first blink step lights up
};

// Each family's lighting mode (the record's mode index) for each effect.
std::uint8_t SyncModeOf(Family family, SyncEffectType type);
// The effect a family's mode stands for; nothing for a mode without one.
std::optional<SyncEffectType> SyncEffectOfMode(Family family, std::uint8_t mode);

}  // namespace brontal::lighting
