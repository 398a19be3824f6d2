#include "devices/lighting/per_light_effects.h"

#include <gtest/gtest.h>

#include "devices/lighting/light_test_support.h"

namespace brontal::lighting {
namespace {

using namespace std::chrono_literals;
using test::AlphaOf;
using test::ClockedEngine;
using test::RgbOf;
using test::SettingsOf;

enum : std::uint8_t { kBreathing = 0, kStatic = 1, kBlink = 2, kColourCycle = 3, kDark = 4 };

LedEffect Own(std::uint8_t effect, std::uint8_t speed = 0, Rgb colour = {255, 0, 0}, std::uint8_t multi_color = 0) {
  LedEffect record;
  record.mode = effect;
  record.brightness = 4;
  record.speed = speed;
  record.direction = 1;
  record.multi_color = multi_color;
  record.red = colour.red;
  record.green = colour.green;
  record.blue = colour.blue;
  record.present = 1;
  return record;
}

// A keyboard showing static blue, with some lights of their own.
class PerLightEffectsTest : public testing::Test {
 protected:
  static constexpr Rgb kBlue{0, 0, 255};

  void Show(std::vector<LedEffect> records, std::uint8_t speed = 4) {
    EngineSettings settings = SettingsOf({.mode = 6, .brightness = 4, .speed = speed, .colour = kBlue});
    settings.light_list = std::move(records);
    clocked.engine.Configure(settings, true);
  }
  ClockedEngine clocked{Family::kKeyboard, test::kTenkeyless, test::kKeyboardLights};
};

TEST_F(PerLightEffectsTest, PresentRecordsOverrideTheirLights) {
  std::vector<LedEffect> records(test::kKeyboardLights);
  records[1] = Own(kStatic, 0, {255, 0, 0});
  records[1].brightness = 2;
  records[2] = Own(kStatic);
  records[2].present = 0;
  records[3] = Own(kDark);
  records[4] = Own(9);         // no such effect: the mode's colour stays
  records[38] = Own(kStatic);  // Num Lock: not on a tenkeyless board
  Show(records);
  clocked.Tick();
  EXPECT_EQ(clocked.At(0), PackColour(kBlue, 255));
  EXPECT_EQ(clocked.At(1), PackColour({255, 0, 0}, 135));
  EXPECT_EQ(clocked.At(2), PackColour(kBlue, 255));
  EXPECT_EQ(clocked.At(3), 0u);
  EXPECT_EQ(clocked.At(4), PackColour(kBlue, 255));
  EXPECT_EQ(clocked.At(38), 0u);
}

TEST_F(PerLightEffectsTest, RunAfterEveryUnitWhateverTheModesInterval) {
  std::vector<LedEffect> records(2);
  records[1] = Own(kBreathing, 0);
  Show(records, 0);
  for (std::size_t unit = 1; unit <= 31; ++unit) {
    const bool stepped = clocked.Tick();
    EXPECT_EQ(stepped, unit % 8 == 0);
    EXPECT_EQ(AlphaOf(clocked.At(1)), kBreathCurve[4 * unit] * 255 / 256) << unit;
  }
}

TEST_F(PerLightEffectsTest, BreathingAdvancesItsOwnColourOncePerBreath) {
  std::vector<LedEffect> records(2);
  records[1] = Own(kBreathing, 4, {}, 1);  // 8 phases a unit: 16 units a breath
  Show(records);
  for (int unit = 1; unit <= 64; ++unit) {
    clocked.Tick();
    const auto breaths = static_cast<std::size_t>(unit / 16);
    EXPECT_EQ(clocked.At(1), PackColour(kColourWheel[breaths], kBreathCurve[8 * (unit % 16)] * 255 / 256)) << unit;
  }
}

TEST_F(PerLightEffectsTest, BlinkKeepsItsOwnPeriod) {
  std::vector<LedEffect> records(2);
  records[1] = Own(kBlink, 1);  // 1200 ms
  Show(records);
  std::vector<std::chrono::milliseconds> flips;
  bool on = false;
  while (clocked.Now() < 6s) {
    clocked.Tick(1ms);
    const bool lit = AlphaOf(clocked.At(1)) != 0;
    if (lit != on) flips.push_back(clocked.Now());
    on = lit;
  }
  ASSERT_GE(flips.size(), 4u);
  for (std::size_t i = 1; i < flips.size(); ++i) EXPECT_EQ(flips[i] - flips[i - 1], 1200ms) << i;
}

TEST_F(PerLightEffectsTest, MulticolourBlinkMovesFourteenWheelStepsPerFlip) {
  std::vector<LedEffect> records(2);
  records[1] = Own(kBlink, 4, {}, 1);
  Show(records);
  clocked.Tick(1ms);
  EXPECT_EQ(RgbOf(clocked.At(1)), kColourWheel[0]);
  clocked.Tick(400ms);  // off, then on again
  clocked.Tick(200ms);
  EXPECT_EQ(RgbOf(clocked.At(1)), kColourWheel[28]);
}

struct BlinkColourCase {
  int flips;
  std::size_t wheel_index;
};

TEST_F(PerLightEffectsTest, MulticolourBlinkStartsTheWheelAgainPastItsEnd) {
  // Even flips are on. 14 x 14 = 196 is past the wheel: back to its start.
  const BlinkColourCase cases[] = {{12, 168}, {14, 0}, {16, 28}, {20, 84}, {28, 0}};
  std::vector<LedEffect> records(2);
  records[1] = Own(kBlink, 4, {}, 1);  // 200 ms
  Show(records);
  clocked.Tick(1ms);
  int flips = 0;
  for (const BlinkColourCase& c : cases) {
    for (; flips < c.flips; ++flips) clocked.Tick(200ms);
    EXPECT_EQ(clocked.At(1), PackColour(kColourWheel[c.wheel_index], 255)) << c.flips << " flips";
  }
}

TEST_F(PerLightEffectsTest, ColourCycleStepsAtItsOwnInterval) {
  std::vector<LedEffect> records(3);
  records[1] = Own(kColourCycle, 0);  // every 8 units
  records[2] = Own(kColourCycle, 4);  // every unit
  records[2].direction = 0;
  Show(records);
  for (int unit = 1; unit <= 24; ++unit) {
    clocked.Tick();
    EXPECT_EQ(clocked.At(1), PackColour(kColourWheel[static_cast<std::size_t>(unit / 8)], 255)) << unit;
    EXPECT_EQ(clocked.At(2), PackColour(kColourWheel[static_cast<std::size_t>(192 - unit)], 255)) << unit;
  }
}

}  // namespace
}  // namespace brontal::lighting
