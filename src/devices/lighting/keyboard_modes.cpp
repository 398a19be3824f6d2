#include "devices/lighting/keyboard_modes.h"

#include <algorithm>

#include "devices/lighting/key_reactions.h"
#include "devices/lighting/light_primitives.h"
#include "devices/lighting/music_modes.h"
#include "devices/lighting/scripted_show.h"
#include "devices/lighting/wave_field_modes.h"
#include "devices/lighting/whole_device_effects.h"

namespace brontal::lighting {
namespace {

constexpr std::uint8_t kFullLevel = 255;
constexpr auto kWheel = static_cast<std::uint8_t>(kWheelSize);
constexpr auto kWaveSpan = static_cast<std::uint8_t>(kWaveCurve.size());

// `visit(key, column, row)` for every key cell of the model's grid; nothing
// without geometry.
template <typename Visit>
void ForEachGridKey(const AnimationState& state, Visit visit) {
  if (state.geometry == nullptr) return;
  for (std::size_t c = 0; c < kGridColumns; ++c) {
    for (std::size_t r = 0; r < kGridRows; ++r) {
      if (const std::uint8_t key = state.geometry->grid[c][r]; IsKeyCell(key)) visit(key, c, r);
    }
  }
}

template <typename Visit>
void ForEachDiagonalKey(const AnimationState& state, Visit visit) {
  if (state.geometry == nullptr) return;
  for (std::size_t row = 0; row < kDiagonalRows; ++row) {
    for (const std::uint8_t key : state.geometry->diagonal[row]) {
      if (IsKeyCell(key)) visit(key, row);
    }
  }
}

std::uint8_t WheelIndex(std::size_t index) { return static_cast<std::uint8_t>(index % kWheelSize); }

void StepFastColumnWave(AnimationState& state, const LightSetting& look) {
  if (look.multi_color != 0) {
    state.phase = StepPhase(look.fx, kWheel, state.phase, 1);
    ForEachGridKey(state, [&](std::uint8_t key, std::size_t c, std::size_t) {
      state.Paint(key, WheelColour(state.phase + 2 * c), kFullLevel);
    });
    return;
  }
  constexpr std::uint8_t kSpan = 128;
  state.phase = StepPhase(look.fx, kSpan, state.phase, 1);
  ForEachGridKey(state, [&](std::uint8_t key, std::size_t c, std::size_t) {
    state.Paint(key, LiveColour(look), LevelAlpha(look, kFadeCurve[(state.phase + 7 * c) % kSpan]));
  });
}

void StepSweep(AnimationState& state, const LightSetting& look) {
  if (state.geometry == nullptr) return;
  const bool multi = look.multi_color != 0;
  state.phase = StepPhase(look.fx, multi ? kWheel : kWaveSpan, state.phase, 1);
  for (std::size_t i = 0; i < kSweepLength; ++i) {
    const std::uint8_t key = state.geometry->sweep[i];
    if (!IsKeyCell(key)) continue;
    const std::size_t at = state.phase + 5 * i;
    if (multi) {
      state.Paint(key, WheelColour(at), Brightness(look));
    } else {
      state.Paint(key, LiveColour(look), LevelAlpha(look, kWaveCurve[at % kWaveSpan]));
    }
  }
}

void StepGridBreathing(AnimationState& state, const LightSetting& look) {
  constexpr std::uint8_t kLastPhase = 127;
  state.phase = state.phase >= kLastPhase ? 0 : static_cast<std::uint8_t>(state.phase + 1);
  const std::uint8_t alpha = LevelAlpha(look, kBreathCurve[state.phase]);
  ForEachGridKey(state,
                 [&](std::uint8_t key, std::size_t c, std::size_t) { state.Paint(key, ColourOf(look, 7 * c), alpha); });
}

void ShowDiagonalRainbow(AnimationState& state, const LightSetting& look) {
  if (look.multi_color == 0) {
    ShowStatic(state, look);
    return;
  }
  ForEachDiagonalKey(
      state, [&](std::uint8_t key, std::size_t row) { state.Paint(key, WheelColour(12 * row), Brightness(look)); });
}

void StepSparkle(AnimationState& state, const LightSetting& look) {
  constexpr int kSparks = 6;
  const SharedKeyboardGeometry& shared = *state.shared_geometry;
  for (int i = 0; i < kSparks; ++i) {
    const std::uint8_t key = shared.light_order[state.RandomBelow(shared.light_order_length)];
    if (!IsKeyCell(key)) continue;
    state.levels[key] = kFullLevel;
    state.colour_indexes[key] = state.RandomColourIndex();
  }
  FadeAll(state, look.select_item);
  ShowLevels(state, look);
}

void StepRainbowFlow(AnimationState& state, const LightSetting& look) {
  for (const std::uint8_t key : state.Lights()) {
    std::uint8_t& index = state.colour_indexes[key];
    index = WheelIndex(index + 1u);
    state.Paint(key, ColourOf(look, index), kFullLevel);
  }
}

void StepRowWave(AnimationState& state, const LightSetting& look) {
  state.phase = StepPhase(look.fx, kWheel, state.phase, 1);
  ForEachGridKey(state, [&](std::uint8_t key, std::size_t, std::size_t r) {
    state.Paint(key, WheelColour(state.phase + 24 * r), Brightness(look));
  });
}

// Modes 15 and 22: each key flashes along the fade curve as its level runs
// through 0..191, with a new random colour each round.
void StepRain(AnimationState& state, const LightSetting& look, std::uint8_t rise) {
  constexpr auto kRainCycle = static_cast<int>(kFadeCurve.size());
  for (const std::uint8_t key : state.Lights()) {
    const int next = state.levels[key] + rise;
    if (next >= kRainCycle) {
      state.levels[key] = 0;
      state.colour_indexes[key] = state.RandomColourIndex();
    } else {
      state.levels[key] = static_cast<std::uint8_t>(next);
    }
    state.Paint(key, ColourOf(look, state.colour_indexes[key]), LevelAlpha(look, kFadeCurve[state.levels[key]]));
  }
}

void ShowDirectionColour(AnimationState& state, const LightSetting& look) {
  std::uint8_t index = 174;
  switch (look.fx) {
    case 1: index = 25; break;
    case 2: index = 70; break;
    case 3: index = 95; break;
    default: break;
  }
  state.PaintAll(kColourWheel[index], Brightness(look));
}

void StepDiagonalWave(AnimationState& state, const LightSetting& look) {
  state.phase = StepPhase(look.fx, kWheel, state.phase, 1);
  ForEachDiagonalKey(state, [&](std::uint8_t key, std::size_t row) {
    state.Paint(key, WheelColour(state.phase + 7 * row), Brightness(look));
  });
}

void ShowKeyColours(AnimationState& state, const LightSetting& look) {
  for (const std::uint8_t key : state.Lights()) state.Paint(key, state.key_colours[key], Brightness(look));
}

void StepSnake(AnimationState& state, const LightSetting& look) {
  constexpr std::uint8_t kHeadLevel = 254;
  const SharedKeyboardGeometry& shared = *state.shared_geometry;
  state.phase = StepPhase(look.fx, static_cast<std::uint8_t>(shared.snake_length), state.phase, 1);
  if (const std::uint8_t key = shared.snake[state.phase]; IsKeyCell(key)) state.levels[key] = kHeadLevel;
  FadeAll(state, look.select_item);
  ShowLevels(state, look);
}

// Mode 24: a band of keys lights up and leaves a trail that fades while its
// colour index climbs, past the wheel's end up to 255.
void StepGroupSweep(AnimationState& state, const LightSetting& look) {
  constexpr std::uint8_t kLastIndex = 255;
  const SharedKeyboardGeometry& shared = *state.shared_geometry;
  state.phase = StepPhase(look.fx, static_cast<std::uint8_t>(kKeyGroups), state.phase, 1);
  for (const std::uint8_t key : shared.key_groups[state.phase]) {
    if (!IsKeyCell(key)) continue;
    state.levels[key] = kFullLevel;
    state.colour_indexes[key] = 0;
  }
  for (const std::uint8_t key : state.Lights()) {
    std::uint8_t& level = state.levels[key];
    level = level <= 5 ? 0 : static_cast<std::uint8_t>(level - 5);
    std::uint8_t& index = state.colour_indexes[key];
    index = static_cast<std::uint8_t>(std::min<int>(kLastIndex, index + 3));
    if (look.multi_color != 0) {
      state.Paint(key, WheelColour(index), Brightness(look));
    } else {
      state.Paint(key, LiveColour(look), LevelAlpha(look, level));
    }
  }
}

void ShowColourBlock(AnimationState& state, const LightSetting& look) {
  state.PaintAll({state.colour_block[0], state.colour_block[1], state.colour_block[2]}, Brightness(look));
}

}  // namespace

bool KeyboardModeHasStep(std::uint8_t mode) { return mode >= 1 && mode <= 30 && mode != 19; }

void StepColumnWave(AnimationState& state, const LightSetting& look) {
  if (look.multi_color != 0) {
    state.phase = StepPhase(look.fx, kWheel, state.phase, 1);
    ForEachGridKey(state, [&](std::uint8_t key, std::size_t c, std::size_t) {
      state.Paint(key, WheelColour(state.phase + 1 + 7 * c), kFullLevel);
    });
    return;
  }
  state.phase = StepPhase(look.fx, kWaveSpan, state.phase, 1);
  ForEachGridKey(state, [&](std::uint8_t key, std::size_t c, std::size_t) {
    state.Paint(key, LiveColour(look), LevelAlpha(look, kWaveCurve[(state.phase + 1 + 7 * c) % kWaveSpan]));
  });
}

void RunKeyboardStep(AnimationState& state, std::chrono::milliseconds now) {
  const LightSetting& look = state.settings.light;
  switch (look.select_item) {
    case 1: StepColumnWave(state, look); break;
    case 2: StepFastColumnWave(state, look); break;
    case 3: StepSweep(state, look); break;
    case 4: StepColourCycle(state, look); break;
    case 5: StepGridBreathing(state, look); break;
    case 6: ShowDiagonalRainbow(state, look); break;
    case 7:
    case 25: StepKeyLevels(state, look); break;
    case 8:
    case 9: StepSeededField(state, look); break;
    case 13: StepRisingRings(state, look); break;
    case 14: StepScriptedShow(state, look); break;
    case 16: StepCornerRings(state, look); break;
    case 10: StepSparkle(state, look); break;
    case 11: StepRainbowFlow(state, look); break;
    case 12: StepRowWave(state, look); break;
    case 15: StepRain(state, look, 2); break;
    case 17: ShowDirectionColour(state, look); break;
    case 18: StepDiagonalWave(state, look); break;
    case 20: ShowKeyColours(state, look); break;
    case 21: StepSnake(state, look); break;
    case 22: StepRain(state, look, 1); break;
    case 23: StepBlink(state, look, now); break;
    case 24: StepGroupSweep(state, look); break;
    case 26: StepFourColourBreathing(state, look); break;
    case 27: StepFourColourBlink(state, look, now); break;
    case 28: ShowOff(state); break;
    case 29: StepMusic(state, look); break;
    case 30: ShowColourBlock(state, look); break;
    default: break;
  }
}

}  // namespace brontal::lighting
