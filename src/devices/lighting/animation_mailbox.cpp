#include "devices/lighting/animation_mailbox.h"

#include <utility>

namespace brontal::lighting {

void AnimationMailbox::PostSettings(EngineSettings settings, bool restart) {
  std::lock_guard lock(mutex_);
  settings_ = std::move(settings);
  restart_ = restart_ || restart;
}

void AnimationMailbox::PostClick() {
  std::lock_guard lock(mutex_);
  ++clicks_;
}

void AnimationMailbox::PostKey(std::uint8_t key, KeyEdge edge) {
  std::lock_guard lock(mutex_);
  if (keys_.size() >= kMaxPendingKeys) keys_.pop_front();
  keys_.push_back({key, edge});
}

void AnimationMailbox::PostSpectrum(std::span<const std::int32_t> bands) {
  SpectrumBands copy{};
  for (std::size_t i = 0; i < copy.size() && i < bands.size(); ++i) copy[i] = bands[i];
  std::lock_guard lock(mutex_);
  spectrum_ = copy;
}

void AnimationMailbox::PostColourBlock(std::array<std::uint8_t, 6> block) {
  std::lock_guard lock(mutex_);
  colour_block_ = block;
}

void AnimationMailbox::DrainInto(LightEngine& engine) {
  std::optional<EngineSettings> settings;
  bool restart = false;
  int clicks = 0;
  std::deque<KeyEvent> keys;
  std::optional<SpectrumBands> spectrum;
  std::optional<std::array<std::uint8_t, 6>> colour_block;
  {
    std::lock_guard lock(mutex_);
    settings.swap(settings_);
    restart = std::exchange(restart_, false);
    clicks = std::exchange(clicks_, 0);
    keys.swap(keys_);
    spectrum.swap(spectrum_);
    colour_block.swap(colour_block_);
  }
  if (settings) engine.Configure(std::move(*settings), restart);
  if (colour_block) engine.SetColourBlock(*colour_block);
  for (; clicks > 0; --clicks) engine.OnMouseClick();
  for (const KeyEvent& event : keys) engine.OnKeyReaction(event.key, event.edge);
  if (spectrum) engine.TakeSpectrum(*spectrum);
}

}  // namespace brontal::lighting
