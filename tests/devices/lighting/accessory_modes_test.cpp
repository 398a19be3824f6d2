#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "devices/lighting/light_runs.h"
#include "devices/lighting/light_test_support.h"
#include "devices/lighting/mouse_modes.h"
#include "devices/lighting/pad_modes.h"

// Mice, mouse pads and headsets.
namespace brontal::lighting {
namespace {

using test::AlphaOf;
using test::ClockedEngine;
using test::RgbOf;
using test::SettingsOf;

struct RunCase {
  std::size_t lights;
  std::vector<std::size_t> run_sizes;
};

TEST(LightRunsTest, LightsSplitIntoSevenEvenRunsInOrder) {
  const RunCase cases[] = {
      {15, {2, 2, 2, 2, 2, 2, 3}}, {13, {1, 2, 2, 2, 2, 2, 2}}, {14, {2, 2, 2, 2, 2, 2, 2}},
      {7, {1, 1, 1, 1, 1, 1, 1}},  {21, {3, 3, 3, 3, 3, 3, 3}},
  };
  for (const RunCase& c : cases) {
    SCOPED_TRACE(c.lights);
    std::vector<std::size_t> sizes(kLightRuns);
    std::size_t previous = 0;
    for (std::size_t light = 0; light < c.lights; ++light) {
      const std::size_t run = RunOf(light, c.lights);
      ASSERT_LT(run, kLightRuns);
      EXPECT_GE(run, previous);
      previous = run;
      ++sizes[run];
    }
    EXPECT_EQ(sizes, c.run_sizes);
  }
}

struct AccessoryCase {
  const char* name;
  Family family;
  std::size_t lights;
  std::uint8_t mode;
  std::array<int, 5> intervals;
};

TEST(AccessoryModesTest, StepIntervalsBySpeed) {
  const AccessoryCase cases[] = {
      {"mouse wave", Family::kMouse, 15, 0, {8, 6, 4, 2, 1}},
      {"mouse chase", Family::kMouse, 15, 5, {16, 12, 8, 4, 2}},
      {"mouse off", Family::kMouse, 15, 10, {8, 6, 4, 2, 1}},
      {"mouse effect list", Family::kMouse, 15, 9, {0, 0, 0, 0, 0}},
      {"mouse mode 11", Family::kMouse, 15, 11, {0, 0, 0, 0, 0}},
      {"pad wave", Family::kMousePad, 15, 0, {8, 6, 4, 2, 1}},
      {"pad effect list", Family::kMousePad, 15, 5, {0, 0, 0, 0, 0}},
      {"headset pair chase", Family::kHeadset, 13, 7, {8, 6, 4, 2, 1}},
      {"headset mode 9", Family::kHeadset, 13, 9, {0, 0, 0, 0, 0}},
  };
  for (const AccessoryCase& c : cases) {
    for (std::uint8_t speed = 0; speed < 5; ++speed) {
      SCOPED_TRACE(testing::Message() << c.name << " speed " << int{speed});
      ClockedEngine clocked(c.family, 0, c.lights);
      clocked.engine.Configure(SettingsOf({.mode = c.mode, .speed = speed}), true);
      EXPECT_EQ(clocked.engine.StepInterval(), c.intervals[speed]);
      EXPECT_EQ(clocked.TickTimes(96), 96 / std::max(c.intervals[speed], 1));
    }
  }
}

TEST(AccessoryModesTest, BrightnessZeroDarkensEveryMode) {
  const AccessoryCase devices[] = {
      {"mouse", Family::kMouse, 15, 10, {}},
      {"mouse pad", Family::kMousePad, 15, 8, {}},
      {"headset", Family::kHeadset, 13, 8, {}},
  };
  for (const AccessoryCase& device : devices) {
    for (std::uint8_t mode = 0; mode <= device.mode; ++mode) {
      for (const std::uint8_t multi : {0, 1}) {
        SCOPED_TRACE(testing::Message() << device.name << " mode " << int{mode} << " multicolour " << int{multi});
        ClockedEngine clocked(device.family, 0, device.lights);
        EngineSettings settings = SettingsOf({.mode = mode, .brightness = 0, .multi_color = multi});
        LightStep step;
        step.mode = 1;
        step.time = 1000;
        settings.effect_list = {step};
        clocked.engine.Configure(settings, true);
        for (int unit = 0; unit < 100; ++unit) {
          if (unit % 10 == 0) clocked.engine.OnMouseClick();
          clocked.Tick();
          for (std::size_t light = 0; light < device.lights; ++light) ASSERT_EQ(AlphaOf(clocked.At(light)), 0);
        }
      }
    }
  }
}

TEST(AccessoryModesTest, MouseGroupsShareAColourSevenWheelStepsApart) {
  ClockedEngine clocked(Family::kMouse, 0, 15);
  clocked.engine.Configure(SettingsOf({.mode = 0, .fx = 1, .multi_color = 1}), true);
  clocked.Tick();
  for (std::size_t light = 0; light < 15; ++light) {
    EXPECT_EQ(clocked.At(light), PackColour(kColourWheel[1 + 7 * RunOf(light, 15)], 255)) << light;
  }
  clocked.engine.Configure(SettingsOf({.mode = 0, .brightness = 4, .fx = 0, .colour = {9, 9, 9}}), true);
  clocked.Tick();
  // Backwards from 0: phase 95.
  EXPECT_EQ(clocked.At(14), PackColour({9, 9, 9}, kWaveCurve[(95 + 7 * 6) % 96] * 255 / 256));
}

TEST(AccessoryModesTest, ClickFadeRisesAndFallsOnceInOneColour) {
  ClockedEngine clocked(Family::kMouse, 0, 15, 7);
  clocked.engine.Configure(SettingsOf({.mode = 6, .speed = 4, .multi_color = 1}), true);
  clocked.TickTimes(5);
  EXPECT_EQ(AlphaOf(clocked.At(0)), 0) << "dark until a click";
  clocked.engine.OnMouseClick();
  std::vector<int> levels;
  for (int unit = 0; unit < 40; ++unit) {
    clocked.Tick();
    levels.push_back(AlphaOf(clocked.At(0)));
    for (std::size_t light = 1; light < 15; ++light) ASSERT_EQ(clocked.At(light), clocked.At(0));
  }
  // Up by 15 to 255 in 17 steps, down by 15 to 0 in 17 more.
  EXPECT_EQ(levels[0], 15 * 255 / 256);
  EXPECT_EQ(levels[16], 254);
  EXPECT_EQ(levels[17], 240 * 255 / 256);
  EXPECT_EQ(levels[32], 15 * 255 / 256);
  EXPECT_EQ(levels[33], 0);
  EXPECT_EQ(levels[39], 0);
}

TEST(AccessoryModesTest, ClicksOutsideClickFadeChangeNothing) {
  for (const Family family : {Family::kMouse, Family::kKeyboard}) {
    ClockedEngine clicked(family, test::kFullSize, 15, 3);
    ClockedEngine left_alone(family, test::kFullSize, 15, 3);
    for (ClockedEngine* clocked : {&clicked, &left_alone}) {
      clocked->engine.Configure(SettingsOf({.mode = 7, .multi_color = 1}), true);
    }
    for (int unit = 0; unit < 50; ++unit) {
      clicked.engine.OnMouseClick();
      clicked.Tick();
      left_alone.Tick();
      for (std::size_t light = 0; light < 15; ++light) ASSERT_EQ(clicked.At(light), left_alone.At(light));
    }
  }
}

TEST(AccessoryModesTest, LightChaseTurnsEverySecondStep) {
  ClockedEngine clocked(Family::kMousePad, 0, 15);
  clocked.engine.Configure(SettingsOf({.mode = 6, .speed = 4, .fx = 1, .colour = {0, 255, 0}}), true);
  auto lit_lights = [&] {
    std::vector<std::size_t> lit;
    for (std::size_t light = 0; light < 15; ++light) {
      if (AlphaOf(clocked.At(light)) > 200) lit.push_back(light);
    }
    return lit;
  };
  clocked.Tick();
  EXPECT_EQ(lit_lights(), (std::vector<std::size_t>{1, 6, 11}));
  clocked.Tick();
  EXPECT_EQ(lit_lights(), (std::vector<std::size_t>{})) << "fading";
  EXPECT_GT(AlphaOf(clocked.At(1)), 0);
  clocked.Tick();
  EXPECT_EQ(lit_lights(), (std::vector<std::size_t>{2, 7, 12}));
}

TEST(AccessoryModesTest, PairChaseTurnsTheOtherWay) {
  ClockedEngine clocked(Family::kHeadset, 0, 13);
  clocked.engine.Configure(SettingsOf({.mode = 7, .speed = 4, .fx = 1}), true);
  clocked.Tick();
  // Backwards from run 0 to run 6: runs 6 and 3 (lights 11..12 and 5..6).
  for (std::size_t light = 0; light < 13; ++light) {
    const bool lit = light == 5 || light == 6 || light == 11 || light == 12;
    EXPECT_EQ(AlphaOf(clocked.At(light)) > 200, lit) << light;
  }
}

TEST(AccessoryModesTest, HeadsetLightsAllFollowTheMode) {
  ClockedEngine clocked(Family::kHeadset, 0, 13);
  clocked.engine.Configure(SettingsOf({.mode = 3, .brightness = 1, .colour = {5, 6, 7}}), true);
  clocked.Tick();
  ASSERT_EQ(clocked.engine.colours().size(), 13u);
  for (std::size_t light = 0; light < 13; ++light) EXPECT_EQ(clocked.At(light), PackColour({5, 6, 7}, 80));
}

}  // namespace
}  // namespace brontal::lighting
