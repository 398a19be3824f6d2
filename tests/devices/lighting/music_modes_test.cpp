#include "devices/lighting/music_modes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

#include "devices/lighting/beat_detection.h"
#include "devices/lighting/light_test_support.h"

namespace brontal::lighting {
namespace {

using test::ClockedEngine;
using test::SettingsOf;

constexpr Rgb kForeground{0, 255, 0};
constexpr Rgb kBackground{0, 0, 255};
constexpr std::uint32_t kLit = PackColour(kForeground, 254);
constexpr std::uint32_t kUnlit = PackColour(kBackground, 255);
constexpr int kNoColumn = -1;

SpectrumBands Bands(std::size_t first, std::size_t count, std::int32_t value) {
  SpectrumBands bands{};
  for (std::size_t b = first; b < first + count; ++b) bands[b] = value;
  return bands;
}

// The music mode at full brightness, green on blue; each Step is one music
// step (two units), with a spectrum handed over before it or none.
class MusicTest : public testing::Test {
 protected:
  void Start(std::uint8_t audio_mode, std::uint16_t product = test::kFullSize, std::uint8_t seven_colours = 0,
             std::uint8_t fx = 1) {
    clocked = std::make_unique<ClockedEngine>(Family::kKeyboard, product, test::kKeyboardLights);
    EngineSettings settings = SettingsOf({.mode = 29, .brightness = 4, .fx = fx});
    settings.audio = {audio_mode,       kBackground.red, kBackground.green,
                      kBackground.blue, kForeground.red, kForeground.green,
                      kForeground.blue, seven_colours,   0};
    clocked->engine.Configure(settings, true);
  }
  void Step(std::span<const std::int32_t> bands) {
    clocked->engine.TakeSpectrum(bands);
    Step();
  }
  void Step() { ASSERT_EQ(clocked->TickTimes(2), 1); }
  std::uint32_t At(std::uint8_t key) const { return clocked->At(key); }
  // The keys of the full-size board's grid row, by column.
  static std::vector<std::pair<int, std::uint8_t>> RowKeys(std::size_t row) {
    std::vector<std::pair<int, std::uint8_t>> keys;
    for (std::size_t c = 0; c < kGridColumns; ++c) {
      const std::uint8_t key = KeyboardGeometryOf(test::kFullSize)->grid[c][row];
      if (IsKeyCell(key)) keys.emplace_back(static_cast<int>(c), key);
    }
    return keys;
  }
  static std::uint8_t KeyAt(std::size_t column, std::size_t row) {
    return KeyboardGeometryOf(test::kFullSize)->grid[column][row];
  }

  std::unique_ptr<ClockedEngine> clocked;
};

struct BarCase {
  std::int32_t band;
  std::size_t first_lit_row;  // 6 or more: none
};

TEST_F(MusicTest, ColumnBarsRiseWithTheirBandHeldToFull) {
  const BarCase cases[] = {
      {0, 7},     // silence: x = 600
      {-300, 7},  // below silence
      {1000, 4}, {1500, 2},
      {2000, 1},                                                 // x = 0: all but the top row
      {5000, 1}, {std::numeric_limits<std::int32_t>::max(), 1},  // louder than full
  };
  for (const BarCase& c : cases) {
    SCOPED_TRACE(c.band);
    Start(0);
    Step(Bands(5, 1, c.band));
    for (std::size_t r = 0; r < kGridRows; ++r) {
      const std::uint8_t key = KeyAt(5, r);
      if (IsKeyCell(key)) {
        EXPECT_EQ(At(key), r >= c.first_lit_row ? kLit : kUnlit) << "row " << r;
      }
      // A silent column beside it.
      if (IsKeyCell(KeyAt(6, r))) {
        EXPECT_EQ(At(KeyAt(6, r)), kUnlit) << "row " << r;
      }
    }
  }
}

TEST_F(MusicTest, WithoutANewSpectrumBarsDrainFromTheTop) {
  Start(0);
  Step(Bands(5, 1, 2000));
  Step();
  EXPECT_EQ(At(KeyAt(5, 0)), kUnlit);
  EXPECT_EQ(At(KeyAt(5, 1)), PackColour(kForeground, 209)) << "255 less 45";
  EXPECT_EQ(At(KeyAt(5, 2)), kLit) << "waits for the key above it";
  for (int i = 0; i < 100; ++i) Step();
  for (std::size_t r = 0; r < kGridRows; ++r) {
    if (IsKeyCell(KeyAt(5, r))) {
      EXPECT_EQ(At(KeyAt(5, r)), kUnlit) << r;
    }
  }
}

struct MiddleOutCase {
  std::uint8_t fx;
  std::size_t left_band;
  std::vector<int> lit;  // columns of row 1
};

// Row 1 takes its right extent from band 3 and its left one from band
// (offset + 6) mod 25, the offset stepping before: to 1 forwards, to 24
// backwards.
TEST_F(MusicTest, MiddleOutRowsLightFromTheMiddle) {
  const std::vector<int> both = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16, 17, 18, 19};
  const std::vector<int> right = {9, 10, 11, 12, 13, 15, 16, 17, 18, 19};
  const MiddleOutCase cases[] = {{1, 7, both}, {0, 5, both}, {0, 7, right}};
  for (const MiddleOutCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "fx " << int{c.fx} << " band " << c.left_band);
    Start(1, test::kFullSize, 0, c.fx);
    SpectrumBands bands = Bands(3, 1, 2000);
    bands[c.left_band] = 2000;
    Step(bands);
    for (const auto& [column, key] : RowKeys(1)) {
      const bool lit = std::ranges::find(c.lit, column) != c.lit.end();
      EXPECT_EQ(At(key), lit ? kLit : kUnlit) << "column " << column;
    }
  }
}

