#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/toolkit/manual_message_loop.h"

namespace brontal {
namespace {

using ::testing::ElementsAre;
using namespace std::chrono_literals;

class ManualMessageLoopTest : public ::testing::Test {
 protected:
  // Logs "name@ms" at each expiry.
  std::function<void()> Logger(std::string name) {
    return [this, name] { log.push_back(name + "@" + std::to_string(loop.Now().count())); };
  }

  ManualMessageLoop loop;
  std::vector<std::string> log;
};

TEST_F(ManualMessageLoopTest, TimersFireInDeadlineThenStartOrder) {
  loop.StartTimer(30ms, Logger("a"));
  loop.StartTimer(20ms, Logger("b"));
  loop.StartTimer(20ms, Logger("c"));
  loop.AdvanceBy(59ms);
  EXPECT_THAT(log, ElementsAre("b@20", "c@20", "a@30", "b@40", "c@40"));
  EXPECT_EQ(loop.Now(), 59ms);
}

TEST_F(ManualMessageLoopTest, IdleRunLeavesTheClock) {
  loop.StartTimer(10ms, Logger("t"));
  loop.Post([this] { loop.Post([this] { log.push_back("nested post"); }); });
  loop.RunUntilIdle();
  EXPECT_THAT(log, ElementsAre("nested post"));
  EXPECT_EQ(loop.Now(), 0ms);
}

TEST_F(ManualMessageLoopTest, WorkQueuedByATimerRunsAtItsInstant) {
  loop.StartTimer(10ms, [this] { loop.Post(Logger("posted")); });
  loop.AdvanceBy(25ms);
  EXPECT_THAT(log, ElementsAre("posted@10", "posted@20"));
}

TEST_F(ManualMessageLoopTest, StopAndRestartFromCallbacks) {
  TimerId connect = 0;
  int failures = 0;
  // A connect timer: first after 500 ms, retried every 3000 ms until the third try.
  std::function<void()> on_connect = [&] {
    log.push_back("connect@" + std::to_string(loop.Now().count()));
    loop.StopTimer(connect);
    if (++failures < 3) connect = loop.StartTimer(3000ms, on_connect);
  };
  connect = loop.StartTimer(500ms, on_connect);
  const TimerId other = loop.StartTimer(1000ms, Logger("other"));
  loop.StartTimer(1500ms, [&] { loop.StopTimer(other); });
  loop.AdvanceBy(20000ms);
  EXPECT_THAT(log, ElementsAre("connect@500", "other@1000", "connect@3500", "connect@6500"));
}

TEST_F(ManualMessageLoopTest, ZeroPeriodCountsAsOneMillisecond) {
  int fired = 0;
  loop.StartTimer(0ms, [&] { ++fired; });
  loop.AdvanceBy(3ms);
  EXPECT_EQ(fired, 3);
}

TEST_F(ManualMessageLoopTest, RunJumpsToTheNextTimerWhenIdle) {
  loop.StartTimer(3000ms, [this] { loop.Exit(5); });
  EXPECT_EQ(loop.Run(), 5);
  EXPECT_EQ(loop.Now(), 3000ms);
}

TEST_F(ManualMessageLoopTest, QuitStopsTimersAndTheClockAloneMoves) {
  loop.StartTimer(10ms, Logger("t"));
  loop.Quit(0);
  loop.AdvanceBy(100ms);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(loop.Now(), 100ms);
}

}  // namespace
}  // namespace brontal
