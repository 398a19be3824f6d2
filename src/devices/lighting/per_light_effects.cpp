#include "devices/lighting/per_light_effects.h"

#include "devices/lighting/light_primitives.h"

namespace brontal::lighting {
namespace {

enum LightEffect : std::uint8_t { kBreathing = 0, kStatic = 1, kBlink = 2, kColourCycle = 3, kDark = 4 };

constexpr std::uint8_t kLastBreathPhase = 127;
constexpr std::uint8_t kBlinkColourAdvance = 14;

void Apply(AnimationState& state, std::size_t light, const LedEffect& record, std::chrono::milliseconds now) {
  PerLightState& own = state.per_light;
  std::uint8_t& phase = own.phases[light];
  std::uint8_t& colour_index = own.colour_indexes[light];
  const LightSetting look = LookOf(record);
  switch (record.mode) {
    case kBreathing: {
      const int next = phase + record.speed + 4;
      if (next > kLastBreathPhase) {
        phase = 0;
        colour_index = NextWheelIndex(colour_index, 1);
      } else {
        phase = static_cast<std::uint8_t>(next);
      }
      state.Paint(light, ColourOf(look, colour_index), LevelAlpha(look, kBreathCurve[phase]));
      break;
    }
    case kStatic: state.Paint(light, ColourOf(look, colour_index), Brightness(look)); break;
    case kBlink: {
      BlinkState& blink = own.blinks[light];
      if (blink.Advance(now, std::chrono::milliseconds(BlinkPeriodMs(record.speed)))) {
        colour_index = NextWheelIndex(colour_index, kBlinkColourAdvance);
      }
      if (blink.on) {
        state.Paint(light, ColourOf(look, colour_index), Brightness(look));
      } else {
        state.Paint(light, {}, 0);
      }
      break;
    }
    case kColourCycle:
      if (++own.counters[light] >= StandardKeyboardInterval(record.speed)) {
        own.counters[light] = 0;
        phase = StepPhase(record.direction, static_cast<std::uint8_t>(kWheelSize), phase, 1);
      }
      state.Paint(light, WheelColour(phase), Brightness(look));
      break;
    case kDark: state.Paint(light, {}, 0); break;
    default: break;
  }
}

}  // namespace

void ApplyPerLightEffects(AnimationState& state, std::chrono::milliseconds now) {
  const auto& records = state.settings.light_list;
  for (const std::uint8_t light : state.Lights()) {
    if (light < records.size() && records[light].present == 1) Apply(state, light, records[light], now);
  }
}

}  // namespace brontal::lighting
