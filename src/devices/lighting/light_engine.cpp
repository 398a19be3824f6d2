#include "devices/lighting/light_engine.h"

#include <utility>

#include "devices/lighting/animation_state.h"
#include "devices/lighting/beat_detection.h"
#include "devices/lighting/effect_list_playback.h"
#include "devices/lighting/key_reactions.h"
#include "devices/lighting/keyboard_modes.h"
#include "devices/lighting/keyboard_start_steps.h"
#include "devices/lighting/mouse_modes.h"
#include "devices/lighting/pad_modes.h"
#include "devices/lighting/per_light_effects.h"

namespace brontal::lighting {
namespace {

constexpr std::uint8_t kPerKeyColourMode = 20;

bool HasStep(const AnimationState& state) {
  switch (state.family) {
    case Family::kKeyboard: return KeyboardModeHasStep(state.mode());
    case Family::kMouse: return MouseModeHasStep(state.mode());
    case Family::kMousePad:
    case Family::kHeadset: return PadModeHasStep(state.mode());
  }
  return false;
}

int ModeInterval(const AnimationState& state) {
  const std::uint8_t speed = state.settings.light.speed;
  switch (state.family) {
    case Family::kKeyboard: return KeyboardStepInterval(state.mode(), speed);
    case Family::kMouse: return MouseStepInterval(state.mode(), speed);
    case Family::kMousePad:
    case Family::kHeadset: return StandardAccessoryInterval(speed);
  }
  return 0;
}

void RunStep(AnimationState& state, std::chrono::milliseconds now) {
  switch (state.family) {
    case Family::kKeyboard: RunKeyboardStep(state, now); break;
    case Family::kMouse: RunMouseStep(state, now); break;
    case Family::kMousePad:
    case Family::kHeadset: RunPadStep(state, now); break;
  }
}

}  // namespace

struct LightEngine::State : AnimationState {
  using AnimationState::AnimationState;
};

LightEngine::LightEngine(Family family, std::uint16_t product_id, std::size_t light_count, std::uint32_t seed)
    : state_(std::make_unique<State>(family, product_id, light_count, seed)) {}

LightEngine::~LightEngine() = default;

void LightEngine::Configure(EngineSettings settings, bool restart) {
  state_->settings = std::move(settings);
  if (restart) state_->Reset();
  if (state_->family != Family::kKeyboard) return;
  // The per-key colours are the ones loaded: a key painted on the page shows at once.
  if (restart || state_->mode() == kPerKeyColourMode) RunKeyboardStartStep(*state_);
}

bool LightEngine::Tick(std::chrono::milliseconds now) {
  AnimationState& state = *state_;
  bool stepped = false;
  if (!HasStep(state)) {
    StepEffectList(state, now);
    stepped = true;
  } else if (++state.counter >= ModeInterval(state)) {
    state.counter = 0;
    RunStep(state, now);
    stepped = true;
  }
  if (state.family == Family::kKeyboard) ApplyPerLightEffects(state, now);
  return stepped;
}

std::span<const std::uint32_t> LightEngine::colours() const { return state_->colours; }

int LightEngine::StepInterval() const { return HasStep(*state_) ? ModeInterval(*state_) : 0; }

void LightEngine::OnMouseClick() {
  if (state_->family == Family::kMouse) StartClickFade(*state_);
}

void LightEngine::SetColourBlock(std::array<std::uint8_t, 6> block) { state_->colour_block = block; }

void LightEngine::OnKeyReaction(std::uint8_t key, KeyEdge edge) {
  if (state_->family == Family::kKeyboard) ReactToKey(*state_, key, edge);
}

void LightEngine::TakeSpectrum(std::span<const std::int32_t> bands) {
  if (state_->family != Family::kKeyboard) return;
  state_->spectrum = ClampedBands(bands);
  if (BeatsRipple(*state_)) DetectBeat(*state_);
}

}  // namespace brontal::lighting
