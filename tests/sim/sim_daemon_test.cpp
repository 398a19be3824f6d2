#include "daemon/sim_daemon.h"

#include <sys/eventfd.h>

#include <gtest/gtest.h>

#include <json/reader.h>
#include <json/value.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <thread>

#include "device_access/command_channel.h"
#include "device_access/hid_sim_dir.h"
#include "models/command_journal.h"
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

Json::Value ParseJson(const std::string& text) {
  Json::Value value;
  std::string errors;
  std::istringstream in(text);
  EXPECT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), in, &value, &errors)) << errors;
  return value;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(SimDaemonTest, JournalShowsRequestsAndRepliesOldestFirst) {
  Control("plug 320f:5100");
  CCommandChannel channel;
  ASSERT_TRUE(channel.wired_collection().Open(test::CommandCollectionPath(0x320F, 0x5100), true, true, true, false));
  channel.set_open(true);
  channel.SetLink(kLinkWired);
  std::vector<std::uint8_t> info(kDeviceInfoSize);
  for (int i = 0; i < 2; ++i) ASSERT_EQ(channel.ReadDeviceInfo(info), CommandResult::kSuccess);

  const Json::Value journal = ParseJson(Control("journal 320f:5100 --json"));
  ASSERT_TRUE(journal.isArray());
  ASSERT_EQ(journal.size(), 4u);
  double previous = 0;
  for (Json::ArrayIndex i = 0; i < journal.size(); ++i) {
    SCOPED_TRACE(i);
    const Json::Value& entry = journal[i];
    EXPECT_EQ(entry.getMemberNames(), (std::vector<std::string>{"bytes", "kind", "time_ms"}));
    EXPECT_EQ(entry["kind"].asString(), i % 2 == 0 ? "request" : "reply");
    ASSERT_TRUE(entry["time_ms"].isDouble());
    EXPECT_GE(entry["time_ms"].asDouble(), previous);
    previous = entry["time_ms"].asDouble();
    const std::string bytes = entry["bytes"].asString();
    ASSERT_EQ(bytes.size(), 128u) << "the whole report, without separators";
    EXPECT_EQ(bytes.find_first_not_of("0123456789abcdef"), std::string::npos) << bytes;
    EXPECT_EQ(bytes.substr(0, 2), "04");
    EXPECT_EQ(bytes.substr(6, 2), "03");  // the command, echoed in the reply
  }
  EXPECT_EQ(journal[1]["bytes"].asString().substr(26, 2), "7e");  // key slots in the reply's data

  const std::vector<std::string> lines = Lines(Control("journal 320f:5100"));
  ASSERT_EQ(lines.size(), 4u);
  const std::regex line(R"( *\d+\.\d{3} ms  (request|reply  )  04( [0-9a-f]{2}){63})");
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_TRUE(std::regex_match(lines[i], line)) << lines[i];
    EXPECT_NE(lines[i].find(i % 2 == 0 ? "request" : "reply"), std::string::npos) << lines[i];
  }
}

TEST_F(SimDaemonTest, FullJournalGetsThroughTheControlSocket) {
  Control("plug 320f:5100");
  CHidDevice hid;
  ASSERT_TRUE(hid.Open(test::CommandCollectionPath(0x320F, 0x5100), true, true, true, false));
  // Each request adds its reply: together more than the journal keeps.
  constexpr int kRequests = CommandJournal::kDefaultCapacity / 2 + 10;
  const Frame request = BuildRequest(0x01, 0, 0, {});
  for (int i = 0; i < kRequests; ++i) ASSERT_TRUE(hid.WriteReport(request, nullptr, 1000)) << i;
  const std::string counted = std::to_string(kRequests) + " commands";
  for (int i = 0; i < 2000 && Control("status").find(counted) == std::string::npos; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));

  const std::string text = Control("journal 320f:5100");
  EXPECT_GT(text.size(), 64u * 1024) << "more than one datagram";
  const std::vector<std::string> lines = Lines(text);
  ASSERT_EQ(lines.size(), CommandJournal::kDefaultCapacity);
  EXPECT_NE(lines.back().find("reply"), std::string::npos) << lines.back();
  const Json::Value journal = ParseJson(Control("journal 320f:5100 --json"));
  ASSERT_EQ(journal.size(), CommandJournal::kDefaultCapacity);
  EXPECT_EQ(journal[journal.size() - 1]["kind"].asString(), "reply");
}

TEST_F(SimDaemonTest, JournalOfAProductNotPluggedIsAnError) {
  Control("plug 320f:5100");
  const struct {
    const char* command;
    const char* reason;
  } cases[] = {
      {"journal 320f:5103", "320f:5103 is not plugged"},  // the same device, through a receiver not plugged
      {"journal 320f:9999", "no simulated product"},
      {"journal 320f:5100 --xml", "unknown command"},
  };
  for (const auto& c : cases) EXPECT_NE(Control(c.command, false).find(c.reason), std::string::npos) << c.command;
}

}  // namespace
}  // namespace brontal::sim
