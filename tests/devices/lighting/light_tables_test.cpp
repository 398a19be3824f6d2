#include "devices/lighting/light_tables.h"

#include <gtest/gtest.h>

#include "devices/lighting/light_primitives.h"

namespace brontal::lighting {
namespace {

struct WheelCase {
  std::size_t index;
  Rgb colour;
};

TEST(LightTablesTest, ColourWheelSegmentsMeetWhereTheRampsEnd) {
  const WheelCase cases[] = {
      {0, {255, 1, 0}},     {31, {255, 255, 0}}, {32, {248, 255, 0}},  {64, {0, 255, 1}},
      {100, {0, 194, 255}}, {128, {1, 0, 255}},  {160, {255, 0, 248}}, {191, {255, 0, 0}},
  };
  for (const WheelCase& c : cases) {
    SCOPED_TRACE(c.index);
    EXPECT_EQ(kColourWheel[c.index], c.colour);
  }
}

TEST(LightTablesTest, WheelIsReadModuloItsSize) {
  EXPECT_EQ(WheelColour(192), kColourWheel[0]);
  EXPECT_EQ(WheelColour(253), kColourWheel[61]);
  EXPECT_EQ(WheelColour(255), kColourWheel[63]);
}

struct CurveCase {
  const char* name;
  std::size_t index;
  std::uint8_t expected;
  std::uint8_t actual;
};

TEST(LightTablesTest, CurvesPeakAndEndWhereTheyShould) {
  const CurveCase cases[] = {
      {"breath", 0, 0, kBreathCurve[0]},     {"breath", 63, 255, kBreathCurve[63]},
      {"breath", 64, 255, kBreathCurve[64]}, {"breath", 117, 10, kBreathCurve[117]},
      {"breath", 127, 0, kBreathCurve[127]}, {"wave", 0, 22, kWaveCurve[0]},
      {"wave", 47, 255, kWaveCurve[47]},     {"wave", 48, 255, kWaveCurve[48]},
      {"wave", 95, 22, kWaveCurve[95]},      {"fade", 0, 0, kFadeCurve[0]},
      {"fade", 23, 234, kFadeCurve[23]},     {"fade", 24, 255, kFadeCurve[24]},
      {"fade", 64, 0, kFadeCurve[64]},       {"fade", 191, 0, kFadeCurve[191]},
  };
  for (const CurveCase& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.index));
    EXPECT_EQ(c.actual, c.expected);
  }
  EXPECT_EQ(kBrightnessLevels, (std::array<std::uint8_t, 5>{0, 80, 135, 195, 255}));
  EXPECT_EQ(kFourColours[0], (Rgb{0, 255, 180}));
  EXPECT_EQ(kFourColours[3], (Rgb{255, 0, 0}));
}

TEST(LightTablesTest, FadeCurveFallsAllTheWayFromItsPeak) {
  for (std::size_t i = 25; i <= 64; ++i) {
    SCOPED_TRACE(i);
    EXPECT_LT(kFadeCurve[i], kFadeCurve[i - 1]);
  }
  for (std::size_t i = 65; i < kFadeCurve.size(); ++i) EXPECT_EQ(kFadeCurve[i], 0) << i;
}

struct IntervalCase {
  const char* family;
  std::uint8_t mode;
  std::array<int, 5> by_speed;
  int (*interval)(std::uint8_t mode, std::uint8_t speed);
};

int Accessory(std::uint8_t, std::uint8_t speed) { return StandardAccessoryInterval(speed); }

TEST(LightTablesTest, StepIntervalsBySpeed) {
  const IntervalCase cases[] = {
      {"keyboard", 1, {8, 5, 3, 1, 0}, KeyboardStepInterval},  {"keyboard", 30, {8, 5, 3, 1, 0}, KeyboardStepInterval},
      {"keyboard", 2, {12, 8, 5, 0, 0}, KeyboardStepInterval}, {"keyboard", 14, {3, 3, 3, 3, 0}, KeyboardStepInterval},
      {"keyboard", 16, {3, 3, 3, 3, 0}, KeyboardStepInterval}, {"keyboard", 17, {3, 3, 3, 3, 0}, KeyboardStepInterval},
      {"keyboard", 29, {2, 2, 2, 2, 2}, KeyboardStepInterval}, {"mouse", 0, {8, 6, 4, 2, 1}, MouseStepInterval},
      {"mouse", 5, {16, 12, 8, 4, 2}, MouseStepInterval},      {"pad", 0, {8, 6, 4, 2, 1}, Accessory},
  };
  for (const IntervalCase& c : cases) {
    for (std::uint8_t speed = 0; speed < 5; ++speed) {
      SCOPED_TRACE(std::string(c.family) + " mode " + std::to_string(c.mode) + " speed " + std::to_string(speed));
      EXPECT_EQ(c.interval(c.mode, speed), c.by_speed[speed]);
    }
  }
  // A speed out of range reads as the fastest.
  EXPECT_EQ(KeyboardStepInterval(1, 9), 0);
  EXPECT_EQ(BlinkPeriodMs(0), 1600);
  EXPECT_EQ(BlinkPeriodMs(4), 200);
}

struct StepPhaseCase {
  std::uint8_t direction, n, phase, step, expected;
};

TEST(LightPrimitivesTest, StepPhaseRestartsAtEitherEnd) {
  const StepPhaseCase cases[] = {
      {1, 128, 126, 1, 127}, {1, 128, 127, 1, 0},   {1, 52, 51, 1, 0},   {1, 96, 94, 3, 0}, {0, 128, 0, 1, 127},
      {0, 96, 1, 3, 93},     {0, 192, 191, 1, 190}, {7, 192, 190, 7, 0}, {0, 25, 0, 1, 24},
  };
  for (const StepPhaseCase& c : cases) {
    SCOPED_TRACE(testing::Message() << int{c.direction} << " " << int{c.n} << " " << int{c.phase} << " "
                                    << int{c.step});
    EXPECT_EQ(StepPhase(c.direction, c.n, c.phase, c.step), c.expected);
  }
}

struct FadeCase {
  std::uint8_t level, mode, expected;
};

TEST(LightPrimitivesTest, FadeStepsBySize) {
  const FadeCase cases[] = {
      // Generic.
      {255, 8, 215},
      {128, 8, 88},
      {127, 8, 97},
      {64, 8, 34},
      {63, 8, 53},
      {63, 0, 48},
      {32, 8, 22},
      {32, 0, 17},
      {31, 8, 23},
      {17, 8, 9},
      {16, 8, 15},
      {1, 8, 0},
      {0, 8, 0},
      // Music.
      {255, 29, 210},
      {144, 29, 99},
      {143, 29, 103},
      {128, 29, 88},
      {112, 29, 77},
      {96, 29, 66},
      {80, 29, 55},
      {64, 29, 44},
      {63, 29, 53},
      {32, 29, 22},
      {31, 29, 26},
      {17, 29, 12},
      {16, 29, 15},
      {0, 29, 0},
  };
  for (const FadeCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "level " << int{c.level} << " mode " << int{c.mode});
    EXPECT_EQ(Fade(c.level, c.mode), c.expected);
  }
}

}  // namespace
}  // namespace brontal::lighting
