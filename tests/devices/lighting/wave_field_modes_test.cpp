#include "devices/lighting/wave_field_modes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "devices/lighting/light_test_support.h"

namespace brontal::lighting {
namespace {

using test::SettingsOf;
using test::SteppedKeyboard;

// 255 after one fade step.
constexpr std::uint8_t kFresh = 215;

TEST(WaveFieldModesTest, RingsRiseUpColumnNineAndFallBackEverySecondStep) {
  SteppedKeyboard keyboard;
  keyboard.Start(SettingsOf({.mode = 13}));
  // Step -> the row of column 9 freshly lit. The ring starts under the bottom
  // row; row 5 of column 9 has no key.
  const std::map<int, std::size_t> expected = {{7, 4},  {9, 3},  {11, 2}, {13, 1}, {15, 0},
                                               {17, 1}, {19, 2}, {21, 3}, {23, 4}, {31, 4}};
  for (int step = 1; step <= 32; ++step) {
    keyboard.Step();
    for (std::size_t r = 0; r < kGridRows; ++r) {
      const std::uint8_t key = keyboard.Key(9, r);
      if (!IsKeyCell(key)) continue;
      const bool fresh = expected.contains(step) && expected.at(step) == r;
      EXPECT_EQ(keyboard.state.levels[key] == kFresh, fresh) << "step " << step << " row " << r;
    }
  }
}

TEST(WaveFieldModesTest, CornerRingsBounceBetweenColumnOneAndBelowColumnTwentyTwo) {
  SteppedKeyboard keyboard;
  keyboard.Start(SettingsOf({.mode = 16}));
  const std::uint8_t esc = keyboard.Key(0, 0);
  std::vector<int> esc_lit;
  for (int step = 1; step <= 120; ++step) {
    keyboard.Step();
    if (keyboard.state.levels[esc] == kFresh) esc_lit.push_back(step);
  }
  // One cell from the first ring's start; 28 from the far corner, where the
  // ring turns after 27 steps.
  EXPECT_EQ(esc_lit, (std::vector<int>{2, 56, 110}));
}

struct StageRun {
  std::uint8_t stage;
  int steps;
};

// Stage by stage, on the stage each step starts in.
std::vector<StageRun> ShowStages(SteppedKeyboard& keyboard, std::size_t runs) {
  std::vector<StageRun> seen;
  for (int step = 0; step < 2000 && seen.size() <= runs; ++step) {
    const std::uint8_t stage = keyboard.state.wave.stage;
    if (seen.empty() || seen.back().stage != stage) seen.push_back({stage, 0});
    ++seen.back().steps;
    keyboard.Step();
  }
  seen.resize(std::min(seen.size(), runs));
  return seen;
}

TEST(ScriptedShowTest, TheShowGoesThroughItsStagesAndStartsAgainOnEveryModel) {
  for (const std::uint16_t product : {test::kFullSize, test::kTenkeyless, test::kCompact}) {
    SCOPED_TRACE(testing::Message() << std::hex << product);
    SteppedKeyboard keyboard(product);
    keyboard.Start(SettingsOf({.mode = 14}));
    const ShowTables& show = keyboard.state.geometry->show;

    keyboard.Step();
    for (const std::uint8_t key : show.rows[0]) EXPECT_EQ(keyboard.state.levels[key], kFresh) << int{key};
    keyboard.Start(SettingsOf({.mode = 14}));

    const std::vector<StageRun> runs = ShowStages(keyboard, 12);
    ASSERT_EQ(runs.size(), 12u) << "the show stalled";
    const std::uint8_t stages[] = {0, 1, 2, 3, 4, 0, 1, 2, 3, 4, 0, 1};
    for (std::size_t i = 0; i < runs.size(); ++i) EXPECT_EQ(runs[i].stage, stages[i]) << i;
    EXPECT_EQ(runs[0].steps, 20) << "a step per row";
    EXPECT_GE(runs[1].steps, 32) << "31 pairs, then the wait";
    EXPECT_EQ(runs[2].steps, 1);
    EXPECT_GT(runs[3].steps, 1) << "the ring crosses the board";
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(runs[i + 5].steps, runs[i].steps) << "round two, stage " << i;
  }
}

TEST(ScriptedShowTest, TheRippleStageEndsWhenTheRingHasLitTheFarKey) {
  SteppedKeyboard keyboard;
  keyboard.Start(SettingsOf({.mode = 14}));
  const std::uint8_t far_key = keyboard.state.geometry->show.ripple_end_key;
  std::uint8_t before = keyboard.state.wave.stage;
  for (int step = 0; step < 400 && before != 4; ++step) {
    keyboard.Step();
    const std::uint8_t after = keyboard.state.wave.stage;
    if (before == 3 && after == 4) {
      EXPECT_EQ(keyboard.state.levels[far_key], kFresh);
    }
    before = after;
  }
  EXPECT_EQ(before, 4);
}

}  // namespace
}  // namespace brontal::lighting
