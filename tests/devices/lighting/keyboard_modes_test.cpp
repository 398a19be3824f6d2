#include "devices/lighting/keyboard_modes.h"

#include <gtest/gtest.h>

#include <set>

#include "devices/key_action_tables.h"
#include "devices/lighting/keyboard_start_steps.h"
#include "devices/lighting/light_test_support.h"

namespace brontal::lighting {
namespace {

using test::AlphaOf;
using test::ClockedEngine;
using test::Look;
using test::ModelKeys;
using test::RgbOf;
using test::SettingsOf;

constexpr std::uint8_t kLastMode = 30;
constexpr std::uint8_t kMusic = 29;

TEST(KeyboardModesTest, AtFullSpeedEveryModeButMusicStepsOnEveryUnit) {
  ClockedEngine clocked(Family::kKeyboard, test::kFullSize, test::kKeyboardLights);
  for (std::uint8_t mode = 0; mode <= kLastMode + 1; ++mode) {
    SCOPED_TRACE(int{mode});
    clocked.engine.Configure(SettingsOf({.mode = mode, .speed = 4}), true);
    EXPECT_EQ(clocked.engine.StepInterval(), mode == kMusic ? 2 : 0);
    EXPECT_EQ(clocked.TickTimes(64), mode == kMusic ? 32 : 64);
  }
}

struct IntervalCase {
  std::uint8_t mode;
  std::uint8_t speed;
  int interval;
};

TEST(KeyboardModesTest, SlowerSpeedsStepEveryIntervalUnits) {
  const IntervalCase cases[] = {{1, 0, 8}, {1, 2, 3}, {2, 0, 12}, {2, 3, 0}, {16, 1, 3}, {29, 0, 2}, {19, 0, 0}};
  ClockedEngine clocked(Family::kKeyboard, test::kFullSize, test::kKeyboardLights);
  for (const IntervalCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << int{c.mode} << " speed " << int{c.speed});
    clocked.engine.Configure(SettingsOf({.mode = c.mode, .speed = c.speed}), true);
    EXPECT_EQ(clocked.engine.StepInterval(), c.interval);
    const int every = std::max(c.interval, 1);
    for (int unit = 1; unit <= 48; ++unit) EXPECT_EQ(clocked.Tick(), unit % every == 0) << unit;
  }
}

// Everything a keyboard can be told to show, on every light of a 170-entry
// vector.
EngineSettings BusySettings(std::uint8_t mode, std::uint8_t multi_color, std::uint8_t fx) {
  EngineSettings settings = SettingsOf({.mode = mode, .fx = fx, .multi_color = multi_color});
  settings.custom_colours.assign(kMaxLights, CustomColour{200, 100, 50, 255});
  LightStep step;
  step.mode = 1;
  step.brightness = 4;
  step.red = 255;
  step.time = 100;
  settings.effect_list = {step};
  return settings;
}

TEST(KeyboardModesTest, KeysTheModelLacksStayDarkInEveryMode) {
  for (const std::uint16_t product : {test::kFullSize, test::kTenkeyless, test::kCompact}) {
    SCOPED_TRACE(testing::Message() << std::hex << product);
    const std::set<std::size_t> keys = ModelKeys(product);
    ClockedEngine clocked(Family::kKeyboard, product, kMaxLights);
    clocked.engine.SetColourBlock({9, 8, 7, 6, 5, 4});
    std::set<std::size_t> painted;
    for (std::uint8_t mode = 1; mode <= kLastMode; ++mode) {
      for (const std::uint8_t multi : {0, 1}) {
        for (const std::uint8_t fx : {0, 1, 2}) {
          SCOPED_TRACE(testing::Message()
                       << "mode " << int{mode} << " multicolour " << int{multi} << " fx " << int{fx});
          clocked.engine.Configure(BusySettings(mode, multi, fx), true);
          for (int unit = 0; unit < 150; ++unit) {
            clocked.Tick();
            for (std::size_t light = 0; light < kMaxLights; ++light) {
              if (clocked.At(light) != 0) painted.insert(light);
            }
          }
          for (std::size_t light = 0; light < kMaxLights; ++light) {
            if (!keys.contains(light)) {
              ASSERT_EQ(clocked.At(light), 0u) << "light " << light;
            }
          }
        }
      }
    }
    // And the modes do reach every key the model has.
    EXPECT_EQ(painted, keys);
  }
}

TEST(KeyboardModesTest, PerLightEffectsOnlyReachKeysOfTheModel) {
  ClockedEngine clocked(Family::kKeyboard, test::kCompact, kMaxLights);
  EngineSettings settings = SettingsOf({.mode = 28});
  LedEffect own;
  own.mode = 1;
  own.brightness = 4;
  own.green = 255;
  own.present = 1;
  settings.light_list.assign(kMaxLights, own);
  clocked.engine.Configure(settings, true);
  clocked.Tick();
  const std::set<std::size_t> keys = ModelKeys(test::kCompact);
  for (std::size_t light = 0; light < kMaxLights; ++light) {
    EXPECT_EQ(clocked.At(light) != 0, keys.contains(light)) << light;
  }
}

TEST(KeyboardModesTest, WithoutAKnownBoardOnlyTheWholeKeyboardEffectsShow) {
  ClockedEngine clocked(Family::kKeyboard, 0x1234, test::kKeyboardLights);
  auto lit = [&] {
    std::size_t n = 0;
    for (std::size_t k = 0; k < test::kKeyboardLights; ++k) n += AlphaOf(clocked.At(k)) != 0 ? 1 : 0;
    return n;
  };
  for (const std::uint8_t mode : {1, 3, 5, 12, 18}) {
    clocked.engine.Configure(SettingsOf({.mode = mode, .multi_color = 1}), true);
    clocked.TickTimes(10);
    EXPECT_EQ(lit(), 0u) << int{mode};
  }
  for (const std::uint8_t mode : {4, 6, 17, 20, 30}) {
    EngineSettings settings = SettingsOf({.mode = mode});
    settings.custom_colours.assign(test::kKeyboardLights, CustomColour{1, 2, 3, 0});
    clocked.engine.Configure(settings, true);
    clocked.TickTimes(10);
    EXPECT_EQ(lit(), test::kKeyboardLights) << int{mode};
  }
}

struct BrightnessCase {
  std::uint8_t mode;
  std::uint8_t multi_color;
  bool full_level;     // shows at full level whatever the brightness
  bool lit_by_itself;  // lights something without key or audio input
};

TEST(KeyboardModesTest, BrightnessZeroDarkensEveryModeThatUsesIt) {
  std::vector<BrightnessCase> cases;
  for (std::uint8_t mode = 1; mode <= kLastMode; ++mode) {
    for (const std::uint8_t multi : {0, 1}) {
      const bool full = (multi == 1 && (mode == 1 || mode == 2)) || mode == 11;
      // The reactive modes wait for keys; an empty effect list and off are
      // off. Silent music shows its background, here black at the level.
      const bool unlit = mode == 7 || mode == 8 || mode == 9 || mode == 19 || mode == 25 || mode == 28;
      cases.push_back({mode, multi, full, !unlit});
    }
  }
  for (const BrightnessCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << int{c.mode} << " multicolour " << int{c.multi_color});
    for (const std::uint8_t brightness : {0, 4}) {
      ClockedEngine clocked(Family::kKeyboard, test::kFullSize, test::kKeyboardLights);
      clocked.engine.SetColourBlock({9, 8, 7, 6, 5, 4});
      EngineSettings settings =
          SettingsOf({.mode = c.mode, .brightness = brightness, .speed = 3, .multi_color = c.multi_color});
      settings.custom_colours.assign(test::kKeyboardLights, CustomColour{200, 100, 50, 255});
      clocked.engine.Configure(settings, true);
      bool any_lit = false;
      for (int unit = 0; unit < 200; ++unit) {
        clocked.Tick();
        for (std::size_t k = 0; k < test::kKeyboardLights; ++k) {
          if (AlphaOf(clocked.At(k)) != 0) any_lit = true;
          if (brightness == 0 && !c.full_level) {
            ASSERT_EQ(AlphaOf(clocked.At(k)), 0) << "key " << k;
          }
        }
      }
      if (brightness == 4 || c.full_level) {
        EXPECT_EQ(any_lit, c.lit_by_itself) << "brightness " << int{brightness};
      }
    }
  }
}

