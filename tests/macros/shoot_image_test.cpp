// The image the mouse plays its recoil patterns from, byte for byte, and how
// long a pattern may be for the mouse's memory.
#include "macros/shoot_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "macros/shoot_file.h"

namespace brontal {
namespace {

using Bytes = std::vector<std::uint8_t>;

const MacroEvent kLeftPress = {macro_event_type::kMouseButton, 0x01, true, 300};

ShootPatterns OfLengths(std::size_t each) {
  ShootPatterns patterns;
  patterns.fill(std::vector<MacroEvent>(each, kLeftPress));
  return patterns;
}

TEST(ShootImage, SmallPatternsByteForByte) {
  ShootPatterns patterns;
  const auto shot = ShotEvents({.x = 3, .left = true, .y = 7, .up = false, .pause = 30});
  patterns[0].assign(shot.begin(), shot.end());
  patterns[2] = {kLeftPress};
  const Bytes expected = {
      0xAA, 0x55, 68,   0,    4,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0,  // header: T = 68, four records
      24,   0,    52,   0,    56,   0,    64,   0,                             // where each gun's record starts
      6,    0,    0,    0,                                                     // gun 0: one shot
      0x0A, 0x00, 0x81, 0x01, 0x00, 0x00, 0x01, 0x01,                          // left press (10), release
      0x05, 0x00, 0x84, 0x03, 0x1E, 0x00, 0x05, 0x07,                          // left 3 (5), down 7 (30)
      0x00, 0x00, 0x84, 0x00, 0x00, 0x00, 0x05, 0x00,                          // left 0, down 0
      0,    0,    0,    0,                                                     // gun 1: empty
      1,    0,    0,    0,    0x2C, 0x01, 0x81, 0x01,                          // gun 2: a press with 300 ms
      0,    0,    0,    0,                                                     // gun 3: empty
  };
  const ShootImageBuild build = BuildShootImage(patterns);
  ASSERT_TRUE(std::holds_alternative<Bytes>(build));
  EXPECT_EQ(std::get<Bytes>(build), expected);
}

TEST(ShootImage, FourFullPatternsTake2920Bytes) {
  const ShootImageBuild build = BuildShootImage(OfLengths(kShotCount * kShotEvents));
  ASSERT_TRUE(std::holds_alternative<Bytes>(build));
  const Bytes& image = std::get<Bytes>(build);
  ASSERT_EQ(image.size(), 2920U);
  EXPECT_EQ(image[2] | image[3] << 8, 2920);
  // Records of 4 + 720 bytes each, after the header and the offsets.
  for (std::size_t gun = 0; gun < kGunCount; ++gun)
    EXPECT_EQ(image[16 + 2 * gun] | image[17 + 2 * gun] << 8, static_cast<int>(24 + 724 * gun)) << gun;
}

TEST(ShootImage, AnImagePast65535BytesIsRefusedNotWrapped) {
  // 40 bytes of header, offsets and record heads, then 4 per event.
  const struct {
    std::size_t events;  // all four guns together
    std::optional<std::size_t> refused_size;
  } cases[] = {{16373, std::nullopt}, {16374, 65536}, {20000, 80040}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.events);
    ShootPatterns patterns;
    for (std::size_t i = 0; i < c.events; ++i) patterns[i % kGunCount].push_back(kLeftPress);
    const ShootImageBuild build = BuildShootImage(patterns);
    if (!c.refused_size) {
      ASSERT_TRUE(std::holds_alternative<Bytes>(build));
      EXPECT_EQ(std::get<Bytes>(build).size(), 40 + 4 * c.events);
      continue;
    }
    ASSERT_TRUE(std::holds_alternative<MacroImageTooLarge>(build));
    EXPECT_EQ(std::get<MacroImageTooLarge>(build).image_bytes, *c.refused_size);
    EXPECT_EQ(std::get<MacroImageTooLarge>(build).capacity_bytes, kLargestShootImage);
  }
}

TEST(ShootImage, TheLongestPatternIsWholeShotsThatFitFourTimes) {
  const struct {
    std::size_t memory_bytes;
    std::size_t events;
  } cases[] = {{0, 0},      {39, 0},     {40, 0},       {135, 0},      {136, 6},        {2048, 120},
               {2920, 180}, {4096, 252}, {32640, 2034}, {65535, 4092}, {1u << 20, 4092}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.memory_bytes);
    const std::size_t longest = LargestShootPattern(c.memory_bytes);
    EXPECT_EQ(longest, c.events);
    EXPECT_EQ(longest % kShotEvents, 0U);
    const std::size_t room = std::min(c.memory_bytes, kLargestShootImage);
    if (room < MacroImageSize(ShootPatterns{})) continue;  // not even empty patterns fit
    EXPECT_LE(MacroImageSize(OfLengths(longest)), room);
    EXPECT_GT(MacroImageSize(OfLengths(longest + kShotEvents)), room);
  }
}

}  // namespace
}  // namespace brontal
