#pragma once

#include <chrono>
#include <cstdint>
#include <set>
#include <utility>

#include "devices/keyboard/keyboard_picture.h"
#include "devices/lighting/animation_state.h"
#include "devices/lighting/keyboard_modes.h"
#include "devices/lighting/keyboard_start_steps.h"
#include "devices/lighting/light_engine.h"
#include "devices/lighting/light_tables.h"

namespace brontal::lighting::test {

inline constexpr std::uint16_t kFullSize = 0x50EB;
inline constexpr std::uint16_t kTenkeyless = 0x5100;
inline constexpr std::uint16_t kCompact = 0x5101;
inline constexpr std::size_t kKeyboardLights = 126;

constexpr std::uint8_t AlphaOf(std::uint32_t colour) { return static_cast<std::uint8_t>(colour >> 24); }
constexpr Rgb RgbOf(std::uint32_t colour) {
  return {static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
          static_cast<std::uint8_t>(colour)};
}

struct Look {
  std::uint8_t mode = 0;
  std::uint8_t brightness = 4;
  std::uint8_t speed = 4;
  std::uint8_t fx = 1;
  std::uint8_t multi_color = 0;
  Rgb colour{10, 20, 30};
};

inline EngineSettings SettingsOf(const Look& look) {
  EngineSettings settings;
  settings.light.select_item = look.mode;
  settings.light.light = look.brightness;
  settings.light.speed = look.speed;
  settings.light.fx = look.fx;
  settings.light.multi_color = look.multi_color;
  settings.light.red = look.colour.red;
  settings.light.green = look.colour.green;
  settings.light.blue = look.colour.blue;
  return settings;
}

// The logical keys a keyboard product has, as its picture places them.
inline std::set<std::size_t> ModelKeys(std::uint16_t product_id) {
  std::set<std::size_t> keys;
  for (const KeyPlace& place : KeyPictureLayout(KeyPictureVariantOf(product_id).value_or(-1))) {
    keys.insert(place.logical_key);
  }
  return keys;
}

// An engine ticked on a virtual clock: each Tick is one unit later, or
// `step` later when the test wants a faster clock.
class ClockedEngine {
 public:
  ClockedEngine(Family family, std::uint16_t product_id, std::size_t lights, std::uint32_t seed = 1)
      : engine(family, product_id, lights, seed) {}

  std::chrono::milliseconds Now() const { return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed_); }
  bool Tick(std::chrono::microseconds step = kAnimationUnit) {
    elapsed_ += step;
    return engine.Tick(Now());
  }
  int TickTimes(int units) {
    int steps = 0;
    for (int i = 0; i < units; ++i) steps += Tick() ? 1 : 0;
    return steps;
  }
  std::uint32_t At(std::size_t light) const { return engine.colours()[light]; }

  LightEngine engine;

 private:
  std::chrono::microseconds elapsed_{0};
};

// A keyboard's animation state run one mode step at a time, for tests that
// read its levels and wave field.
struct SteppedKeyboard {
  explicit SteppedKeyboard(std::uint16_t product_id = kFullSize)
      : state(Family::kKeyboard, product_id, kKeyboardLights, 1) {}

  // The animation restarts, as a new mode does.
  void Start(EngineSettings settings) {
    state.settings = std::move(settings);
    state.Reset();
    RunKeyboardStartStep(state);
  }
  void Step(int times = 1) {
    for (int i = 0; i < times; ++i) RunKeyboardStep(state, {});
  }
  std::uint8_t Key(std::size_t column, std::size_t row) const { return state.geometry->grid[column][row]; }

  AnimationState state;
};

}  // namespace brontal::lighting::test