// The start steps, on the state the engine keeps.
class KeyboardStartStepTest : public testing::Test {
 protected:
  void Start(std::uint8_t mode) {
    state.settings = SettingsOf({.mode = mode});
    state.Reset();
    RunKeyboardStartStep(state);
  }
  AnimationState state{Family::kKeyboard, test::kFullSize, test::kKeyboardLights, 1};
};

struct RainStartCase {
  std::uint8_t key;
  std::uint8_t level;
  std::uint8_t colour_index;
};

TEST_F(KeyboardStartStepTest, FallingRainWalksEachColumnDown) {
  const RainStartCase cases[] = {
      {0, 157, 0},    // Esc: 192 - 35
      {21, 87, 0},    // `: the empty row under the function row took its 35 too
      {42, 52, 0},    // Tab
      {105, 140, 0},  // Ctrl: the row above had no key in column 0, its phase wrapped
      {4, 117, 35},   // F4, column 5: 152 - 35
      {26, 47, 35},   // 5
      {67, 170, 35},  // F: 12 - 35 is past 191, so 12 - 98
  };
  Start(22);
  for (const RainStartCase& c : cases) {
    SCOPED_TRACE(int{c.key});
    EXPECT_EQ(state.levels[c.key], c.level);
    EXPECT_EQ(state.colour_indexes[c.key], c.colour_index);
  }
}

