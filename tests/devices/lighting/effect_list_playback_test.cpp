#include "devices/lighting/effect_list_playback.h"

#include <gtest/gtest.h>

#include "devices/lighting/light_test_support.h"

namespace brontal::lighting {
namespace {

using namespace std::chrono_literals;
using test::AlphaOf;
using test::ClockedEngine;
using test::RgbOf;
using test::SettingsOf;

enum : std::uint8_t { kBreathing = 0, kStatic = 1, kBlink = 2, kWave = 4, kColourCycle = 5 };

LightStep Entry(std::uint8_t effect, Rgb colour, std::int32_t time_ms, std::uint8_t speed = 4) {
  LightStep step;
  step.mode = effect;
  step.brightness = 4;
  step.speed = speed;
  step.direction = 1;
  step.red = colour.red;
  step.green = colour.green;
  step.blue = colour.blue;
  step.time = time_ms;
  return step;
}

constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255};

struct PlaybackDevice {
  const char* name;
  Family family;
  std::uint16_t product_id;
  std::size_t lights;
  std::uint8_t mode;
};

const PlaybackDevice kPlayers[] = {
    {"keyboard mode 19", Family::kKeyboard, test::kFullSize, test::kKeyboardLights, 19},
    {"keyboard mode 0", Family::kKeyboard, test::kTenkeyless, test::kKeyboardLights, 0},
    {"keyboard mode 40", Family::kKeyboard, test::kCompact, test::kKeyboardLights, 40},
    {"mouse mode 9", Family::kMouse, 0, 15, 9},
    {"mouse pad mode 5", Family::kMousePad, 0, 15, 5},
    {"headset mode 5", Family::kHeadset, 0, 13, 5},
};

TEST(EffectListPlaybackTest, EachEntryPlaysForItsDurationThenTheNext) {
  for (const PlaybackDevice& device : kPlayers) {
    SCOPED_TRACE(device.name);
    ClockedEngine clocked(device.family, device.product_id, device.lights);
    EngineSettings settings = SettingsOf({.mode = device.mode});
    settings.effect_list = {Entry(kStatic, kRed, 1000), Entry(kStatic, kGreen, 500), Entry(kStatic, kBlue, 250)};
    clocked.engine.Configure(settings, true);
    EXPECT_EQ(clocked.engine.StepInterval(), 0);
    // The first entry starts at the first unit (15 ms on the clock).
    struct Expected {
      std::chrono::milliseconds until;  // exclusive
      Rgb colour;
    };
    const Expected timeline[] = {{1015ms, kRed}, {1515ms, kGreen}, {1765ms, kBlue}, {2765ms, kRed}, {3265ms, kGreen}};
    for (const Expected& expected : timeline) {
      while (clocked.Now() + 16ms < expected.until) {
        ASSERT_TRUE(clocked.Tick());
        ASSERT_EQ(clocked.At(0), PackColour(expected.colour, 255)) << clocked.Now().count();
      }
      while (clocked.Now() < expected.until) clocked.Tick();
    }
  }
}

TEST(EffectListPlaybackTest, AnEmptyListShowsOff) {
  for (const PlaybackDevice& device : kPlayers) {
    SCOPED_TRACE(device.name);
    ClockedEngine clocked(device.family, device.product_id, device.lights);
    EngineSettings settings = SettingsOf({.mode = device.mode});
    settings.effect_list = {Entry(kStatic, kRed, 1000)};
    clocked.engine.Configure(settings, true);
    clocked.Tick();
    ASSERT_NE(clocked.At(0), 0u);
    settings.effect_list.clear();
    clocked.engine.Configure(settings, false);
    clocked.Tick();
    for (std::size_t light = 0; light < device.lights; ++light) EXPECT_EQ(clocked.At(light), 0u) << light;
  }
}

TEST(EffectListPlaybackTest, AnEntryStepsAtItsOwnSpeed) {
  ClockedEngine clocked(Family::kKeyboard, test::kFullSize, test::kKeyboardLights);
  EngineSettings settings = SettingsOf({.mode = 19, .speed = 4});
  settings.effect_list = {Entry(kColourCycle, kRed, 100000, 0)};
  clocked.engine.Configure(settings, true);
  // The entry shows at once, then moves every 8 units.
  clocked.Tick();
  EXPECT_EQ(RgbOf(clocked.At(0)), kColourWheel[1]);
  for (int unit = 2; unit <= 40; ++unit) {
    clocked.Tick();
    EXPECT_EQ(RgbOf(clocked.At(0)), kColourWheel[1 + static_cast<std::size_t>((unit - 1) / 8)]) << unit;
  }
}

TEST(EffectListPlaybackTest, BlinkAndBreathingEntriesRunTheirEffects) {
  ClockedEngine clocked(Family::kMouse, 0, 15);
  EngineSettings settings = SettingsOf({.mode = 9});
  settings.effect_list = {Entry(kBlink, kBlue, 1000, 3), Entry(kBreathing, kGreen, 1000, 4)};
  clocked.engine.Configure(settings, true);
  // Speed 3: on for 400 ms, then off.
  clocked.Tick();
  EXPECT_EQ(clocked.At(3), PackColour(kBlue, 255));
  while (clocked.Now() < 440ms) clocked.Tick();
  EXPECT_EQ(clocked.At(3), 0u);
  while (RgbOf(clocked.At(3)) != kGreen) clocked.Tick();
  EXPECT_GE(clocked.Now(), 1015ms);
  // The breath starts afresh from phase 0.
  for (std::size_t phase = 1; phase < 40; ++phase) {
    EXPECT_EQ(clocked.At(3), PackColour(kGreen, kBreathCurve[phase] * 255 / 256)) << phase;
    clocked.Tick();
  }
}

TEST(EffectListPlaybackTest, WaveEntryIsTheFamilysWave) {
  ClockedEngine keyboard(Family::kKeyboard, test::kFullSize, test::kKeyboardLights);
  EngineSettings settings = SettingsOf({.mode = 19});
  LightStep wave = Entry(kWave, kRed, 10000);
  wave.multi_color = 1;
  settings.effect_list = {wave};
  keyboard.engine.Configure(settings, true);
  keyboard.Tick();
  EXPECT_EQ(keyboard.At(4), PackColour(kColourWheel[37], 255)) << "F4 in column 5";

  ClockedEngine pad(Family::kMousePad, 0, 15);
  settings.light.select_item = 5;
  pad.engine.Configure(settings, true);
  pad.Tick();
  EXPECT_EQ(pad.At(2), PackColour(kColourWheel[33], 255)) << "lights 16 wheel steps apart";
}

TEST(EffectListPlaybackTest, UnknownEffectsLeaveTheLightsAsTheyWere) {
  ClockedEngine clocked(Family::kHeadset, 0, 13);
  EngineSettings settings = SettingsOf({.mode = 5});
  settings.effect_list = {Entry(kStatic, kRed, 100), Entry(3, kBlue, 100), Entry(kStatic, kGreen, 100)};
  clocked.engine.Configure(settings, true);
  while (clocked.Now() < 180ms) {
    clocked.Tick();
    ASSERT_EQ(clocked.At(12), PackColour(kRed, 255)) << clocked.Now().count();
  }
  while (clocked.Now() < 250ms) clocked.Tick();
  EXPECT_EQ(clocked.At(12), PackColour(kGreen, 255));
}

}  // namespace
}  // namespace brontal::lighting
