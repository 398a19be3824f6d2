#include "devices/discovery_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "device_access/hid_sim.h"
#include "helpers/pump_until.h"
#include "helpers/trace_recorder.h"
#include "transport/in_process_simulation.h"
#include "ui/toolkit/manual_message_loop.h"

namespace brontal {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kApplicationMessage = 0xC123;

// Discovery on the in-process simulator, its messages handled on this thread.
class DiscoveryTest : public ::testing::Test {
 protected:
  DiscoveryTest() : simulation_({}) {}
  ~DiscoveryTest() override { discovery_.Stop(); }

  template <typename Predicate>
  bool PumpUntil(Predicate done) {
    return test::PumpUntil(loop_, done);
  }
  std::vector<std::size_t> Slots(std::uint32_t message) const {
    std::vector<std::size_t> slots;
    for (const WindowMessage& m : received_)
      if (m.id == message) slots.push_back(m.wparam);
    return slots;
  }

  sim::InProcessSimulation simulation_;
  ManualMessageLoop loop_;
  SlotList slots_;
  std::vector<WindowMessage> received_;
  DiscoveryThread discovery_{slots_, loop_, [this](const WindowMessage& m) { received_.push_back(m); },
                             kApplicationMessage};
};

TEST_F(DiscoveryTest, CollectionsPresentAtStartAreFoundInTheFirstPass) {
  simulation_.simulator().Plug(0x320F, 0x5100);
  simulation_.simulator().Plug(0x320F, 0x5103);
  discovery_.Start();
  ASSERT_TRUE(PumpUntil([&] { return !Slots(kApplicationMessage).empty(); }));
  // Arrivals come in enumeration order and all before the application message.
  EXPECT_EQ(Slots(kMsgDeviceArrived), (std::vector<std::size_t>{16, 15, 18, 17}));
  EXPECT_EQ(received_.back().id, kApplicationMessage);
  for (std::size_t slot : {15, 16, 17, 18}) {
    EXPECT_TRUE(slots_[slot].present);
    EXPECT_FALSE(slots_[slot].path.empty());
  }

  // Later passes neither claim again nor post the application message again.
  std::this_thread::sleep_for(250ms);
  loop_.RunUntilIdle();
  EXPECT_EQ(Slots(kMsgDeviceArrived).size(), 4u);
  EXPECT_EQ(Slots(kApplicationMessage).size(), 1u);
}

TEST_F(DiscoveryTest, UnplugFreesTheSlotsAndAReplugClaimsThemAgain) {
  simulation_.simulator().Plug(0x320F, 0x2003);
  discovery_.Start();
  ASSERT_TRUE(PumpUntil([&] { return Slots(kMsgDeviceArrived).size() == 2; }));
  simulation_.simulator().Unplug(0x320F, 0x2003);
  ASSERT_TRUE(PumpUntil([&] { return Slots(kMsgDeviceRemoved).size() == 2; }));
  EXPECT_TRUE(slots_[4].free());
  EXPECT_TRUE(slots_[5].free());
  simulation_.simulator().Plug(0x320F, 0x2003);
  EXPECT_TRUE(PumpUntil([&] { return Slots(kMsgDeviceArrived).size() == 4; }));
}

TEST_F(DiscoveryTest, ASecondIdenticalProductFindsNoFreeSlot) {
  simulation_.simulator().Plug(0x320F, 0x1004);
  const sim::ProductSpec& pad = *sim::FindProduct(0x320F, 0x1004);
  // A second pad with the same ids, straight on the bus.
  const auto bus = std::dynamic_pointer_cast<SimulatedHidBus>(HidBus::Active());
  ASSERT_TRUE(bus);
  bus->Plug({0x320F, 0x1004, 0, 1, {pad.report_descriptor.begin(), pad.report_descriptor.end()}, nullptr});
  discovery_.Start();
  ASSERT_TRUE(PumpUntil([&] { return !Slots(kApplicationMessage).empty(); }));
  EXPECT_EQ(Slots(kMsgDeviceArrived), (std::vector<std::size_t>{9, 8}));
}

// The simulated bus, whose first listings fail.
class FailingListings : public HidBackend {
 public:
  FailingListings(std::shared_ptr<HidBackend> bus, int failures) : bus_(std::move(bus)), failures_(failures) {}
  bool Enumerate(std::vector<HidNodeInfo>& nodes) override {
    if (failures_ > 0 && failures_-- > 0) return false;
    return bus_->Enumerate(nodes);
  }
  bool Describe(std::string_view node, HidNodeInfo& info) override { return bus_->Describe(node, info); }
  HidOpenResult Open(std::string_view node, std::string_view instance, bool read, bool write, UniqueFd& fd) override {
    return bus_->Open(node, instance, read, write, fd);
  }
  bool IsPresent(std::string_view node, std::string_view instance) override { return bus_->IsPresent(node, instance); }

 private:
  std::shared_ptr<HidBackend> bus_;
  std::atomic<int> failures_;
};

TEST_F(DiscoveryTest, AFailedListingIsTriedAgainAndTracedOnce) {
  simulation_.simulator().Plug(0x320F, 0x2003);
  const std::shared_ptr<HidBackend> bus = HidBus::Active();
  HidBus::SetSimulated(std::make_shared<FailingListings>(bus, 3));
  test::TraceRecorder trace;
  discovery_.Start();
  // The window shows after the first pass even when it found nothing.
  ASSERT_TRUE(PumpUntil([&] { return !Slots(kApplicationMessage).empty(); }));
  EXPECT_TRUE(PumpUntil([&] { return Slots(kMsgDeviceArrived).size() == 2; }));
  discovery_.Stop();
  HidBus::SetSimulated(bus);
  EXPECT_EQ(trace.CountStartingWith("设备枚举失败"), 1);
}

TEST_F(DiscoveryTest, StopEndsTheThreadWithItsTraceEvenWhileASendWaits) {
  test::TraceRecorder trace;
  simulation_.simulator().Plug(0x320F, 0x5100);
  discovery_.Start();
  std::this_thread::sleep_for(50ms);  // the thread now waits in a send nobody pumps
  const auto start = std::chrono::steady_clock::now();
  discovery_.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  EXPECT_EQ(trace.Count("抓取设备线程设定退出"), 1);
}

}  // namespace
}  // namespace brontal
