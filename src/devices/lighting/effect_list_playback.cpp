#include "devices/lighting/effect_list_playback.h"

#include "devices/lighting/keyboard_modes.h"
#include "devices/lighting/mouse_modes.h"
#include "devices/lighting/pad_modes.h"
#include "devices/lighting/whole_device_effects.h"

namespace brontal::lighting {
namespace {

enum EntryEffect : std::uint8_t { kBreathing = 0, kStatic = 1, kBlink = 2, kWave = 4, kColourCycle = 5 };

int IntervalOf(const AnimationState& state, const LightStep& entry) {
  return state.family == Family::kKeyboard ? StandardKeyboardInterval(entry.speed)
                                           : StandardAccessoryInterval(entry.speed);
}

void StepWave(AnimationState& state, const LightSetting& look) {
  switch (state.family) {
    case Family::kKeyboard: StepColumnWave(state, look); break;
    case Family::kMouse: StepGroupWave(state, look); break;
    case Family::kMousePad:
    case Family::kHeadset: StepLightWave(state, look); break;
  }
}

// True when the entry to play starts at `now`.
bool MoveOn(AnimationState& state, std::chrono::milliseconds now) {
  const auto& list = state.settings.effect_list;
  PlaybackState& playback = state.playback;
  if (playback.entry >= list.size()) {
    playback.entry = 0;
    playback.entry_start.reset();
  }
  if (playback.entry_start) {
    const std::chrono::milliseconds duration(list[playback.entry].time);
    if (now - *playback.entry_start < duration) return false;
    playback.entry = (playback.entry + 1) % list.size();
  }
  playback.entry_start = now;
  playback.counter = 0;
  state.phase = 0;
  state.colour_index = 0;
  state.four_colour_step = 0;
  state.blink = {};
  return true;
}

}  // namespace

void StepEffectList(AnimationState& state, std::chrono::milliseconds now) {
  if (state.settings.effect_list.empty()) {
    ShowOff(state);
    return;
  }
  const bool starts = MoveOn(state, now);
  const LightStep& entry = state.settings.effect_list[state.playback.entry];
  if (!starts && ++state.playback.counter < IntervalOf(state, entry)) return;
  state.playback.counter = 0;

  const LightSetting look = LookOf(entry);
  switch (entry.mode) {
    case kBreathing: StepBreathing(state, look); break;
    case kStatic: ShowStatic(state, look); break;
    case kBlink: StepBlink(state, look, now); break;
    case kWave: StepWave(state, look); break;
    case kColourCycle: StepColourCycle(state, look); break;
    default: break;
  }
}

}  // namespace brontal::lighting
