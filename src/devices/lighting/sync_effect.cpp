#include "devices/lighting/sync_effect.h"

#include <array>

#include "devices/lighting/light_primitives.h"

namespace brontal::lighting {
namespace {

constexpr std::uint8_t kBreathPhases = 128;
constexpr std::uint8_t kBreathColourStep = 16;
constexpr std::uint8_t kBlinkColourStep = 14;

// Modes by family (keyboard, mouse, mouse pad, headset), by effect.
constexpr std::array<std::array<std::uint8_t, kSyncEffectCount>, 4> kModes = {{
    {5, 6, 23, 4, 28},
    {2, 3, 4, 1, 10},
    {2, 3, 4, 1, 8},
    {2, 3, 4, 1, 8},
}};

const std::array<std::uint8_t, kSyncEffectCount>& ModesOf(Family family) {
  static_assert(static_cast<std::size_t>(Family::kHeadset) == kModes.size() - 1);
  return kModes[static_cast<std::size_t>(family)];
}

}  // namespace

SyncLook SyncLookOf(SyncEffectType type, const LightSetting& record) {
  return {type, record.light, record.speed, record.fx, record.multi_color, {record.red, record.green, record.blue}};
}

std::optional<SyncColour> SyncEffect::Tick(const SyncLook& look, std::chrono::milliseconds now) {
  // The step periods by speed are the accessories' (8, 6, 4, 2, 1 units).
  if (++counter_ < StandardAccessoryInterval(look.speed)) return std::nullopt;
  counter_ = 0;
  return Step(look, now);
}

SyncColour SyncEffect::Step(const SyncLook& look, std::chrono::milliseconds now) {
  const std::uint8_t full = BrightnessLevel(look.brightness);
  switch (look.type) {
    case SyncEffectType::kColourCycle:
      cycle_index_ = NextWheelIndex(cycle_index_, 1);
      return {kColourWheel[cycle_index_], full};
    case SyncEffectType::kBreathing: {
      phase_ = StepPhase(look.direction, kBreathPhases, phase_, 1);
      Rgb colour = look.colour;
      if (look.multicolour != 0) {
        // Near the dark end of the breath the colour moves on.
        if (phase_ < 2) breath_index_ = NextWheelIndex(breath_index_, kBreathColourStep);
        colour = kColourWheel[breath_index_];
      }
      return {colour, static_cast<std::uint8_t>(full * kBreathCurve[phase_] / 256)};
    }
    case SyncEffectType::kBlinking: {
      const std::chrono::milliseconds period{BlinkPeriodMs(look.speed)};
      if (!last_toggle_ || now - *last_toggle_ >= period) {
        blink_on_ = !blink_on_;
        blink_position_ = NextWheelIndex(blink_position_, kBlinkColourStep);
        last_toggle_ = now;
      }
      if (!blink_on_) return {};
      return {look.multicolour != 0 ? kColourWheel[blink_position_] : look.colour, full};
    }
    case SyncEffectType::kStatic: return {look.colour, full};
    case SyncEffectType::kOff: break;
  }
  return {};
}

std::uint8_t SyncModeOf(Family family, SyncEffectType type) { return ModesOf(family)[static_cast<std::size_t>(type)]; }

std::optional<SyncEffectType> SyncEffectOfMode(Family family, std::uint8_t mode) {
  const auto& modes = ModesOf(family);
  for (std::size_t i = 0; i < modes.size(); ++i)
    if (modes[i] == mode) return static_cast<SyncEffectType>(i);
  return std::nullopt;
}

}  // namespace brontal::lighting
