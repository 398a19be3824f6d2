// What every message loop must do, run against both implementations.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <atomic>
#include <stop_token>
#include <thread>
#include <vector>

#include "ui/qt/qt_message_loop.h"
#include "ui/toolkit/manual_message_loop.h"

namespace brontal {
namespace {

using ::testing::ElementsAre;
using namespace std::chrono_literals;

QCoreApplication& QtApplication() {
  static int argc = 1;
  static char name[] = "ui_messaging_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

template <typename Loop>
class MessageLoopContract : public ::testing::Test {
 protected:
  MessageLoopContract() { QtApplication(); }
  Loop loop;
};

using Loops = ::testing::Types<ManualMessageLoop, QtMessageLoop>;
TYPED_TEST_SUITE(MessageLoopContract, Loops);

TYPED_TEST(MessageLoopContract, PostedTasksRunInOrder) {
  auto& loop = this->loop;
  std::vector<int> order;
  loop.Post([&] {
    order.push_back(1);
    loop.Post([&] { order.push_back(3); loop.Exit(0); });
  });
  loop.Post([&] { order.push_back(2); });
  EXPECT_EQ(loop.Run(), 0);
  EXPECT_THAT(order, ElementsAre(1, 2, 3));
}

TYPED_TEST(MessageLoopContract, SendFromAnotherThreadWaitsUntilHandled) {
  auto& loop = this->loop;
  std::atomic<bool> send_returned = false;
  bool returned_while_running = true;
  std::thread::id ran_on;
  bool delivered = false;
  std::jthread sender([&] {
    delivered = loop.Send([&] {
      returned_while_running = send_returned.load();
      ran_on = std::this_thread::get_id();
    });
    send_returned = true;
    loop.Post([&] { loop.Exit(7); });
  });
  EXPECT_EQ(loop.Run(), 7);
  sender.join();
  EXPECT_TRUE(delivered);
  EXPECT_FALSE(returned_while_running);
  EXPECT_EQ(ran_on, std::this_thread::get_id());
}

TYPED_TEST(MessageLoopContract, SendOnTheLoopThreadRunsAtOnce) {
  bool ran = false;
  EXPECT_TRUE(this->loop.Send([&] { ran = true; }));
  EXPECT_TRUE(ran);
}

TYPED_TEST(MessageLoopContract, StoppedSenderGivesUpAndTheTaskNeverRuns) {
  auto& loop = this->loop;
  bool ran = false;
  bool delivered = true;
  std::stop_source stop;
  stop.request_stop();
  std::jthread([&] { delivered = loop.Send([&] { ran = true; }, stop.get_token()); }).join();
  loop.Post([&] { loop.Exit(0); });
  loop.Run();
  EXPECT_FALSE(delivered);
  EXPECT_FALSE(ran);
}

TYPED_TEST(MessageLoopContract, QuitReleasesSendersAndEndsEveryLevel) {
  auto& loop = this->loop;
  std::vector<int> codes;
  bool delivered = true;
  bool ran = false;
  std::jthread sender;
  loop.Post([&] {
    codes.push_back(loop.Run());  // a nested level, as a modal window runs
  });
  loop.Post([&] {
    // Whether the send is queued before the quit or after it, it must come back false.
    sender = std::jthread([&] { delivered = loop.Send([&] { ran = true; }); });
    loop.Quit(3);
  });
  codes.push_back(loop.Run());
  sender.join();
  EXPECT_THAT(codes, ElementsAre(3, 3));
  EXPECT_FALSE(delivered);
  EXPECT_FALSE(ran);
  EXPECT_EQ(loop.Run(), 3);  // over for good
}

TYPED_TEST(MessageLoopContract, ExitEndsOnlyTheInnermostLevel) {
  auto& loop = this->loop;
  std::vector<int> codes;
  loop.Post([&] {
    loop.Post([&] { loop.Exit(1); });
    codes.push_back(loop.Run());
    loop.Post([&] { loop.Exit(2); });
  });
  codes.push_back(loop.Run());
  EXPECT_THAT(codes, ElementsAre(1, 2));
}

TYPED_TEST(MessageLoopContract, TimerRepeatsUntilStopped) {
  // The Qt loop waits a few real milliseconds here; the manual one none.
  auto& loop = this->loop;
  int fired = 0;
  TimerId timer = 0;
  timer = loop.StartTimer(1ms, [&] {
    if (++fired < 3) return;
    loop.StopTimer(timer);
    loop.Post([&] { loop.Exit(0); });
  });
  loop.Run();
  EXPECT_EQ(fired, 3);
}

}  // namespace
}  // namespace brontal
