// The evdev backend on streams of struct input_event written into FIFOs, the
// way event nodes deliver them (no input device can be made here).
#include "input_capture/evdev_input_capture.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "helpers/pump_until.h"
#include "helpers/temporary_folder.h"
#include "input_capture/captured_input_text.h"
#include "input_capture/evdev_stream.h"
#include "support/unique_fd.h"
#include "ui/toolkit/manual_message_loop.h"

namespace brontal {
namespace {

using test::Concat;
using test::Event;
using test::KeyFrame;
using test::MotionFrame;
using test::Report;

class EvdevCapture : public ::testing::Test {
 protected:
  // A FIFO standing for an event node, and the end that writes into it.
  static EvdevInputCapture::NodeList Fixed(std::vector<std::filesystem::path> nodes) {
    return [nodes] { return nodes; };
  }
  std::filesystem::path MakeNode(const std::string& name) {
    const std::filesystem::path path = folder_.path() / name;
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
    // Read and write, so that opening does not wait for a reader.
    writers_.emplace_back(::open(path.c_str(), O_RDWR | O_CLOEXEC));
    EXPECT_TRUE(writers_.back().valid());
    return path;
  }

  void Write(std::size_t node, const std::vector<input_event>& events) {
    const auto size = static_cast<ssize_t>(events.size() * sizeof(input_event));
    ASSERT_EQ(::write(writers_[node].get(), events.data(), static_cast<std::size_t>(size)), size);
  }

  CaptureSink Collect() {
    return [this](const CapturedInput& input) {
      captured_.push_back(test::Describe(input.event));
      times_.push_back(input.time);
    };
  }

  bool WaitForCaptured(std::size_t count) {
    return test::PumpUntil(loop_, [&] { return captured_.size() >= count; });
  }

  test::TemporaryFolder folder_{"brontal_evdev"};
  std::vector<UniqueFd> writers_;
  ManualMessageLoop loop_;
  std::vector<std::string> captured_;
  std::vector<CaptureClock::time_point> times_;
};

TEST_F(EvdevCapture, KeysAndButtonsOfEveryNodeReachTheLoopInTheirOrder) {
  EvdevInputCapture capture(loop_, Fixed({MakeNode("keyboard"), MakeNode("mouse")}));
  std::string reason;
  ASSERT_TRUE(capture.Start(Collect(), reason)) << reason;
  EXPECT_EQ(capture.backend(), CaptureBackend::kEvdev);

  const CaptureClock::time_point before = CaptureClock::now();
  Write(0, Concat({KeyFrame(KEY_LEFTSHIFT, 1, 0x700e1), KeyFrame(KEY_A, 1, 0x70004), KeyFrame(KEY_A, 2, 0x70004)}));
  ASSERT_TRUE(WaitForCaptured(2));
  Write(1, Concat({MotionFrame(5, 5),
                   {Event(EV_KEY, BTN_EXTRA, 1), Report()},
                   MotionFrame(-1, 0),
                   {Event(EV_KEY, BTN_EXTRA, 0), Report()}}));
  ASSERT_TRUE(WaitForCaptured(4));
  Write(0, Concat({KeyFrame(KEY_A, 0, 0x70004), KeyFrame(KEY_LEFTSHIFT, 0, 0x700e1)}));
  ASSERT_TRUE(WaitForCaptured(6));

  EXPECT_EQ(captured_, (std::vector<std::string>{"key 2a down", "key 1e down", "button forward down",
                                                 "button forward up", "key 1e up", "key 2a up"}));
  EXPECT_GE(times_.front(), before);
  EXPECT_LE(times_.back(), CaptureClock::now());
  EXPECT_TRUE(std::is_sorted(times_.begin(), times_.end()));
}

TEST_F(EvdevCapture, NothingArrivesAfterStopAndAStartAgainReadsAfresh) {
  EvdevInputCapture capture(loop_, Fixed({MakeNode("keyboard")}));
  std::string reason;
  ASSERT_TRUE(capture.Start(Collect(), reason)) << reason;
  Write(0, KeyFrame(KEY_B, 1, 0x70005));
  ASSERT_TRUE(WaitForCaptured(1));

  capture.Stop();
  Write(0, KeyFrame(KEY_B, 0, 0x70005));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  loop_.RunUntilIdle();
  EXPECT_EQ(captured_, std::vector<std::string>{"key 30 down"});

  // A FIFO keeps what was written while stopped (an event node would not).
  ASSERT_TRUE(capture.Start(Collect(), reason)) << reason;
  Write(0, KeyFrame(KEY_C, 1, 0x70006));
  ASSERT_TRUE(WaitForCaptured(3));
  EXPECT_EQ(captured_, (std::vector<std::string>{"key 30 down", "key 30 up", "key 2e down"}));
}

// A writer gone stands for an unplugged device: the other node goes on.
TEST_F(EvdevCapture, ANodeThatEndsIsLeftAndTheOthersAreStillRead) {
  EvdevInputCapture capture(loop_, Fixed({MakeNode("gone"), MakeNode("mouse")}));
  std::string reason;
  ASSERT_TRUE(capture.Start(Collect(), reason)) << reason;
  writers_[0].Reset();
  Write(1, {Event(EV_KEY, BTN_LEFT, 1), Report()});
  ASSERT_TRUE(WaitForCaptured(1));
  Write(1, {Event(EV_KEY, BTN_LEFT, 0), Report()});
  ASSERT_TRUE(WaitForCaptured(2));
  EXPECT_EQ(captured_, (std::vector<std::string>{"button left down", "button left up"}));
}

// A node gone since it was listed (a device unplugged, or moved from cable to
// receiver) is passed over; only when none opens does the capture not start.
TEST_F(EvdevCapture, NodesThatCannotBeOpenedArePassedOverUnlessNoneCan) {
  const std::filesystem::path missing = folder_.path() / "event7";
  EvdevInputCapture capture(loop_, Fixed({MakeNode("keyboard"), missing}));
  std::string reason;
  ASSERT_TRUE(capture.Start(Collect(), reason)) << reason;
  Write(0, KeyFrame(KEY_A, 1, 0x70004));
  ASSERT_TRUE(WaitForCaptured(1));
  capture.Stop();

  EvdevInputCapture only_missing(loop_, Fixed({missing}));
  EXPECT_FALSE(only_missing.Start(Collect(), reason));
  EXPECT_NE(reason.find(missing.string()), std::string::npos) << reason;

  EvdevInputCapture without_nodes(loop_, Fixed({}));
  reason.clear();
  EXPECT_FALSE(without_nodes.Start(Collect(), reason));
  EXPECT_FALSE(reason.empty());
}

}  // namespace
}  // namespace brontal
