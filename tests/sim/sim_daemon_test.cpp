#include "daemon/sim_daemon.h"

#include <sys/eventfd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <thread>

#include "device_access/command_channel.h"
#include "device_access/hid_sim_dir.h"
#include "sim/channel_on_simulator.h"

namespace brontal::sim {
namespace {

// A daemon on a temporary folder, served on a thread, and this process on its bus.
class SimDaemonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / ("brontal-sim-test-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder_);
    server_ = std::thread([this] { status_ = ServeSimulatedBus(folder_, stop_.get(), log_); });
    bool ok = false;
    std::string reply;
    for (int i = 0; i < 200 && !SendControlCommand(folder_, "status", ok, reply); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(ok) << reply;
    HidBus::SetSimulated(std::make_shared<SimulatedDirBackend>(folder_));
  }
  void TearDown() override {
    HidBus::SetSimulated(nullptr);
    const std::uint64_t one = 1;
    ASSERT_EQ(::write(stop_.get(), &one, sizeof one), 8);
    server_.join();
    EXPECT_EQ(status_, 0);
    EXPECT_FALSE(std::filesystem::exists(folder_ / kControlSocketName));
    std::filesystem::remove_all(folder_);
  }
  std::string Control(const std::string& command, bool expect_ok = true) {
    bool ok = false;
    std::string reply;
    EXPECT_TRUE(SendControlCommand(folder_, command, ok, reply)) << reply;
    EXPECT_EQ(ok, expect_ok) << command << ": " << reply;
    return reply;
  }

  std::filesystem::path folder_;
  UniqueFd stop_{::eventfd(0, EFD_CLOEXEC)};
  std::ostringstream log_;
  int status_ = -1;
  std::thread server_;
};

TEST_F(SimDaemonTest, PluggedProductsAnswerThroughTheSocketFolder) {
  Control("plug 320f:5103 --off");
  Control("plug 320f:2003");
  EXPECT_NE(Control("plug 320f:2003", false).find("already plugged"), std::string::npos);
  EXPECT_NE(Control("plug 320f:9999", false).find("no simulated product"), std::string::npos);

  CCommandChannel channel;
  ASSERT_TRUE(channel.receiver_collection().Open(test::CommandCollectionPath(0x320F, 0x5103), true, true, true, false));
  channel.set_open(true);
  channel.SetLink(kLinkReceiver);
  std::vector<std::uint8_t> info(kDeviceInfoSize);
  EXPECT_EQ(channel.ReadDeviceInfo(info), CommandResult::kReceiverNoAnswer);  // plugged with its device off
  Control("link 320f:5103 on");
  EXPECT_TRUE(channel.QueryLink());
  EXPECT_EQ(channel.ReadDeviceInfo(info), CommandResult::kSuccess);
  EXPECT_EQ(info[5], 126);  // key slots of the 0x5100 keyboard

  const std::string status = Control("status");
  EXPECT_NE(status.find("320f:5103  plugged as 320f_5103  (receiver)"), std::string::npos) << status;
  EXPECT_NE(status.find("wireless link on"), std::string::npos) << status;

  // Unplugging removes the node: the open collection hangs up, the path is no longer present.
  const std::string path = channel.receiver_collection().path();
  Control("unplug 320f:5103");
  EXPECT_FALSE(CHidDevice::IsPathPresent(path));
  EXPECT_EQ(channel.ReadDeviceInfo(info), CommandResult::kWriteFailed);
}

TEST_F(SimDaemonTest, EventsReachTheEventCollection) {
  Control("plug 320f:5100");
  CHidDevice events;
  std::string event_path;
  CHidDevice scan;
  ASSERT_TRUE(scan.EnumerateInterfaces());
  while (const auto p = scan.NextPath())
    if (ParseCollectionNumber(*p) == 3) event_path = *p;
  ASSERT_TRUE(events.Open(event_path, true, true, true, false));
  Control("event 320f:5100 0404");
  std::vector<std::uint8_t> report(events.input_report_byte_length());
  ASSERT_TRUE(events.ReadReport(report, nullptr, 2000));
  ASSERT_TRUE(CHidDevice::UnpackReport(report, ReportType::kInput, events.input_items(), *events.collection()));
  EXPECT_EQ(events.input_items()[0].Usages[0], 0x0404);
  EXPECT_NE(Control("event 320f:5100 zz", false).find("not a 16-bit hexadecimal code"), std::string::npos);
}

}  // namespace
}  // namespace brontal::sim