TEST_F(KeyboardStartStepTest, RainStartsFromItsTableByCell) {
  const RainStartCase cases[] = {
      {0, kRainStartLevels[0][0], 0},
      {67, kRainStartLevels[5][4], 35},
      {118, kRainStartLevels[21][5], 147},
  };
  Start(15);
  for (const RainStartCase& c : cases) {
    SCOPED_TRACE(int{c.key});
    EXPECT_EQ(state.levels[c.key], c.level);
    EXPECT_EQ(state.colour_indexes[c.key], c.colour_index);
  }
  // Drops fall: within a column a lower key flashes later.
  EXPECT_GT(kRainStartLevels[5][2], kRainStartLevels[5][3]);
}

TEST_F(KeyboardStartStepTest, WaveFieldModesSeedTheirColumn) {
  Start(13);
  for (const auto& bitmap : state.wave.bitmaps) EXPECT_EQ(bitmap[9], 0x40);
  Start(16);
  for (const auto& bitmap : state.wave.bitmaps) {
    EXPECT_EQ(bitmap[1], 0x01);
    EXPECT_EQ(bitmap[9], 0) << "the reset cleared mode 13's seed";
  }
}

TEST_F(KeyboardStartStepTest, OtherModesSpreadTheColourIndexes) {
  state.levels.fill(99);
  Start(11);
  EXPECT_EQ(state.colour_indexes[0], 33);
  EXPECT_EQ(state.colour_indexes[5], 6);
  EXPECT_EQ(state.colour_indexes[169], 42);
  EXPECT_EQ(state.levels[0], 0) << "reset";
}

TEST_F(KeyboardStartStepTest, PerKeyColoursComeFromTheLoadedOnes) {
  state.settings = SettingsOf({.mode = 20, .brightness = 2});
  state.settings.custom_colours = {{1, 2, 3, 0}, {4, 5, 6, 0}};
  state.Reset();
  RunKeyboardStartStep(state);
  RunKeyboardStep(state, {});
  EXPECT_EQ(state.colours[1], PackColour({4, 5, 6}, 135));
  EXPECT_EQ(state.colours[2], PackColour({}, 135)) << "a key without a loaded colour";
}

