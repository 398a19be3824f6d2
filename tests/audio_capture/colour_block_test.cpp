#include "audio_capture/colour_block.h"

#include <gtest/gtest.h>

namespace brontal::audio_capture {
namespace {

struct ColourCase {
  audio_link::StyleColour style;
  std::uint8_t loudness;
  std::array<std::uint8_t, 3> rgb;
};

TEST(ColourBlockTest, StyleColourAtTheLoudness) {
  const ColourCase cases[] = {
      {{9, 4, 0}, 255, {255, 113, 0}},
      {{9, 4, 0}, 0, {0, 0, 0}},
      {{9, 9, 9}, 128, {128, 128, 128}},
      {{3, 6, 9}, 90, {30, 60, 90}},
      // Levels come from another program: out of range counts as the nearest end.
      {{12, -3, 2'000'000'000}, 255, {255, 0, 255}},
  };
  for (const ColourCase& c : cases) {
    AnalysedFrame frame;
    frame.loudness = c.loudness;
    const audio_link::ColourBlock block = MakeColourBlock(c.style, frame);
    EXPECT_EQ(block[0], c.rgb[0]);
    EXPECT_EQ(block[1], c.rgb[1]);
    EXPECT_EQ(block[2], c.rgb[2]);
    EXPECT_EQ(block[4], c.loudness);
    EXPECT_EQ(block[5], 0);
  }
}

TEST(ColourBlockTest, LoudestBandTheLowestOfEquals) {
  AnalysedFrame frame;
  EXPECT_EQ(MakeColourBlock({}, frame)[3], 0) << "silence";
  // Frames alternate their signs.
  frame.spectrum[7 * kValuesPerBand] = -900;
  frame.spectrum[19 * kValuesPerBand] = 900;
  EXPECT_EQ(MakeColourBlock({}, frame)[3], 7);
  frame.spectrum[24 * kValuesPerBand] = -901;
  EXPECT_EQ(MakeColourBlock({}, frame)[3], 24);
}

}  // namespace
}  // namespace brontal::audio_capture
