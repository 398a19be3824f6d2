#include "devices/lighting/wave_field.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "devices/lighting/light_test_support.h"

namespace brontal::lighting {
namespace {

const KeyGrid<kGridRows>& FullSizeGrid() { return KeyboardGeometryOf(test::kFullSize)->grid; }

int Distance(std::size_t c, std::size_t r, GridCell from) {
  return std::abs(static_cast<int>(c) - static_cast<int>(from.column)) +
         std::abs(static_cast<int>(r) - static_cast<int>(from.row));
}

TEST(WaveFieldTest, SeedMarksTheKeysCellInAllFourBitmaps) {
  WaveField wave;
  wave.Seed(FullSizeGrid(), 72);  // L, column 10, row 3
  for (const auto& bitmap : wave.bitmaps) {
    for (std::size_t c = 0; c < kGridColumns; ++c) EXPECT_EQ(bitmap[c], c == 10 ? 0x08 : 0) << c;
  }
  WaveField untouched;
  untouched.Seed(FullSizeGrid(), 124);  // on no board
  untouched.Seed(FullSizeGrid(), kNoKey);
  for (std::size_t c = 0; c < kGridColumns; ++c) EXPECT_EQ(untouched.Column(c), 0) << c;
}

// Each ripple moves every bitmap from the values before it, so a seeded cell
// grows into the ring of cells exactly that many steps away, cut off at the
// grid's edges without wrapping to the other side.
TEST(WaveFieldTest, RipplesGrowADiamondRingOneCellAtATime) {
  for (const GridCell seed : {GridCell{10, 3}, GridCell{0, 0}, GridCell{22, 5}, GridCell{21, 1}}) {
    WaveField wave;
    wave.SetInAll(seed.column, static_cast<std::uint8_t>(1u << seed.row));
    for (int radius = 1; radius <= 8; ++radius) {
      wave.Ripple();
      for (std::size_t c = 0; c < kGridColumns; ++c) {
        for (std::size_t r = 0; r < kGridRows; ++r) {
          ASSERT_EQ(wave.Holds(c, r), Distance(c, r, seed) == radius)
              << "seed " << seed.column << "," << seed.row << " radius " << radius << " cell " << c << "," << r;
        }
      }
    }
  }
}

TEST(WaveFieldTest, BitsBelowTheGridTravelAndLeaveAtBitSeven) {
  WaveField wave;
  wave.SetInAll(9, 0x40);  // under the bottom row
  wave.Ripple();
  EXPECT_EQ(wave.Column(9), 0x20 | 0x80) << "up into row 5, and down to bit 7";
  EXPECT_EQ(wave.Column(8), 0x40);
  EXPECT_EQ(wave.Column(10), 0x40);
  wave.Ripple();
  EXPECT_EQ(wave.Column(9), 0x10) << "bit 7 shifted out, not kept";
  EXPECT_EQ(wave.Column(8), 0x20 | 0x80);
}

// By step 13 both lights have left, past columns 0 and 22.
TEST(WaveFieldTest, StreaksRunBothWaysAlongTheRowUntilTheyLeaveTheGrid) {
  WaveField wave;
  wave.SetInAll(10, 0x08);
  for (int step = 1; step <= 13; ++step) {
    wave.Streak();
    for (std::size_t c = 0; c < kGridColumns; ++c) {
      const bool expected = static_cast<int>(c) == 10 - step || static_cast<int>(c) == 10 + step;
      ASSERT_EQ(wave.Column(c), expected ? 0x08 : 0) << "step " << step << " column " << c;
    }
  }
}

}  // namespace
}  // namespace brontal::lighting
