// The X11 backend on a virtual display (Xvfb), driven by xdotool through the
// XTEST extension as a user's keyboard and mouse would be.
#include "input_capture/x11_input_capture.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "e2e/virtual_display.h"
#include "helpers/pump_until.h"
#include "input_capture/captured_input_text.h"
#include "ui/toolkit/manual_message_loop.h"

namespace brontal {
namespace {

using std::chrono::milliseconds;
using Texts = std::vector<std::string>;

class X11Capture : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!e2e::OnPath("Xvfb") || !e2e::OnPath("xdotool"))
      GTEST_SKIP() << "Xvfb and xdotool are not installed (scripts/deps)";
    std::string error;
    xvfb_ = e2e::VirtualDisplay::Start({}, "/dev/null", error);
    ASSERT_TRUE(xvfb_) << error;
    display_ = xvfb_->name();
  }

  void XDoTool(const std::vector<std::string>& words) { ASSERT_EQ(xvfb_->XDoTool(words), 0); }

  bool Start(X11InputCapture& capture) {
    std::string reason;
    const bool started =
        capture.Start([this](const CapturedInput& input) { captured_.push_back(test::Describe(input.event)); }, reason);
    EXPECT_TRUE(started) << reason;
    return started;
  }

  bool WaitForCaptured(std::size_t count) {
    return test::PumpUntil(loop_, [&] { return captured_.size() >= count; });
  }

  std::unique_ptr<e2e::VirtualDisplay> xvfb_;
  std::string display_;
  ManualMessageLoop loop_;
  Texts captured_;
};

// Keys are typed by keycode (the evdev code plus 8): a keysym would make
// xdotool press the modifiers it thinks the keysym needs.
TEST_F(X11Capture, TypedKeysArriveWithTheirScanCodes) {
  X11InputCapture capture(loop_, display_);
  ASSERT_TRUE(Start(capture));
  EXPECT_EQ(capture.backend(), CaptureBackend::kX11);
  auto keycode = [](unsigned evdev) { return std::to_string(evdev + 8); };
  XDoTool({"keydown", keycode(KEY_LEFTSHIFT), "keydown", keycode(KEY_A), "keyup", keycode(KEY_A), "keyup",
           keycode(KEY_LEFTSHIFT)});
  for (const unsigned evdev :
       {KEY_RIGHTCTRL, KEY_KPENTER, KEY_PAUSE, KEY_NUMLOCK, KEY_RIGHT, KEY_SYSRQ, KEY_KPASTERISK, KEY_102ND, KEY_MUTE})
    XDoTool({"keydown", keycode(evdev), "keyup", keycode(evdev)});
  XDoTool({"key", keycode(KEY_Z)});  // the last: mute, outside the table, would have come before it
  const Texts expected = {"key 2a down",    "key 1e down",    "key 1e up",      "key 2a up",    "key e0 1d down",
                          "key e0 1d up",   "key e0 1c down", "key e0 1c up",   "key 45 down",  "key 45 up",
                          "key e0 45 down", "key e0 45 up",   "key e0 4d down", "key e0 4d up", "key e0 37 down",
                          "key e0 37 up",   "key 37 down",    "key 37 up",      "key 56 down",  "key 56 up",
                          "key 2c down",    "key 2c up"};
  ASSERT_TRUE(WaitForCaptured(expected.size())) << ::testing::PrintToString(captured_);
  EXPECT_EQ(captured_, expected);
}

TEST_F(X11Capture, ButtonsArriveAndTheWheelDoesNot) {
  X11InputCapture capture(loop_, display_);
  ASSERT_TRUE(Start(capture));
  XDoTool({"click", "1", "click", "4", "click", "3", "click", "5", "click", "2", "click", "8", "click", "9"});
  const Texts expected = {"button left down",    "button left up",   "button right down", "button right up",
                          "button middle down",  "button middle up", "button back down",  "button back up",
                          "button forward down", "button forward up"};
  ASSERT_TRUE(WaitForCaptured(expected.size())) << ::testing::PrintToString(captured_);
  EXPECT_EQ(captured_, expected);
}

// The server reports a press of a key already down as a repeat.
TEST_F(X11Capture, AutoRepeatIsLeftOut) {
  X11InputCapture capture(loop_, display_);
  ASSERT_TRUE(Start(capture));
  XDoTool({"keydown", "56", "keydown", "56", "keydown", "56", "keyup", "56"});
  ASSERT_TRUE(WaitForCaptured(2));
  XDoTool({"key", "54"});  // marks the end: anything left of b arrived before it
  ASSERT_TRUE(WaitForCaptured(4));
  EXPECT_EQ(captured_, (Texts{"key 30 down", "key 30 up", "key 2e down", "key 2e up"}));
}

TEST_F(X11Capture, NothingArrivesAfterStopAndAStartAgainCapturesAgain) {
  X11InputCapture capture(loop_, display_);
  ASSERT_TRUE(Start(capture));
  XDoTool({"key", "d"});
  ASSERT_TRUE(WaitForCaptured(2));
  capture.Stop();
  XDoTool({"key", "e", "click", "1"});
  std::this_thread::sleep_for(milliseconds(100));
  loop_.RunUntilIdle();
  EXPECT_EQ(captured_, (Texts{"key 20 down", "key 20 up"}));

  ASSERT_TRUE(Start(capture));
  XDoTool({"key", "f"});
  ASSERT_TRUE(WaitForCaptured(4));
  EXPECT_EQ(captured_, (Texts{"key 20 down", "key 20 up", "key 21 down", "key 21 up"}));
}

// Xlib's default answer to a broken connection ends the whole program.
TEST_F(X11Capture, AnXServerThatGoesAwayEndsOnlyTheCapture) {
#if defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "libX11 unlocks its display lock twice on a broken connection, which the thread sanitizer reports";
#endif
  X11InputCapture capture(loop_, display_);
  ASSERT_TRUE(Start(capture));
  XDoTool({"key", "d"});
  ASSERT_TRUE(WaitForCaptured(2));
  xvfb_.reset();
  std::this_thread::sleep_for(milliseconds(200));
  capture.Stop();
  loop_.RunUntilIdle();
  EXPECT_EQ(captured_, (Texts{"key 20 down", "key 20 up"}));
}

TEST(X11CaptureWithoutDisplay, ADisplayThatCannotBeReachedIsTheReasonNotToStart) {
  ManualMessageLoop loop;
  X11InputCapture capture(loop, ":65000");
  std::string reason;
  EXPECT_FALSE(capture.Start([](const CapturedInput&) {}, reason));
  EXPECT_NE(reason.find(":65000"), std::string::npos) << reason;
}

}  // namespace
}  // namespace brontal
