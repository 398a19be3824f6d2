#include "devices/lighting/scripted_show.h"

#include "devices/lighting/wave_field_modes.h"

namespace brontal::lighting {
namespace {

constexpr std::uint8_t kShowMode = 14;
constexpr std::uint8_t kLastPairStep = 30;

enum Stage : std::uint8_t { kRows, kPairs, kSeed, kRipple, kRippleGone };

void LightKeys(AnimationState& state, std::span<const std::uint8_t> keys) {
  for (const std::uint8_t key : keys) {
    if (IsKeyCell(key)) LightUp(state, key);
  }
}

bool Dark(const AnimationState& state, std::uint8_t key) { return !IsKeyCell(key) || state.levels[key] == 0; }
// Lit in this step, before the fade: the far key may still glow from the
// pairs when the ring sets off, and the ring has not reached it then.
bool JustLit(const AnimationState& state, std::uint8_t key) { return IsKeyCell(key) && state.levels[key] == kLitLevel; }

// The phase counts the steps within a stage.
void Advance(AnimationState& state, const ShowTables& show) {
  WaveField& wave = state.wave;
  std::uint8_t& n = state.phase;
  switch (wave.stage) {
    case kRows:
      LightKeys(state, show.rows[n % kShowRows]);
      if (++n >= kShowRows) {
        n = 0;
        wave.stage = kPairs;
      }
      break;
    case kPairs:
      if (n <= kLastPairStep) {
        LightKeys(state, show.pairs[n % kShowPairs]);
        ++n;
      } else if (Dark(state, show.end_key)) {
        n = 0;
        wave.stage = kSeed;
      }
      break;
    case kSeed:
      wave.Seed(state.geometry->grid, show.ripple_key);
      wave.stage = kRipple;
      break;
    case kRipple:
      ShowWaveField(state);
      wave.Ripple();
      if (JustLit(state, show.ripple_end_key)) wave.stage = kRippleGone;
      break;
    case kRippleGone:
    default:
      if (Dark(state, show.ripple_end_key)) {
        wave.stage = kRows;
        n = 0;
      }
      break;
  }
}

}  // namespace

void StepScriptedShow(AnimationState& state, const LightSetting& look) {
  if (state.geometry != nullptr) Advance(state, state.geometry->show);
  FadeAll(state, kShowMode);
  ShowLevels(state, look);
}

}  // namespace brontal::lighting