struct DiagonalCase {
  std::int32_t band;  // every band
  std::size_t rows;   // diagonal rows lit from the top left
  std::uint8_t phase;
};

TEST_F(MusicTest, LoudnessLightsDiagonalRowsInTheWheelsColours) {
  const DiagonalCase cases[] = {{2000, 12, 0}, {1000, 10, 10}, {0, 0, 20}};
  const KeyboardGeometry& geometry = *KeyboardGeometryOf(test::kFullSize);
  for (const DiagonalCase& c : cases) {
    SCOPED_TRACE(c.band);
    Start(3);
    Step(Bands(0, kSpectrumBands, c.band));
    for (std::size_t p = 0; p < kDiagonalRows; ++p) {
      for (const std::uint8_t key : geometry.diagonal[p]) {
        if (!IsKeyCell(key)) continue;
        const std::uint32_t lit = PackColour(WheelColour(c.phase + 9 * (p + 1)), 254);
        EXPECT_EQ(At(key), p < c.rows ? lit : 0u) << "row " << p;
      }
    }
  }
  // Keys no longer lit keep their colour and fade.
  Start(3);
  Step(Bands(0, kSpectrumBands, 2000));
  Step();
  EXPECT_EQ(At(geometry.diagonal[0][0]), PackColour(WheelColour(9), 214));
}

// Column 0 (band 1) ends in a key at row 5; column 5 (band 6) has none there.
TEST_F(MusicTest, HeldBarsShowFromTheNextStepAndWaitForTheirBottomKey) {
  Start(4);
  SpectrumBands bands = Bands(1, 1, 2000);
  bands[6] = 2000;
  Step(bands);
  for (const std::size_t r : {1, 2, 3, 5}) EXPECT_EQ(At(KeyAt(0, r)), kUnlit) << r;
  for (std::size_t r = 0; r < 5; ++r) EXPECT_EQ(At(KeyAt(5, r)), 0u) << "column 5 is skipped, row " << r;

  Step(bands);
  EXPECT_EQ(At(KeyAt(0, 0)), kUnlit);
  EXPECT_EQ(At(KeyAt(0, 1)), PackColour(kForeground, 209)) << "not lit again: it drains";
  EXPECT_EQ(At(KeyAt(0, 2)), kLit);
  EXPECT_EQ(At(KeyAt(0, 3)), kLit);
  EXPECT_EQ(At(KeyAt(0, 5)), PackColour(kForeground, 209)) << "no key above it";
}

struct RowCase {
  std::size_t row;
  std::size_t first_band;
  std::size_t bands;
  std::int32_t value;
  int lit_from;  // columns lit_from..lit_to of the row
  int lit_to;
};

TEST_F(MusicTest, RowsFromTheLeftFollowTheirGroupOfBands) {
  const RowCase cases[] = {
      {4, 2, 3, 2000, 0, 20},      // group value 2000: columns 0..20
      {4, 2, 3, 0, 0, kNoColumn},  // silence
      {0, 17, 3, 2000, 0, 20},     // group of 7 bands, three of them full
      {0, 17, 7, 2000, 0, 0},      // all seven: past full reads as 500
      {5, 0, 2, 2000, 0, 12},      // 4000 / 3
  };
  for (const RowCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << c.row << " bands " << c.first_band << "+" << c.bands);
    Start(5);
    Step(Bands(c.first_band, c.bands, c.value));
    for (const auto& [column, key] : RowKeys(c.row)) {
      EXPECT_EQ(At(key), column >= c.lit_from && column <= c.lit_to ? kLit : kUnlit) << "column " << column;
    }
  }
}

