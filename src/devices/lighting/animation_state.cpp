#include "devices/lighting/animation_state.h"

#include <algorithm>

#include "devices/key_action_tables.h"
#include "devices/lighting/light_primitives.h"

namespace brontal::lighting {

bool BlinkState::Advance(std::chrono::milliseconds now, std::chrono::milliseconds period) {
  if (!last_flip) {
    last_flip = now;
    on = true;
    return false;
  }
  if (now - *last_flip < period) return false;
  last_flip = now;
  on = !on;
  return true;
}

AnimationState::AnimationState(Family family_of, std::uint16_t product_id, std::size_t light_count, std::uint32_t seed)
    : family(family_of),
      geometry(family_of == Family::kKeyboard ? KeyboardGeometryOf(product_id) : nullptr),
      shared_geometry(family_of == Family::kKeyboard ? &SharedGeometry() : nullptr),
      colours(std::min(light_count, kMaxLights)),
      random_(seed) {
  auto add = [this](std::size_t light) {
    if (light >= colours.size() || paintable_[light]) return;
    paintable_[light] = true;
    lights_[light_total_++] = static_cast<std::uint8_t>(light);
  };
  if (family != Family::kKeyboard) {
    for (std::size_t i = 0; i < colours.size(); ++i) add(i);
  } else if (geometry != nullptr) {
    for (const std::uint8_t key : geometry->sweep) {
      if (key < kLogicalKeyCount) add(key);
    }
  } else {
    for (std::size_t key = 0; key < kLogicalKeyCount; ++key) add(key);
  }
}

void AnimationState::Reset() {
  phase = 0;
  second_phase = 0;
  colour_index = 0;
  four_colour_step = 0;
  blink = {};
  levels.fill(0);
  colour_indexes.fill(0);
  reactions.fill(0);
  held.fill(0);
  wave = {};
  key_colours.fill({});
  counter = 0;
  playback = {};
  per_light = {};
  std::ranges::fill(colours, 0u);
}

void AnimationState::Paint(std::size_t light, Rgb colour, std::uint8_t alpha) {
  if (IsLight(light)) colours[light] = PackColour(colour, alpha);
}

void AnimationState::PaintAll(Rgb colour, std::uint8_t alpha) {
  for (const std::uint8_t light : Lights()) colours[light] = PackColour(colour, alpha);
}

std::uint8_t AnimationState::RandomColourIndex() { return static_cast<std::uint8_t>(RandomBelow(kWheelSize)); }

std::size_t AnimationState::RandomBelow(std::size_t n) { return n == 0 ? 0 : random_() % n; }

void ShowLevels(AnimationState& state, const LightSetting& look) {
  for (const std::uint8_t key : state.Lights()) {
    state.Paint(key, ColourOf(look, state.colour_indexes[key]), LevelAlpha(look, state.levels[key]));
  }
}

void FadeAll(AnimationState& state, std::uint8_t mode) {
  for (const std::uint8_t key : state.Lights()) state.levels[key] = Fade(state.levels[key], mode);
}

}  // namespace brontal::lighting
