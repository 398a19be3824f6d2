#include "devices/headset/headset_wire.h"

#include <gtest/gtest.h>

#include <vector>

namespace brontal::headset {
namespace {

std::vector<std::uint32_t> Uniform(std::uint32_t colour) { return std::vector<std::uint32_t>(kLightCount, colour); }

TEST(HeadsetWire, PlanesScaleByAlphaAndStopAt247) {
  struct Case {
    const char* what;
    std::uint32_t colour;
    std::array<std::uint8_t, 3> rgb;
  };
  const Case cases[] = {
      {"white at full alpha: 254 capped", 0xFFFFFFFF, {247, 247, 247}},
      {"alpha 0", 0x00FFFFFF, {0, 0, 0}},
      {"half alpha", 0x80FF8040, {127, 64, 32}},
      {"below the cap", 0xF8F7F700, {239, 239, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const LightPlanes planes = PlanesOf(Uniform(c.colour));
    for (std::size_t plane = 0; plane < 3; ++plane) {
      for (std::size_t i = 0; i < kLightCount; ++i) EXPECT_EQ(planes[plane][i], c.rgb[plane]);
      for (std::size_t i = kLightCount; i < 16; ++i) EXPECT_EQ(planes[plane][i], 0);
    }
  }
}

TEST(HeadsetWire, TwelveReportsInTheHeadsetsOrderWithTheStaleSeventhValue) {
  // Every position a different red, green and blue, so each value shows where it went.
  std::vector<std::uint32_t> colours;
  for (std::uint32_t i = 0; i < kLightCount; ++i)
    colours.push_back(0xFF000000 | (10 + i) << 16 | (40 + i) << 8 | (70 + i));
  const LightReports reports = BuildLightReports(PlanesOf(colours));
  const LightPlanes planes = PlanesOf(colours);
  const std::uint8_t targets[] = {0x22, 0x44};
  const std::uint8_t lower[] = {0xAA, 0xAB, 0xAC};
  const std::uint8_t upper[] = {0xAD, 0xAE, 0xAF};
  for (std::size_t r = 0; r < kReportsPerFrame; ++r) {
    SCOPED_TRACE(r);
    const std::size_t plane = r / 4;
    const bool is_upper = r % 2 == 1;
    const LightReport& report = reports[r];
    EXPECT_EQ(report[0], 0xFF);
    EXPECT_EQ(report[1], targets[(r / 2) % 2]);
    EXPECT_EQ(report[2], is_upper ? upper[plane] : lower[plane]);
    EXPECT_EQ(report[3], 0);
    if (is_upper) {
      for (std::size_t v = 0; v < 6; ++v) EXPECT_EQ(report[4 + v], planes[plane][7 + v]);
      // Byte 10 keeps position 6 of the report before.
      EXPECT_EQ(report[10], planes[plane][6]);
    } else {
      for (std::size_t v = 0; v < 7; ++v) EXPECT_EQ(report[4 + v], planes[plane][v]);
    }
    for (std::size_t b = 11; b < kReportSize; ++b) EXPECT_EQ(report[b], 0);
  }
  // Report 2 of the frame: red 7..12, then red 6.
  EXPECT_EQ(reports[1][4], planes[0][7]);
  EXPECT_EQ(reports[1][10], planes[0][6]);
}

}  // namespace
}  // namespace brontal::headset
