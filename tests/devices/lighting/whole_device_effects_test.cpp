#include "devices/lighting/whole_device_effects.h"

#include <gtest/gtest.h>

#include <vector>

#include "devices/lighting/light_test_support.h"

namespace brontal::lighting {
namespace {

using namespace std::chrono_literals;
using test::AlphaOf;
using test::ClockedEngine;
using test::RgbOf;
using test::SettingsOf;

struct DeviceCase {
  const char* name;
  Family family;
  std::uint16_t product_id;
  std::size_t lights;
};

const DeviceCase kBreathers[] = {
    {"mouse", Family::kMouse, 0, 15},
    {"mouse pad", Family::kMousePad, 0, 15},
    {"headset", Family::kHeadset, 0, 13},
};
constexpr std::uint8_t kBreathingMode = 2;  // on all three
constexpr int kBreath = 128;

TEST(WholeDeviceEffectsTest, MulticolourBreathingMovesOnSixteenWheelStepsPerBreath) {
  for (const DeviceCase& device : kBreathers) {
    for (const std::uint8_t fx : {0, 1}) {
      SCOPED_TRACE(testing::Message() << device.name << " fx " << int{fx});
      ClockedEngine clocked(device.family, device.product_id, device.lights);
      clocked.engine.Configure(SettingsOf({.mode = kBreathingMode, .speed = 4, .fx = fx, .multi_color = 1}), true);
      ASSERT_EQ(clocked.engine.StepInterval(), 1);
      for (int step = 1; step <= 3 * kBreath + 5; ++step) {
        clocked.Tick();
        SCOPED_TRACE(step);
        const int phase = fx ? step % kBreath : (kBreath - step % kBreath) % kBreath;
        const std::size_t index = 16 * static_cast<std::size_t>(step / kBreath);
        for (std::size_t light = 0; light < device.lights; ++light) {
          ASSERT_EQ(clocked.At(light), PackColour(kColourWheel[index], kBreathCurve[phase] * 255 / 256));
        }
      }
    }
  }
}

TEST(WholeDeviceEffectsTest, SingleColourBreathingKeepsTheColour) {
  ClockedEngine clocked(Family::kMouse, 0, 15);
  clocked.engine.Configure(SettingsOf({.mode = kBreathingMode, .brightness = 2, .colour = {1, 2, 3}}), true);
  for (int step = 1; step <= 2 * kBreath; ++step) {
    clocked.Tick();
    ASSERT_EQ(clocked.At(7), PackColour({1, 2, 3}, kBreathCurve[step % kBreath] * 135 / 256)) << step;
  }
}

TEST(WholeDeviceEffectsTest, FourColourBreathingTakesTheNextColourPerBreath) {
  ClockedEngine clocked(Family::kKeyboard, test::kFullSize, test::kKeyboardLights);
  clocked.engine.Configure(SettingsOf({.mode = 26, .speed = 4, .multi_color = 1}), true);
  for (int step = 1; step <= 5 * kBreath; ++step) {
    clocked.Tick();
    ASSERT_EQ(RgbOf(clocked.At(0)), kFourColours[static_cast<std::size_t>(step / kBreath) % 4]) << step;
  }
}

struct BlinkCase {
  const char* name;
  Family family;
  std::uint8_t mode;
  std::uint8_t speed;
  std::chrono::microseconds clock_step;
  std::chrono::milliseconds shortest_gap;
  std::chrono::milliseconds longest_gap;
};

// The flips of a blink wait for the first step at or after the period's end.
TEST(WholeDeviceEffectsTest, BlinkFlipsOncePerPeriodOnTheClock) {
  const BlinkCase cases[] = {
      // Speed 0 steps every 8 units (125 ms): 13 steps make 1625 ms.
      {"keyboard, speed 0", Family::kKeyboard, 23, 0, kAnimationUnit, 1625ms, 1625ms},
      {"mouse, speed 0", Family::kMouse, 4, 0, kAnimationUnit, 1625ms, 1625ms},
      {"four colours, speed 2", Family::kKeyboard, 27, 2, kAnimationUnit, 800ms, 850ms},
      // A clock far faster than its units: the period holds, also at interval 0.
      {"keyboard, speed 0, fast clock", Family::kKeyboard, 23, 0, 1ms, 1600ms, 1600ms},
      {"keyboard, speed 4, fast clock", Family::kKeyboard, 23, 4, 1ms, 200ms, 200ms},
      {"headset, speed 3, fast clock", Family::kHeadset, 4, 3, 1ms, 400ms, 400ms},
  };
  for (const BlinkCase& c : cases) {
    SCOPED_TRACE(c.name);
    ClockedEngine clocked(c.family, test::kFullSize, c.family == Family::kKeyboard ? test::kKeyboardLights : 13);
    clocked.engine.Configure(SettingsOf({.mode = c.mode, .speed = c.speed}), true);
    std::vector<std::chrono::milliseconds> flips;
    bool on = false;
    while (clocked.Now() < 12s) {
      clocked.Tick(c.clock_step);
      const bool lit = AlphaOf(clocked.At(0)) != 0;
      if (lit != on) flips.push_back(clocked.Now());
      on = lit;
    }
    ASSERT_GE(flips.size(), 5u);
    for (std::size_t i = 1; i < flips.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_GE(flips[i] - flips[i - 1], c.shortest_gap);
      EXPECT_LE(flips[i] - flips[i - 1], c.longest_gap);
    }
  }
}

TEST(WholeDeviceEffectsTest, BlinkShowsTheColourWhenOnAndNothingWhenOff) {
  ClockedEngine clocked(Family::kKeyboard, test::kCompact, test::kKeyboardLights);
  clocked.engine.Configure(SettingsOf({.mode = 23, .brightness = 3, .speed = 4, .colour = {7, 8, 9}}), true);
  clocked.Tick();
  EXPECT_EQ(clocked.At(0), PackColour({7, 8, 9}, 195));
  while (AlphaOf(clocked.At(0)) != 0) clocked.Tick();
  EXPECT_EQ(clocked.At(0), 0u);
}

}  // namespace
}  // namespace brontal::lighting
