#include "devices/lighting/key_reactions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "devices/lighting/light_test_support.h"

namespace brontal::lighting {
namespace {

using test::SettingsOf;

// 255 after one fade step.
constexpr std::uint8_t kFresh = 215;
constexpr std::uint8_t kRising = 1, kFalling = 2;

// The full-size board: L sits at column 10, row 3, and ; right of it.
class KeyReactionTest : public testing::Test {
 protected:
  void Start(std::uint8_t mode) { keyboard.Start(SettingsOf({.mode = mode})); }
  void Press(std::uint8_t key) { ReactToKey(keyboard.state, key, KeyEdge::kPress); }
  void Release(std::uint8_t key) { ReactToKey(keyboard.state, key, KeyEdge::kRelease); }
  std::uint8_t Key(std::size_t column, std::size_t row) const { return keyboard.Key(column, row); }
  std::uint8_t Level(std::uint8_t key) const { return keyboard.state.levels[key]; }

  test::SteppedKeyboard keyboard;
  const std::uint8_t l_key = Key(10, 3);
};

TEST_F(KeyReactionTest, ARippleLightsItsKeyThenEachRingOfCellsAroundIt) {
  Start(8);
  Press(l_key);
  for (int step = 1; step <= 6; ++step) {
    keyboard.Step();
    const int ring = step - 1;
    for (std::size_t c = 0; c < kGridColumns; ++c) {
      for (std::size_t r = 0; r < kGridRows; ++r) {
        const std::uint8_t key = Key(c, r);
        if (!IsKeyCell(key)) continue;
        SCOPED_TRACE(testing::Message() << "step " << step << " cell " << c << "," << r);
        const int distance = std::abs(static_cast<int>(c) - 10) + std::abs(static_cast<int>(r) - 3);
        if (distance == ring) {
          EXPECT_EQ(Level(key), kFresh);
        } else if (distance > ring) {
          EXPECT_EQ(Level(key), 0);
        } else {
          EXPECT_GT(Level(key), 0) << "fading";
          EXPECT_LT(Level(key), kFresh) << "fading";
        }
      }
    }
  }
  // The keys run through the wheel, 7 steps at a time: Esc started at 33.
  EXPECT_EQ(keyboard.state.colour_indexes[0], 33 + 6 * 7);
  Release(l_key);
  keyboard.Step();
  EXPECT_LT(Level(l_key), kFresh) << "a release starts nothing";
}

TEST_F(KeyReactionTest, ARowStreakRunsBothWaysUntilItLeavesTheGrid) {
  Start(9);
  Press(l_key);
  for (int step = 1; step <= 14; ++step) {
    keyboard.Step();
    for (std::size_t c = 0; c < kGridColumns; ++c) {
      for (std::size_t r = 0; r < kGridRows; ++r) {
        const std::uint8_t key = Key(c, r);
        if (!IsKeyCell(key)) continue;
        SCOPED_TRACE(testing::Message() << "step " << step << " cell " << c << "," << r);
        const int along = static_cast<int>(c) - 10;
        const bool head = r == 3 && std::abs(along) == step - 1;
        EXPECT_EQ(Level(key) == kFresh, head);
        if (r != 3) {
          EXPECT_EQ(Level(key), 0);
        }
      }
    }
  }
}

TEST_F(KeyReactionTest, AReleasedKeyFlaresAtFullLevelThenFadesByFive) {
  Start(7);
  std::set<std::uint8_t> colours;
  for (int round = 0; round < 6; ++round) {
    Press(l_key);
    colours.insert(keyboard.state.colour_indexes[l_key]);
    keyboard.Step(3);
    EXPECT_EQ(Level(l_key), 255) << "held";
    Release(l_key);
    colours.insert(keyboard.state.colour_indexes[l_key]);
    EXPECT_EQ(Level(l_key), 255);
    for (int expected = 250; expected >= 0; expected -= 5) {
      keyboard.Step();
      ASSERT_EQ(Level(l_key), expected);
    }
    keyboard.Step();
    EXPECT_EQ(Level(l_key), 0);
  }
  EXPECT_GT(colours.size(), 1u) << "each press and release picks a new colour";
  EXPECT_EQ(test::AlphaOf(keyboard.state.colours[l_key]), 0) << "dark";
}

struct SplashCase {
  std::size_t column;
  std::size_t row;
  std::uint8_t pressed;   // the level after the press
  std::uint8_t released;  // and after the release
};

TEST_F(KeyReactionTest, ASplashRaisesTheKeysAroundItAndAReleaseSettlesThem) {
  const SplashCase cases[] = {
      {10, 2, 150, 135}, {10, 4, 150, 135}, {9, 3, 150, 135}, {11, 3, 150, 135},  // next to it
      {10, 1, 90, 0},    {10, 5, 90, 0},    {9, 2, 90, 0},    {11, 4, 90, 0},     // a step further
      {8, 3, 60, 0},     {12, 3, 60, 0},                                          // two to the side
      {13, 3, 0, 0},     {12, 1, 0, 0},     {12, 2, 0, 0},                        // outside
  };
  Start(25);
  Press(l_key);
  EXPECT_EQ(Level(l_key), 255);
  for (const SplashCase& c : cases) {
    EXPECT_EQ(Level(Key(c.column, c.row)), c.pressed) << c.column << "," << c.row;
  }
  Release(l_key);
  EXPECT_EQ(keyboard.state.reactions[l_key], kFalling);
  for (const SplashCase& c : cases) {
    const std::uint8_t key = Key(c.column, c.row);
    EXPECT_EQ(Level(key), c.released) << c.column << "," << c.row;
    EXPECT_EQ(keyboard.state.reactions[key], c.pressed != 0 ? kFalling : 0) << c.column << "," << c.row;
  }
}

TEST_F(KeyReactionTest, APressRaisesNeighboursNoHigherThanFullAndTheyClimbToIt) {
  Start(25);
  const std::uint8_t above = Key(10, 2);
  const std::uint8_t two_above = Key(10, 1);
  const std::uint8_t left = Key(9, 3);
  keyboard.state.levels[above] = 200;
  keyboard.state.levels[two_above] = 200;
  Press(l_key);
  EXPECT_EQ(Level(above), 255);
  EXPECT_EQ(Level(two_above), 255);
  for (const int expected : {165, 180, 195, 210, 225, 240, 255, 255}) {
    keyboard.Step();
    EXPECT_EQ(Level(left), expected);
  }
}

struct CoverCase {
  std::size_t column;
  std::size_t row;
  std::uint8_t level;
  std::uint8_t reaction;
};

// L and ; held, ; released: what L's own splash reaches stays up.
TEST_F(KeyReactionTest, ReleasingOneOfTwoHeldKeysLeavesWhatTheOtherCoversRaised) {
  const CoverCase cases[] = {
      {11, 3, 255, kRising},                                                // ; itself
      {10, 3, 255, kRising}, {11, 2, 240, kRising}, {11, 4, 240, kRising},  // covered by L
      {12, 3, 210, kRising}, {10, 2, 240, kRising}, {9, 3, 210, kRising},   //
      {11, 1, 0, kFalling},  {11, 5, 0, kFalling},  {12, 2, 0, kFalling},   // beyond L's reach
      {13, 3, 0, kFalling},                                                 //
  };
  Start(25);
  const std::uint8_t semicolon = Key(11, 3);
  Press(l_key);
  Press(semicolon);
  Release(semicolon);
  for (const CoverCase& c : cases) {
    const std::uint8_t key = Key(c.column, c.row);
    EXPECT_EQ(Level(key), c.level) << c.column << "," << c.row;
    EXPECT_EQ(keyboard.state.reactions[key], c.reaction) << c.column << "," << c.row;
  }
  EXPECT_EQ(keyboard.state.held[semicolon], 0);
  EXPECT_EQ(keyboard.state.held[l_key], 1);
  Release(l_key);
  EXPECT_EQ(keyboard.state.reactions[semicolon], kFalling) << "nothing holds it up any more";
  EXPECT_EQ(Level(semicolon), 240);
}

}  // namespace
}  // namespace brontal::lighting