TEST(KeyboardModesTest, PerKeyColoursConfiguredWithoutARestartShowAtOnce) {
  LightEngine engine(Family::kKeyboard, test::kFullSize, test::kKeyboardLights, 1);
  EngineSettings settings = SettingsOf({.mode = 20, .brightness = 4, .speed = 4});
  settings.custom_colours.assign(test::kKeyboardLights, CustomColour{1, 2, 3, 0});
  engine.Configure(settings, true);
  settings.custom_colours[0] = {9, 8, 7, 0};
  engine.Configure(settings, false);
  engine.Tick({});
  EXPECT_EQ(engine.colours()[0], PackColour({9, 8, 7}, 255));
  EXPECT_EQ(engine.colours()[1], PackColour({1, 2, 3}, 255));
}

TEST(KeyboardModesTest, GroupSweepReadsIndexesPastTheWheelModuloItsSize) {
  AnimationState state(Family::kKeyboard, test::kFullSize, test::kKeyboardLights, 1);
  state.settings = SettingsOf({.mode = 24, .brightness = 4, .fx = 1, .multi_color = 1});
  state.Reset();
  // The next steps light groups 31 to 33, far from Esc.
  state.phase = 30;
  const std::uint8_t esc = 0;
  state.colour_indexes[esc] = 250;
  state.levels[esc] = 100;
  RunKeyboardStep(state, {});
  EXPECT_EQ(state.colour_indexes[esc], 253);
  EXPECT_EQ(state.colours[esc], PackColour(kColourWheel[61], 255));
  RunKeyboardStep(state, {});
  EXPECT_EQ(state.colour_indexes[esc], 255) << "an index stops at 255";
  EXPECT_EQ(state.colours[esc], PackColour(kColourWheel[63], 255));
  RunKeyboardStep(state, {});
  EXPECT_EQ(state.colour_indexes[esc], 255);
  EXPECT_EQ(state.levels[esc], 85);
}

TEST(KeyboardModesTest, GroupSweepLightsItsGroupAndLeavesATrail) {
  ClockedEngine clocked(Family::kKeyboard, test::kFullSize, test::kKeyboardLights);
  clocked.engine.Configure(SettingsOf({.mode = 24, .brightness = 4, .fx = 1, .colour = {255, 0, 0}}), true);
  clocked.Tick();
  const auto& group = SharedGeometry().key_groups[1];
  for (const std::uint8_t key : group) {
    if (key != kNoKey) {
      EXPECT_EQ(clocked.At(key), PackColour({255, 0, 0}, 249)) << int{key};
    }
  }
  // The pad's Enter, far to the right, is still dark.
  EXPECT_EQ(AlphaOf(clocked.At(118)), 0);
}

struct DirectionCase {
  std::uint8_t fx;
  std::size_t wheel_index;
};

TEST(KeyboardModesTest, DirectionOptionPicksTheColourOfMode17) {
  const DirectionCase cases[] = {{1, 25}, {2, 70}, {3, 95}, {0, 174}, {4, 174}};
  for (const DirectionCase& c : cases) {
    ClockedEngine clocked(Family::kKeyboard, test::kFullSize, test::kKeyboardLights);
    clocked.engine.Configure(SettingsOf({.mode = 17, .brightness = 1, .fx = c.fx}), true);
    clocked.Tick();
    EXPECT_EQ(clocked.At(0), PackColour(kColourWheel[c.wheel_index], 80)) << int{c.fx};
  }
}

TEST(KeyboardModesTest, ColourCycleMovesOneWheelStepPerInterval) {
  for (const std::uint8_t fx : {0, 1}) {
    SCOPED_TRACE(int{fx});
    ClockedEngine clocked(Family::kKeyboard, test::kCompact, test::kKeyboardLights);
    clocked.engine.Configure(SettingsOf({.mode = 4, .brightness = 3, .speed = 0, .fx = fx}), true);
    clocked.TickTimes(7);
    EXPECT_EQ(clocked.At(0), 0u) << "nothing before the first step";
    clocked.TickTimes(1);
    EXPECT_EQ(clocked.At(0), PackColour(kColourWheel[fx ? 1 : 191], 195));
    clocked.TickTimes(8);
    EXPECT_EQ(clocked.At(0), PackColour(kColourWheel[fx ? 2 : 190], 195));
  }
}

