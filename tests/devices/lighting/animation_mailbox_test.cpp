#include "devices/lighting/animation_mailbox.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "devices/lighting/light_test_support.h"

namespace brontal::lighting {
namespace {

using test::AlphaOf;
using test::SettingsOf;

TEST(AnimationMailboxTest, AKeyBurstBeyondTheLimitKeepsTheNewestEventsInOrder) {
  LightEngine engine(Family::kKeyboard, test::kFullSize, test::kKeyboardLights, 1);
  engine.Configure(SettingsOf({.mode = 7, .brightness = 4, .speed = 4}), true);
  AnimationMailbox mailbox;
  constexpr std::size_t kBurst = 100;
  for (std::size_t key = 0; key < kBurst; ++key) mailbox.PostKey(static_cast<std::uint8_t>(key), KeyEdge::kPress);
  // The last event of a key wins: released after its press, it fades.
  mailbox.PostKey(kBurst - 1, KeyEdge::kRelease);
  mailbox.DrainInto(engine);
  engine.Tick({});
  const std::size_t first_kept = kBurst + 1 - AnimationMailbox::kMaxPendingKeys;
  for (const std::size_t key : test::ModelKeys(test::kFullSize)) {
    if (key >= kBurst) continue;
    const std::uint8_t expected = key < first_kept ? 0 : key == kBurst - 1 ? 249 : 254;
    EXPECT_EQ(AlphaOf(engine.colours()[key]), expected) << key;
  }
}

TEST(AnimationMailboxTest, OnlyTheLatestSpectrumCounts) {
  LightEngine engine(Family::kKeyboard, test::kFullSize, test::kKeyboardLights, 1);
  EngineSettings music = SettingsOf({.mode = 29, .brightness = 4});
  music.audio.fg_green = 255;
  AnimationMailbox mailbox;
  mailbox.PostSettings(music, true);
  SpectrumBands bands{};
  bands[5] = 2000;
  mailbox.PostSpectrum(bands);
  bands = {};
  bands[6] = 2000;
  mailbox.PostSpectrum(bands);
  mailbox.DrainInto(engine);
  engine.Tick({});
  engine.Tick({});
  const KeyGrid<kGridRows>& grid = KeyboardGeometryOf(test::kFullSize)->grid;
  EXPECT_EQ(engine.colours()[grid[5][2]], PackColour({}, 255)) << "the older one was replaced";
  EXPECT_EQ(engine.colours()[grid[6][2]], PackColour({0, 255, 0}, 254));
}

// Under the thread sanitizer: posts from two threads while a third drains.
TEST(AnimationMailboxTest, PostsFromOtherThreadsWhileTheAnimationDrains) {
  LightEngine engine(Family::kKeyboard, test::kFullSize, test::kKeyboardLights, 1);
  engine.Configure(SettingsOf({.mode = 7, .brightness = 4, .speed = 4}), true);
  AnimationMailbox mailbox;
  constexpr int kPresses = 2000;
  std::jthread keys([&] {
    for (int i = 0; i < kPresses; ++i) mailbox.PostKey(static_cast<std::uint8_t>(i % 126), KeyEdge::kPress);
  });
  std::jthread audio([&] {
    SpectrumBands bands{};
    for (int i = 0; i < 2000; ++i) {
      bands[static_cast<std::size_t>(i) % kSpectrumBands] = i;
      mailbox.PostSpectrum(bands);
      mailbox.PostColourBlock({1, 2, 3, 4, 5, 6});
    }
  });
  for (int unit = 0; unit < 500; ++unit) {
    mailbox.DrainInto(engine);
    engine.Tick({});
  }
  keys.join();
  audio.join();
  mailbox.DrainInto(engine);
  engine.Tick({});
  // However the drains fell, the newest presses were never pushed out.
  const std::set<std::size_t> model = test::ModelKeys(test::kFullSize);
  for (int i = kPresses - static_cast<int>(AnimationMailbox::kMaxPendingKeys); i < kPresses; ++i) {
    const auto key = static_cast<std::size_t>(i % 126);
    if (model.contains(key)) {
      EXPECT_EQ(AlphaOf(engine.colours()[key]), 254) << key;
    }
  }
}

}  // namespace
}  // namespace brontal::lighting
