#include "devices/lighting/light_animator.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "devices/lighting/animation_state.h"
#include "devices/lighting/light_test_support.h"

namespace brontal::lighting {
namespace {

using namespace std::chrono_literals;
using test::AlphaOf;
using test::SettingsOf;

template <typename Predicate>
bool Eventually(Predicate done) {
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

// The real thread, fed from other threads as the device's event and UI
// threads feed it.
class LightAnimatorTest : public testing::Test {
 protected:
  LightAnimatorTest() {
    LightAnimator::Hooks hooks;
    hooks.publish = [this](std::span<const std::uint32_t> colours) {
      std::lock_guard lock(mutex_);
      published_.assign(colours.begin(), colours.end());
    };
    hooks.wanted = [] { return true; };
    animator_ = std::make_unique<LightAnimator>(Family::kKeyboard, test::kFullSize, test::kKeyboardLights, hooks);
  }

  std::uint32_t Published(std::size_t light) {
    std::lock_guard lock(mutex_);
    return light < published_.size() ? published_[light] : 0;
  }
  static std::uint8_t KeyAt(std::size_t column, std::size_t row) {
    return KeyboardGeometryOf(test::kFullSize)->grid[column][row];
  }

  std::mutex mutex_;
  std::vector<std::uint32_t> published_;
  std::unique_ptr<LightAnimator> animator_;
};

TEST_F(LightAnimatorTest, AKeyPressFromAnotherThreadStartsARippleAtItsKey) {
  animator_->Configure(SettingsOf({.mode = 8, .brightness = 4, .speed = 4}), true);
  animator_->Start();
  std::jthread([&] { animator_->OnKeyReaction(KeyAt(10, 3), KeyEdge::kPress); }).join();
  EXPECT_TRUE(Eventually([&] { return AlphaOf(Published(KeyAt(10, 3))) != 0; }));
  EXPECT_TRUE(Eventually([&] { return AlphaOf(Published(KeyAt(11, 3))) != 0; })) << "the ring spreads";
}

TEST_F(LightAnimatorTest, SpectraFromAnotherThreadLightTheMusicBars) {
  EngineSettings music = SettingsOf({.mode = 29, .brightness = 4});
  music.audio.fg_green = 255;
  music.audio.bk_blue = 255;
  animator_->Configure(music, true);
  animator_->Start();
  std::atomic<bool> feeding{true};
  std::jthread feed([&] {
    SpectrumBands bands{};
    bands[5] = 2000;
    while (feeding) {
      animator_->OnSpectrum(bands);
      std::this_thread::sleep_for(5ms);
    }
  });
  EXPECT_TRUE(Eventually([&] {
    return Published(KeyAt(5, 2)) == PackColour({0, 255, 0}, 254) &&
           Published(KeyAt(6, 2)) == PackColour({0, 0, 255}, 255);
  }));
  feeding = false;
}

}  // namespace
}  // namespace brontal::lighting
