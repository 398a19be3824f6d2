// The shared effect of synchronised lighting on a virtual clock: one Tick per
// time unit, the milliseconds of the unit handed along.
#include "devices/lighting/sync_effect.h"

#include <gtest/gtest.h>

#include <vector>

namespace brontal::lighting {
namespace {

using std::chrono::milliseconds;

constexpr Rgb kUserColour{10, 20, 30};

SyncLook Look(SyncEffectType type, std::uint8_t speed, std::uint8_t brightness = 4, std::uint8_t direction = 1,
              std::uint8_t multicolour = 0) {
  return {type, brightness, speed, direction, multicolour, kUserColour};
}

// The unit's time: 1/64 s per unit, in whole milliseconds.
milliseconds TimeOf(int unit) { return milliseconds(unit * 1000 / 64); }

// Runs `units` units from `first` on; what each step showed, with its unit.
struct Shown {
  int unit;
  SyncColour colour;
};
std::vector<Shown> Steps(SyncEffect& effect, const SyncLook& look, int units, int first = 1) {
  std::vector<Shown> shown;
  for (int unit = first; unit < first + units; ++unit)
    if (const std::optional<SyncColour> colour = effect.Tick(look, TimeOf(unit))) shown.push_back({unit, *colour});
  return shown;
}

TEST(SyncEffectTest, StepsWhenTheCounterReachesTheSpeedsPeriod) {
  const int periods[] = {8, 6, 4, 2, 1};
  for (std::uint8_t speed = 0; speed < 5; ++speed) {
    SCOPED_TRACE("speed " + std::to_string(speed));
    SyncEffect effect;
    const std::vector<Shown> shown = Steps(effect, Look(SyncEffectType::kStatic, speed), 48);
    ASSERT_EQ(shown.size(), static_cast<std::size_t>(48 / periods[speed]));
    for (std::size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(shown[i].unit, static_cast<int>(i + 1) * periods[speed]);
  }
}

TEST(SyncEffectTest, BlinkingTogglesOnceItsPeriodHasPassed) {
  struct Case {
    std::uint8_t speed;
    int period_ms, step_ms;  // the blink period, and the time between two steps
  };
  const Case cases[] = {{2, 800, 63}, {0, 1600, 125}, {4, 200, 16}};
  for (const Case& c : cases) {
    SCOPED_TRACE("speed " + std::to_string(c.speed));
    SyncEffect effect;
    const std::vector<Shown> shown = Steps(effect, Look(SyncEffectType::kBlinking, c.speed), 64 * 6);
    ASSERT_FALSE(shown.empty());
    // The first step lights up; every toggle comes at the first step a period after the last.
    EXPECT_NE(shown.front().colour.level, 0);
    std::vector<milliseconds> toggles = {TimeOf(shown.front().unit)};
    for (std::size_t i = 1; i < shown.size(); ++i)
      if (shown[i].colour != shown[i - 1].colour) toggles.push_back(TimeOf(shown[i].unit));
    ASSERT_GE(toggles.size(), 3u);
    for (std::size_t i = 1; i < toggles.size(); ++i) {
      EXPECT_GE(toggles[i] - toggles[i - 1], milliseconds(c.period_ms));
      EXPECT_LE(toggles[i] - toggles[i - 1], milliseconds(c.period_ms + c.step_ms));
    }
  }
}

TEST(SyncEffectTest, BlinkingShowsTheUsersColourOrMovesAlongTheWheel) {
  SyncEffect plain, multicolour;
  const std::vector<Shown> plain_steps = Steps(plain, Look(SyncEffectType::kBlinking, 4, 1), 64 * 2);
  const std::vector<Shown> wheel_steps = Steps(multicolour, Look(SyncEffectType::kBlinking, 4, 1, 1, 1), 64 * 2);
  std::vector<SyncColour> plain_shows, wheel_shows;
  for (const Shown& s : plain_steps)
    if (plain_shows.empty() || plain_shows.back() != s.colour) plain_shows.push_back(s.colour);
  for (const Shown& s : wheel_steps)
    if (wheel_shows.empty() || wheel_shows.back() != s.colour) wheel_shows.push_back(s.colour);
  // On, off, on, off, ... at brightness level 1; the wheel moves 14 entries a toggle.
  ASSERT_GE(plain_shows.size(), 5u);
  ASSERT_GE(wheel_shows.size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    const bool on = i % 2 == 0;
    EXPECT_EQ(plain_shows[i], on ? SyncColour({kUserColour, 80}) : SyncColour());
    EXPECT_EQ(wheel_shows[i], on ? SyncColour({kColourWheel[14 * (i + 1)], 80}) : SyncColour());
  }
}

TEST(SyncEffectTest, BreathingFollowsTheCurveInEitherDirection) {
  struct Case {
    std::uint8_t direction;
    std::vector<std::size_t> phases;  // of the first steps
  };
  const Case cases[] = {{1, {1, 2, 3}}, {0, {127, 126, 125}}};
  for (const Case& c : cases) {
    SCOPED_TRACE("direction " + std::to_string(c.direction));
    SyncEffect effect;
    const std::vector<Shown> shown = Steps(effect, Look(SyncEffectType::kBreathing, 4, 3, c.direction), 3);
    ASSERT_EQ(shown.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
      EXPECT_EQ(shown[i].colour.level, 195 * kBreathCurve[c.phases[i]] / 256) << "step " << i;
  }
}

TEST(SyncEffectTest, BreathingWithoutMulticolourKeepsTheUsersColourWhileOnlyTheLevelMoves) {
  SyncEffect effect;
  const std::vector<Shown> shown = Steps(effect, Look(SyncEffectType::kBreathing, 4, 4), 300);
  ASSERT_EQ(shown.size(), 300u);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    ASSERT_EQ(shown[i].colour.colour, kUserColour) << "step " << i;
    ASSERT_EQ(shown[i].colour.level, 255 * kBreathCurve[(i + 1) % 128] / 256) << "step " << i;
  }
}

TEST(SyncEffectTest, MulticolourBreathingMovesOnTheWheelAtTheDarkEnd) {
  SyncEffect effect;
  const std::vector<Shown> shown = Steps(effect, Look(SyncEffectType::kBreathing, 4, 4, 1, 1), 128 * 7);
  // Phases 1 and 0 each move the colour on by 16 entries: steps 1, 128, 129, 256, 257, ...
  struct Expected {
    std::size_t step;
    std::size_t wheel;
  };
  const Expected expected[] = {{1, 16},   {127, 16},  {128, 32}, {129, 48}, {130, 48},
                               {256, 64}, {641, 176}, {768, 0},  {769, 16}};
  for (const Expected& e : expected)
    EXPECT_EQ(shown[e.step - 1].colour.colour, kColourWheel[e.wheel]) << "step " << e.step;
}

TEST(SyncEffectTest, ColourCycleRunsRoundTheWheelAndStartsAgain) {
  SyncEffect effect;
  const std::vector<Shown> shown = Steps(effect, Look(SyncEffectType::kColourCycle, 4, 2), 193);
  ASSERT_EQ(shown.size(), 193u);
  EXPECT_EQ(shown[0].colour, (SyncColour{kColourWheel[1], 135}));
  EXPECT_EQ(shown[190].colour, (SyncColour{{255, 0, 0}, 135}));  // entry 191
  EXPECT_EQ(shown[191].colour, (SyncColour{{255, 1, 0}, 135}));  // entry 0
  EXPECT_EQ(shown[192].colour, (SyncColour{kColourWheel[1], 135}));
}

}  // namespace
}  // namespace brontal::lighting