TEST(KeyboardModesTest, ColumnWaveRunsAcrossTheColumns) {
  ClockedEngine clocked(Family::kKeyboard, test::kFullSize, test::kKeyboardLights);
  clocked.engine.Configure(SettingsOf({.mode = 1, .fx = 1, .multi_color = 1}), true);
  clocked.Tick();
  // Phase 1: column c shows the wheel at 2 + 7c.
  EXPECT_EQ(clocked.At(0), PackColour(kColourWheel[2], 255));      // Esc, column 0
  EXPECT_EQ(clocked.At(4), PackColour(kColourWheel[37], 255));     // F4, column 5
  EXPECT_EQ(clocked.At(118), PackColour(kColourWheel[149], 255));  // the pad's Enter, column 21
  clocked.engine.Configure(SettingsOf({.mode = 1, .brightness = 4, .fx = 1, .colour = {0, 0, 255}}), true);
  clocked.Tick();
  EXPECT_EQ(clocked.At(0), PackColour({0, 0, 255}, kWaveCurve[2] * 255 / 256));
  EXPECT_EQ(clocked.At(4), PackColour({0, 0, 255}, kWaveCurve[37] * 255 / 256));
}

TEST(KeyboardModesTest, SnakeHeadMovesAlongThePathAndFades) {
  ClockedEngine clocked(Family::kKeyboard, test::kFullSize, test::kKeyboardLights);
  clocked.engine.Configure(SettingsOf({.mode = 21, .fx = 1, .colour = {0, 255, 0}}), true);
  const SharedKeyboardGeometry& shared = SharedGeometry();
  clocked.Tick();
  EXPECT_EQ(clocked.At(shared.snake[1]), PackColour({0, 255, 0}, 213));  // 254 faded once
  clocked.Tick();
  EXPECT_EQ(clocked.At(shared.snake[2]), PackColour({0, 255, 0}, 213));
  EXPECT_EQ(clocked.At(shared.snake[1]), PackColour({0, 255, 0}, 173));  // 214 - 40
  // Backwards, the head starts at the path's far end.
  clocked.engine.Configure(SettingsOf({.mode = 21, .fx = 0, .colour = {0, 255, 0}}), true);
  clocked.Tick();
  EXPECT_EQ(clocked.At(shared.snake[shared.snake_length - 1]), PackColour({0, 255, 0}, 213));
}

TEST(KeyboardModesTest, AudioColourShowsTheColourBlock) {
  ClockedEngine clocked(Family::kKeyboard, test::kTenkeyless, test::kKeyboardLights);
  clocked.engine.Configure(SettingsOf({.mode = 30, .brightness = 2}), true);
  clocked.Tick();
  EXPECT_EQ(clocked.At(0), PackColour({}, 135)) << "zero until the audio feed sets it";
  clocked.engine.SetColourBlock({11, 22, 33, 44, 55, 66});
  clocked.Tick();
  EXPECT_EQ(clocked.At(0), PackColour({11, 22, 33}, 135));
}

TEST(KeyboardModesTest, ConfigureWithoutRestartKeepsTheAnimationGoing) {
  ClockedEngine clocked(Family::kKeyboard, test::kFullSize, test::kKeyboardLights);
  clocked.engine.Configure(SettingsOf({.mode = 4, .brightness = 4, .speed = 4}), true);
  clocked.TickTimes(10);
  clocked.engine.Configure(SettingsOf({.mode = 4, .brightness = 1, .speed = 4}), false);
  clocked.Tick();
  EXPECT_EQ(clocked.At(0), PackColour(kColourWheel[11], 80));
  clocked.engine.Configure(SettingsOf({.mode = 4, .brightness = 1, .speed = 4}), true);
  clocked.Tick();
  EXPECT_EQ(clocked.At(0), PackColour(kColourWheel[1], 80));
}

}  // namespace
}  // namespace brontal::lighting
