#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <span>

#include "devices/lighting/light_engine.h"

namespace brontal::lighting {

// What other threads hand a device's animation: new settings, mouse clicks,
// key presses and releases, the audio feed's band levels and colour block.
// Any thread posts; the animation thread drains it all into its engine at the
// start of a unit, so the engine itself is only ever touched by that thread.
class AnimationMailbox {
 public:
  // Key events beyond this, not yet drained, push out the oldest: a burst
  // while the animation sleeps stays bounded.
  static constexpr std::size_t kMaxPendingKeys = 64;

  // A restart (new mode, or mode 20) is never lost to a later plain update
  // that lands before the drain.
  void PostSettings(EngineSettings settings, bool restart);
  void PostClick();
  void PostKey(std::uint8_t key, KeyEdge edge);
  // Only the latest spectrum and colour block count.
  void PostSpectrum(std::span<const std::int32_t> bands);
  void PostColourBlock(std::array<std::uint8_t, 6> block);

  // Hands the engine what was posted since the last drain: the settings,
  // the colour block, the clicks, the keys in the order they came, then the
  // spectrum (whose beat detection follows the live mode).
  void DrainInto(LightEngine& engine);

 private:
  struct KeyEvent {
    std::uint8_t key;
    KeyEdge edge;
  };

  std::mutex mutex_;
  std::optional<EngineSettings> settings_;
  bool restart_ = false;
  int clicks_ = 0;
  std::deque<KeyEvent> keys_;
  std::optional<SpectrumBands> spectrum_;
  std::optional<std::array<std::uint8_t, 6>> colour_block_;
};

}  // namespace brontal::lighting
