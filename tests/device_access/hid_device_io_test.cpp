#include <sys/socket.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <mutex>
#include <thread>

#include "device_access/descriptor_fixtures.h"
#include "device_access/hid_device.h"
#include "device_access/hid_path.h"
#include "device_access/hid_sim.h"

namespace brontal {
namespace {

using namespace std::chrono_literals;

// A simulated bus installed for one test; the device ends of every connection
// are kept so the test can play the device.
class SimulatedNodeTest : public ::testing::Test {
 protected:
  void SetUp() override { HidBus::SetSimulated(bus_); }
  void TearDown() override { HidBus::SetSimulated(nullptr); }

  std::string PlugNode(const std::string& descriptor_file, std::uint16_t product_id = 0x5100) {
    SimulatedHidBus::NodeSpec spec;
    spec.vendor_id = 0x320F;
    spec.product_id = product_id;
    spec.interface_number = 1;
    spec.report_descriptor = test::LoadDescriptor(descriptor_file);
    spec.on_connect = [this](UniqueFd fd) {
      std::scoped_lock lock(mutex_);
      device_ends_.push_back(std::move(fd));
    };
    return bus_->Plug(std::move(spec));
  }

  // Path of the node's collection `number` as enumeration gives it.
  std::string PathOf(const std::string& node, std::uint16_t number) {
    CHidDevice hid;
    EXPECT_TRUE(hid.EnumerateInterfaces());
    while (auto path = hid.NextPath()) {
      std::string n, instance;
      SplitHidPath(*path, n, instance);
      if (n == node && ParseCollectionNumber(*path) == number) return *path;
    }
    ADD_FAILURE() << "no collection " << number << " on " << node;
    return {};
  }

  int DeviceEnd() {
    std::scoped_lock lock(mutex_);
    return device_ends_.back().get();
  }

  void Send(std::vector<std::uint8_t> report) {
    ASSERT_EQ(::send(DeviceEnd(), report.data(), report.size(), 0), static_cast<ssize_t>(report.size()));
  }

  // A read without a time limit on another thread, returned once it waits on the node.
  static std::future<bool> BlockedRead(CHidDevice& hid) {
    auto reader = std::async(std::launch::async, [&hid] {
      std::uint8_t in[64];
      return hid.ReadReport(in, nullptr, CHidDevice::kInfinite);
    });
    while (!hid.read_in_progress()) std::this_thread::yield();
    return reader;
  }

