#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "devices/lighting/spectrum_bands.h"
#include "profiles/profile_records.h"

// The host-side lighting animation of one device: it computes one colour per
// light position from the live lighting state, one time unit at a time.
//
// Time: the engine counts in units of 1/64 s (kAnimationUnit). A mode's step
// interval is in these units; an interval of 0 steps on every unit. Periods
// given in milliseconds (blink, effect-list durations) are measured on the
// `now` handed to Tick, so the same engine runs on the steady clock of an
// animation thread and on the virtual clock of a test or a preview.
//
// The engine is not thread-safe: one thread (the device's animation thread,
// or a test) configures and ticks it. A step never allocates.
namespace brontal::lighting {

inline constexpr std::chrono::microseconds kAnimationUnit{15625};
// Per-light arrays are this long whatever the device has.
inline constexpr std::size_t kMaxLights = 170;

enum class Family { kKeyboard, kMouse, kMousePad, kHeadset };

// A keyboard key going down or up, as its events number them.
enum class KeyEdge : std::uint8_t { kPress = 1, kRelease = 2 };

// What the device hands the engine when its lighting changes.
struct EngineSettings {
  // Mode index ("SelectItem"), brightness 0..4, speed 0..4, direction "Fx",
  // multicolour, colour. Mice, pads and headsets put the mode index and speed
  // of their decoded settings record here.
  LightSetting light{};
  AudioLightSetting audio{};                 // keyboard, mode 29
  std::vector<LightStep> effect_list;        // the selected custom effect's steps
  std::vector<LedEffect> light_list;         // keyboard: one record per light ("LightList")
  std::vector<CustomColour> custom_colours;  // keyboard mode 20: by logical key, as loaded
};

class LightEngine {
 public:
  // `product_id` picks a keyboard's geometry (others ignore it); `light_count`
  // is the size of the colour vector (at most kMaxLights); `seed` feeds the
  // random colour indexes.
  LightEngine(Family family, std::uint16_t product_id, std::size_t light_count, std::uint32_t seed);
  ~LightEngine();
  LightEngine(const LightEngine&) = delete;
  LightEngine& operator=(const LightEngine&) = delete;

  // New live settings. With `restart` the animation state is reset (levels,
  // colour indexes, reaction states, wave field, counters and the colours
  // cleared, the phase 0) and the mode's start step runs: what the keyboard does when its
  // settings decode finds a new mode, or mode 20.
  void Configure(EngineSettings settings, bool restart);

  // One time unit has passed; `now` is the clock the millisecond periods are
  // measured on. Runs the mode's step when the counter reaches the interval
  // (effect-list playback on every unit), then the keyboard's per-light
  // effects. True when the mode's step (or the playback) ran.
  bool Tick(std::chrono::milliseconds now);

  // One entry per light: 0xAARRGGBB, alpha scaling the colour when a frame is
  // built.
  std::span<const std::uint32_t> colours() const;

  // The step interval of the live mode at the live speed, in units.
  int StepInterval() const;

  // A click of the mouse (event 0x0403): mouse mode 6 starts its fade.
  void OnMouseClick();

  // The audio feed's colour block; keyboard mode 30 shows its first three
  // values (red, green, blue). Zero until set; kept across Configure.
  void SetColourBlock(std::array<std::uint8_t, 6> block);

  // A keyboard key (logical key) pressed or released: the reaction of the
  // live mode (7 fade, 25 splash, 8 and 9 seed the wave field on presses).
  void OnKeyReaction(std::uint8_t key, KeyEdge edge);

  // The audio feed's band levels (the first kSpectrumBands of `bands`, each
  // held to 0..2000) replace the keyboard's spectrum, which the next music
  // step takes. In the music mode's beat ripples they go to the beat
  // detection at once instead.
  void TakeSpectrum(std::span<const std::int32_t> bands);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace brontal::lighting
