#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <span>
#include <vector>

#include "devices/lighting/keyboard_geometry.h"
#include "devices/lighting/light_engine.h"
#include "devices/lighting/light_tables.h"
#include "devices/lighting/spectrum_bands.h"
#include "devices/lighting/wave_field.h"

// Everything one device's animation keeps between units, and the few ways
// the effects paint the colour vector.
namespace brontal::lighting {

using LightArray = std::array<std::uint8_t, kMaxLights>;

// A blink flips when its period has passed since the last flip, so however
// often it is stepped it never flips faster.
struct BlinkState {
  bool on = false;
  std::optional<std::chrono::milliseconds> last_flip;

  // True when the blink flipped at `now`; the first call starts it, on.
  bool Advance(std::chrono::milliseconds now, std::chrono::milliseconds period);
};

struct PlaybackState {
  std::size_t entry = 0;
  std::optional<std::chrono::milliseconds> entry_start;
  int counter = 0;
};

// The keyboard's per-light effects keep their own rhythm beside the mode's.
struct PerLightState {
  LightArray phases{};
  LightArray colour_indexes{};
  LightArray counters{};
  std::array<BlinkState, kMaxLights> blinks{};
};

class AnimationState {
 public:
  AnimationState(Family family, std::uint16_t product_id, std::size_t light_count, std::uint32_t seed);

  // Clears what an animation accumulates (levels, colour indexes, reactions,
  // held keys, the wave field, phases, counters, the colour vector);
  // settings, the audio feed's spectrum and colour block and the random
  // source stay.
  void Reset();

  // The lights the effects write: a keyboard's keys of its model (all 126
  // logical keys when the model is unknown), every light of other devices.
  std::span<const std::uint8_t> Lights() const { return {lights_.data(), light_total_}; }
  bool IsLight(std::size_t light) const { return light < kMaxLights && paintable_[light]; }
  // Paints only lights of Lights(); a keyboard's keys its model lacks keep
  // their zeros.
  void Paint(std::size_t light, Rgb colour, std::uint8_t alpha);
  void PaintAll(Rgb colour, std::uint8_t alpha);
  std::uint8_t RandomColourIndex();
  std::size_t RandomBelow(std::size_t n);
  std::uint8_t mode() const { return settings.light.select_item; }

  const Family family;
  const KeyboardGeometry* const geometry;  // keyboards with a key picture only
  // Keyboards only; built with the state, so that no step allocates.
  const SharedKeyboardGeometry* const shared_geometry;

  EngineSettings settings;
  std::vector<std::uint32_t> colours;  // 0xAARRGGBB

  std::uint8_t phase = 0;
  std::uint8_t second_phase = 0;
  std::uint8_t colour_index = 0;
  std::uint8_t four_colour_step = 0;
  BlinkState blink;
  LightArray levels{};
  LightArray colour_indexes{};
  LightArray reactions{};  // 0 idle, 1 rising, 2 falling
  LightArray held{};       // keys held down, for the splash
  WaveField wave;
  std::array<Rgb, kMaxLights> key_colours{};  // keyboard mode 20, as loaded
  std::array<std::uint8_t, 6> colour_block{};
  SpectrumBands spectrum{};  // held to 0..2000; the music steps take it
  int counter = 0;
  PlaybackState playback;
  PerLightState per_light;

 private:
  std::array<std::uint8_t, kMaxLights> lights_{};
  std::size_t light_total_ = 0;
  std::array<bool, kMaxLights> paintable_{};
  std::minstd_rand random_;
};

constexpr std::uint32_t PackColour(Rgb colour, std::uint8_t alpha) {
  return static_cast<std::uint32_t>(alpha) << 24 | static_cast<std::uint32_t>(colour.red) << 16 |
         static_cast<std::uint32_t>(colour.green) << 8 | colour.blue;
}

constexpr Rgb UnpackColour(std::uint32_t colour) {
  return {static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
          static_cast<std::uint8_t>(colour)};
}

constexpr Rgb LiveColour(const LightSetting& look) { return {look.red, look.green, look.blue}; }

// The wheel at `colour_index` with multicolour, else the look's colour.
constexpr Rgb ColourOf(const LightSetting& look, std::size_t colour_index) {
  return look.multi_color != 0 ? WheelColour(colour_index) : LiveColour(look);
}

constexpr std::uint8_t Brightness(const LightSetting& look) { return BrightnessLevel(look.light); }

// The look of an effect record (LightStep, LedEffect), which carries its own
// brightness, speed, direction, multicolour flag and colour.
template <typename Record>
constexpr LightSetting LookOf(const Record& record) {
  LightSetting look;
  look.light = record.brightness;
  look.speed = record.speed;
  look.fx = record.direction;
  look.multi_color = record.multi_color;
  look.red = record.red;
  look.green = record.green;
  look.blue = record.blue;
  return look;
}

// A level (0..255) scaled by the look's brightness.
constexpr std::uint8_t LevelAlpha(const LightSetting& look, std::uint8_t level) {
  return static_cast<std::uint8_t>(level * Brightness(look) / 256);
}

// Each light of Lights() shows its own level in the colour of its colour
// index.
void ShowLevels(AnimationState& state, const LightSetting& look);
// Each light of Lights() fades one step (Fade with `mode`).
void FadeAll(AnimationState& state, std::uint8_t mode);

}  // namespace brontal::lighting