TEST_F(MusicTest, TheRowsUseTheFullSizeGridOnSmallerBoards) {
  Start(5, test::kCompact);
  Step(Bands(2, 3, 1600));    // row 4 to column 15 of the full-size grid
  EXPECT_EQ(At(95), kLit);    // at column 13 there
  EXPECT_EQ(At(96), kUnlit);  // at 16 there, though at 14 on the compact board
  EXPECT_EQ(At(97), 0u) << "not on the compact board";
}

TEST_F(MusicTest, AlternateRowsLightFromEitherSide) {
  const RowCase cases[] = {
      {2, 4, 3, 2000, 0, 22},    // even, full: from column 0
      {2, 4, 3, 0, 23, 22},      // even, silent: none
      {3, 7, 3, 2000, 0, 22},    // odd, full: to column 23, past the grid
      {3, 7, 3, 0, 0, 0},        // odd, silent: still column 0
      {5, 16, 5, 2000, 0, 4},    // odd, past full: reads as 500
      {4, 11, 5, 2000, 19, 22},  // even, past full
  };
  for (const RowCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << c.row << " value " << c.value);
    Start(6);
    Step(Bands(c.first_band, c.bands, c.value));
    for (const auto& [column, key] : RowKeys(c.row)) {
      EXPECT_EQ(At(key), column >= c.lit_from && column <= c.lit_to ? kLit : kUnlit) << "column " << column;
    }
  }
}

// The colour moves two wheel steps per key shown in the foreground, not per
// column, and starts again at the phase on every row.
TEST_F(MusicTest, AlternateRowsStepTheirColourPerKeyShown) {
  Start(6, test::kFullSize, 1);
  Step(Bands(4, 3, 2000));  // row 2 full; row 3 silent lights its column 0
  std::size_t index = 1;    // the phase after one step forwards
  for (const auto& [column, key] : RowKeys(2)) {
    EXPECT_EQ(At(key), PackColour(WheelColour(index), 254)) << "column " << column;
    index += 2;
  }
  EXPECT_EQ(At(KeyAt(0, 3)), PackColour(WheelColour(1), 254));
  EXPECT_EQ(At(KeyAt(2, 3)), kUnlit);
}

TEST(BeatDetectionTest, OnlyBeatRipplesFeedTheAccumulatorAndABeatStartsARingAtKey51) {
  const SpectrumBands loud = Bands(0, kSpectrumBands, 2000);  // 25 a spectrum
  BeatAccumulator& accumulator = ProgramBeatAccumulator();
  ClockedEngine clocked(Family::kKeyboard, test::kFullSize, test::kKeyboardLights);
  struct State {
    std::uint8_t mode;
    std::uint8_t audio_mode;
  };
  for (const State s : {State{29, 0}, State{29, 3}, State{8, 2}, State{30, 2}}) {
    EngineSettings settings = SettingsOf({.mode = s.mode});
    settings.audio.audio_mode = s.audio_mode;
    clocked.engine.Configure(settings, true);
    const int before = accumulator.total();
    for (int i = 0; i < 4; ++i) clocked.engine.TakeSpectrum(loud);
    EXPECT_EQ(accumulator.total(), before) << "mode " << int{s.mode} << " audio mode " << int{s.audio_mode};
  }

  EngineSettings beats = SettingsOf({.mode = 29, .brightness = 4});
  beats.audio = {2, 0, 0, 255, 0, 255, 0, 0, 0};
  clocked.engine.Configure(beats, true);
  // From a beat on, the count is known.
  for (int i = 0; i < 4 && accumulator.total() != 0; ++i) clocked.engine.TakeSpectrum(loud);
  ASSERT_EQ(accumulator.total(), 0);
  clocked.engine.Configure(beats, true);
  const std::uint8_t key_51 = 51;

  clocked.engine.TakeSpectrum(Bands(0, kSpectrumBands, 0));
  EXPECT_EQ(accumulator.total(), 0) << "silence adds nothing";
  clocked.engine.TakeSpectrum(Bands(0, kSpectrumBands, 1000));
  EXPECT_EQ(accumulator.total(), 13);
  clocked.engine.TakeSpectrum(loud);
  clocked.engine.TakeSpectrum(loud);
  EXPECT_EQ(accumulator.total(), 63);
  clocked.TickTimes(2);
  EXPECT_EQ(clocked.At(key_51), kUnlit) << "no beat yet";
  clocked.engine.TakeSpectrum(loud);
  EXPECT_EQ(accumulator.total(), 0) << "over 70: a beat";
  clocked.TickTimes(2);
  EXPECT_EQ(clocked.At(key_51), kLit);
}

}  // namespace
}  // namespace brontal::lighting
