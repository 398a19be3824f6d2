// Our own window's keys and clicks as the capture of last resort.
#include "input_capture/own_window_capture.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <string>
#include <vector>

#include "input_capture/captured_input_text.h"
#include "ui/toolkit/manual_message_loop.h"

namespace brontal {
namespace {

constexpr std::uint32_t kXkbA = KEY_A + 8;

class OwnWindow : public ::testing::Test {
 protected:
  void Start() {
    std::string reason;
    ASSERT_TRUE(capture_.Start([this](const CapturedInput& input) { captured_.push_back(test::Describe(input.event)); },
                               reason));
  }

  ManualMessageLoop loop_;
  OwnWindowCapture capture_{loop_};
  std::vector<std::string> captured_;
};

TEST_F(OwnWindow, KeysAndClicksArePostedNotHandedOverInsideTheWindowsHandler) {
  Start();
  capture_.OnWindowKey(KEY_RIGHTCTRL + 8, true, false);
  capture_.OnWindowButton(MouseButton::kBack, true, {12, 34});
  EXPECT_TRUE(captured_.empty());
  loop_.RunUntilIdle();
  EXPECT_EQ(captured_, (std::vector<std::string>{"key e0 1d down", "button back down at 12,34"}));
}

TEST_F(OwnWindow, AutoRepeatAndKeysOutsideTheTableAreLeftOut) {
  Start();
  capture_.OnWindowKey(kXkbA, true, false);
  capture_.OnWindowKey(kXkbA, true, true);
  capture_.OnWindowKey(KEY_MUTE + 8, true, false);
  capture_.OnWindowKey(3, true, false);  // below the X11 offset: no key
  capture_.OnWindowKey(kXkbA, false, false);
  loop_.RunUntilIdle();
  EXPECT_EQ(captured_, (std::vector<std::string>{"key 1e down", "key 1e up"}));
}

TEST_F(OwnWindow, InputStillQueuedWhenStoppedIsDroppedAndNoneIsTakenWhileStopped) {
  capture_.OnWindowKey(kXkbA, true, false);
  Start();
  capture_.OnWindowKey(kXkbA, false, false);
  capture_.Stop();
  capture_.OnWindowButton(MouseButton::kLeft, true, {});
  loop_.RunUntilIdle();
  EXPECT_TRUE(captured_.empty());
}

}  // namespace
}  // namespace brontal