  std::shared_ptr<SimulatedHidBus> bus_ = std::make_shared<SimulatedHidBus>();
  std::mutex mutex_;
  std::vector<UniqueFd> device_ends_;
};

constexpr const char* kReceiver = "hidapi_046d_c52f_if1_receiver";  // consumer (id 3), vendor (0x10), vendor (0x11)

TEST_F(SimulatedNodeTest, EnumerationListsEveryCollectionInOrderPastEveryGrowth) {
  std::vector<std::string> nodes;
  for (int i = 0; i < 7; ++i) nodes.push_back(PlugNode(kReceiver, static_cast<std::uint16_t>(0x5100 + i)));
  CHidDevice hid;
  ASSERT_TRUE(hid.EnumerateInterfaces());
  EXPECT_EQ(hid.PathCount(), 21u);  // past 4, 8 and 16
  for (int i = 0; i < 7; ++i) {
    for (std::uint16_t col = 1; col <= 3; ++col) {
      const auto path = hid.NextPath();
      ASSERT_TRUE(path);
      EXPECT_EQ(ParseProductId(*path), 0x5100 + i);
      EXPECT_EQ(ParseInterfaceNumber(*path), 1);
      EXPECT_EQ(ParseCollectionNumber(*path), col);
    }
  }
  EXPECT_FALSE(hid.NextPath());
  hid.FreePathList();
  EXPECT_EQ(hid.PathCount(), 21u);  // the count stays, the list is gone
  EXPECT_FALSE(hid.NextPath());
}

TEST_F(SimulatedNodeTest, OpenLoadsIdentityAndCapabilitiesOfTheCollection) {
  const std::string node = PlugNode(kReceiver);
  CHidDevice hid;
  ASSERT_TRUE(hid.Open(PathOf(node, 2), true, true, true, false));
  EXPECT_EQ(hid.vendor_id(), 0x320F);
  EXPECT_EQ(hid.product_id(), 0x5100);
  EXPECT_EQ(hid.usage_page(), 0xFF00);
  EXPECT_EQ(hid.usage(), 0x01);
  EXPECT_EQ(hid.caps().input_report_byte_length, 7);
  EXPECT_EQ(hid.caps().output_report_byte_length, 7);
  EXPECT_EQ(hid.input_report_buffer().size(), 7u);
  EXPECT_EQ(hid.interface_number(), 1u);
  EXPECT_EQ(hid.collection_number(), 2u);
  hid.Close();
  EXPECT_FALSE(hid.IsOpen());
  EXPECT_EQ(hid.collection(), nullptr);
}

TEST_F(SimulatedNodeTest, ReadsAndWritesKeepReportBoundaries) {
  CHidDevice hid;
  ASSERT_TRUE(hid.Open(PathOf(PlugNode(kReceiver), 2), true, true, true, false));
  const std::vector<std::uint8_t> out = {0x10, 1, 2, 3, 4, 5, 6};
  std::size_t written = 0;
  ASSERT_TRUE(hid.WriteReport(out, &written, 1000));
  EXPECT_EQ(written, 7u);
  std::uint8_t got[64];
  EXPECT_EQ(::recv(DeviceEnd(), got, sizeof got, 0), 7);

  Send({0x10, 9, 8, 7, 6, 5, 4});
  Send({0x10, 1, 1, 1, 1, 1, 1});
  std::uint8_t in[7] = {};
  std::size_t read = 0;
  ASSERT_TRUE(hid.ReadReport(in, &read, 1000));
  EXPECT_EQ(read, 7u);
  EXPECT_EQ(in[1], 9);
  ASSERT_TRUE(hid.ReadReport(in, &read, 1000));
  EXPECT_EQ(in[1], 1);
}

TEST_F(SimulatedNodeTest, ReportsOfAnotherCollectionAreSkippedWithinTheLimit) {
  CHidDevice hid;
  ASSERT_TRUE(hid.Open(PathOf(PlugNode(kReceiver), 2), true, true, true, false));
  Send({0x03, 0xE9, 0x00, 0x00, 0x00});                 // consumer collection
  Send({0x11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});  // the other vendor collection
  Send({0x10, 0x42, 0, 0, 0, 0, 0});
  std::uint8_t in[7] = {};
  ASSERT_TRUE(hid.ReadReport(in, nullptr, 1000));
  EXPECT_EQ(in[0], 0x10);
  EXPECT_EQ(in[1], 0x42);

  Send({0x03, 0xE9, 0x00, 0x00, 0x00});
  std::size_t read = 99;
  EXPECT_FALSE(hid.ReadReport(in, &read, 50));  // only foreign reports: a time-out
  EXPECT_EQ(read, 0u);
}

TEST_F(SimulatedNodeTest, ATimedOutReadIsAbandonedSoItsLateReportIsNotTakenNext) {
  CHidDevice hid;
  ASSERT_TRUE(hid.Open(PathOf(PlugNode(kReceiver), 2), true, true, true, false));
  std::uint8_t in[7] = {};
  EXPECT_FALSE(hid.ReadReport(in, nullptr, 20));
  Send({0x10, 0xAA, 0, 0, 0, 0, 0});  // the late answer
  std::thread device([this] {
    std::this_thread::sleep_for(50ms);
    Send({0x10, 0xBB, 0, 0, 0, 0, 0});
  });
  ASSERT_TRUE(hid.ReadReport(in, nullptr, 2000));
  EXPECT_EQ(in[1], 0xBB);
  device.join();
}

TEST_F(SimulatedNodeTest, CloseFromAnotherThreadReleasesAnUnlimitedRead) {
  CHidDevice hid;
  ASSERT_TRUE(hid.Open(PathOf(PlugNode(kReceiver), 1), true, true, true, false));
  auto reader = BlockedRead(hid);
  EXPECT_EQ(reader.wait_for(50ms), std::future_status::timeout);  // really blocked
  hid.Close();
  ASSERT_EQ(reader.wait_for(2s), std::future_status::ready);
  EXPECT_FALSE(reader.get());
  EXPECT_FALSE(hid.read_in_progress());

  // A reopened collection reads again: the stop does not outlive the Close.
  const std::string node = bus_->Plug({0x320F, 0x5101, 0, 1, test::LoadDescriptor(kReceiver),
                                       [this](UniqueFd fd) {
                                         std::scoped_lock lock(mutex_);
                                         device_ends_.push_back(std::move(fd));
                                       }});
  ASSERT_TRUE(hid.Open(PathOf(node, 1), true, true, true, false));
  Send({0x03, 0xCD, 0x00, 0x00, 0x00});
  std::uint8_t in[5];
  EXPECT_TRUE(hid.ReadReport(in, nullptr, 1000));
}

// How a reader thread that decodes after each read is ended before Close.
TEST_F(SimulatedNodeTest, StoppedWaitsReleaseAnUnlimitedReadAndKeepTheCollectionUntilClose) {
  CHidDevice hid;
  ASSERT_TRUE(hid.Open(PathOf(PlugNode(kReceiver), 1), true, true, true, false));
  auto reader = BlockedRead(hid);
  hid.StopWaits();
  ASSERT_EQ(reader.wait_for(2s), std::future_status::ready);
  EXPECT_FALSE(reader.get());
  EXPECT_TRUE(hid.IsOpen());
  EXPECT_NE(hid.collection(), nullptr);
  EXPECT_FALSE(hid.input_items().empty());

  // The stop holds for later reads too, even with a report waiting.
  Send({0x03, 0xCD, 0x00, 0x00, 0x00});
  std::uint8_t in[5];
  EXPECT_FALSE(hid.ReadReport(in, nullptr, CHidDevice::kInfinite));
  hid.Close();
  EXPECT_EQ(hid.collection(), nullptr);
}

TEST_F(SimulatedNodeTest, UnplugEndsReadsAndPresenceAndAReplugIsANewInstance) {
  const std::string node = PlugNode(kReceiver);
  const std::string path = PathOf(node, 2);
  CHidDevice hid;
  ASSERT_TRUE(hid.Open(path, true, true, true, false));
  EXPECT_TRUE(CHidDevice::IsPathPresent(path));
  auto reader = BlockedRead(hid);
  ASSERT_TRUE(bus_->Unplug(node));
  ASSERT_EQ(reader.wait_for(2s), std::future_status::ready);
  EXPECT_FALSE(reader.get());
  EXPECT_FALSE(CHidDevice::IsPathPresent(path));

  CHidDevice again;
  const std::string replugged = PathOf(PlugNode(kReceiver), 2);
  EXPECT_NE(replugged, path);
  EXPECT_FALSE(again.Open(path, true, true, true, false));
  EXPECT_EQ(again.LastOpenResult(), HidOpenResult::kGone);
  EXPECT_TRUE(again.Open(replugged, true, true, true, false));
}

TEST_F(SimulatedNodeTest, ReportsWithoutIdsGetAZeroIdByteInFront) {
  CHidDevice hid;
  ASSERT_TRUE(hid.Open(PathOf(PlugNode("hidapi_046d_c077_mouse"), 0), true, true, true, false));
  EXPECT_EQ(hid.caps().input_report_byte_length, 5);
  Send({0x01, 0x05, 0xFB, 0x00});
  std::uint8_t in[5] = {0xEE};
  std::size_t read = 0;
  ASSERT_TRUE(hid.ReadReport(in, &read, 1000));
  EXPECT_EQ(read, 5u);
  EXPECT_EQ(in[0], 0);
  EXPECT_EQ(in[1], 0x01);
  EXPECT_EQ(in[3], 0xFB);
}

}  // namespace
}  // namespace brontal
