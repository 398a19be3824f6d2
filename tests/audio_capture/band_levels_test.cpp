#include "audio_link/band_levels.h"

#include <gtest/gtest.h>

namespace brontal::audio_capture {
namespace {

TEST(BandLevelReductionTest, MeanChangeOfTheFirstFourValuesOfEachBand) {
  audio_link::BandLevelReduction reduction;
  audio_link::Spectrum frame{};
  // Band 2: the fifth value does not count; band 24: changes either way.
  frame[10] = 100, frame[11] = 200, frame[12] = 300, frame[13] = 401, frame[14] = 9999;
  frame[120] = -100;
  frame[125] = 5000;  // past the bands
  audio_link::BandLevels levels = reduction.Next(frame);
  EXPECT_EQ(levels[2], 250);  // 1001 / 4, rounded down
  EXPECT_EQ(levels[24], 25);
  EXPECT_EQ(levels[0], 0);

  frame[120] = 100;
  levels = reduction.Next(frame);
  EXPECT_EQ(levels[2], 0);
  EXPECT_EQ(levels[24], 50);
}

}  // namespace
}  // namespace brontal::audio_capture
