#include "devices/device_io_worker.h"

#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <vector>

namespace brontal {
namespace {

// Holds the worker in a job until released, so that later posts wait.
class Gate {
 public:
  DeviceIoWorker::Job Job() {
    return [this] { released_.get_future().wait(); };
  }
  void Release() { released_.set_value(); }

 private:
  std::promise<void> released_;
};

class DeviceIoWorkerTest : public ::testing::Test {
 protected:
  DeviceIoWorker::Job Record(int value) {
    return [this, value] {
      std::scoped_lock lock(mutex_);
      ran_.push_back(value);
    };
  }
  std::vector<int> RanWhenIdle() {
    while (worker_.Busy()) std::this_thread::yield();
    std::scoped_lock lock(mutex_);
    return ran_;
  }

  std::mutex mutex_;
  std::vector<int> ran_;
  DeviceIoWorker worker_;
};

TEST_F(DeviceIoWorkerTest, JobsRunInOrderAndTheLatestCoalescedOneTakesTheWaitingOnesPlace) {
  Gate gate;
  worker_.Post(gate.Job());
  worker_.Post(Record(1));
  worker_.PostCoalesced(7, Record(10));
  worker_.Post(Record(2));
  worker_.PostCoalesced(7, Record(11));
  worker_.PostCoalesced(7, Record(12));
  worker_.PostCoalesced(8, Record(20));
  gate.Release();
  EXPECT_EQ(RanWhenIdle(), (std::vector<int>{1, 12, 2, 20}));
}

TEST_F(DeviceIoWorkerTest, ANewerFrameReplacesOneNotYetSentAndWaitsForQueuedJobs) {
  Gate gate;
  worker_.Post(gate.Job());
  worker_.PostFrame(Record(100));
  worker_.PostFrame(Record(101));
  worker_.Post(Record(1));
  gate.Release();
  EXPECT_EQ(RanWhenIdle(), (std::vector<int>{1, 101}));
  EXPECT_EQ(worker_.frames_replaced(), 1u);
}

TEST_F(DeviceIoWorkerTest, StopFinishesTheRunningJobAndDropsTheRest) {
  Gate gate;
  worker_.Post(gate.Job());
  worker_.Post(Record(1));
  std::thread stopper([this] { worker_.Stop(); });
  gate.Release();
  stopper.join();
  worker_.Post(Record(2));  // after the stop: dropped
  EXPECT_FALSE(worker_.Busy());
  std::scoped_lock lock(mutex_);
  EXPECT_TRUE(ran_.empty() || ran_ == std::vector<int>{1});
}

}  // namespace
}  // namespace brontal
