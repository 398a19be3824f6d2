#include "daemon/sim_daemon.h"

#include <gtest/gtest.h>
#include <json/reader.h>
#include <json/value.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "daemon/control_commands.h"
#include "daemon/socket_dir_host.h"
#include "device_access/command_channel.h"
#include "device_access/hid_sim_dir.h"
#include "helpers/temporary_folder.h"
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

TEST_F(SimDaemonTest, ASilentControlClientDoesNotDelayAnother) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string path = (folder_ / kControlSocketName).string();
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const UniqueFd silent(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
  ASSERT_EQ(::connect(silent.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // accepted before the next one comes
  const auto start = std::chrono::steady_clock::now();
  Control("plug 320f:5100");
  EXPECT_NE(Control("status").find("320f:5100  plugged"), std::string::npos);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST_F(SimDaemonTest, LinkNeedsAPluggedReceiver) {
  Control("plug 320f:5100");
  const struct {
    const char* command;
    const char* reason;
  } cases[] = {
      {"link 320f:5103 off", "320f:5103 is not plugged"},
      {"link 320f:5100 off", "320f:5100 is not a receiver"},
      {"link 320f:2003 on", "320f:2003 is not a receiver"},
  };
  for (const auto& c : cases) EXPECT_NE(Control(c.command, false).find(c.reason), std::string::npos) << c.command;
  EXPECT_NE(Control("status").find("wireless link on"), std::string::npos);
}

TEST_F(SimDaemonTest, PlugOffOnAPluggedReceiverLeavesItsLinkOn) {
  Control("plug 320f:5103");
  EXPECT_NE(Control("plug 320f:5103 --off", false).find("320f:5103 is already plugged"), std::string::npos);
  EXPECT_NE(Control("status").find("wireless link on"), std::string::npos);
}

// The daemon on a thread for the tests of its folder; stopped and joined on destruction.
class ServedBus {
 public:
  explicit ServedBus(const std::filesystem::path& folder) : folder_(folder) {
    server_ = std::thread([this] { status_ = ServeSimulatedBus(folder_, stop_.get(), log_); });
    bool ok = false;
    std::string reply;
    for (int i = 0; i < 400 && !SendControlCommand(folder_, "status", ok, reply); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    up_ = ok;
  }
  ~ServedBus() {
    const std::uint64_t one = 1;
    if (::write(stop_.get(), &one, sizeof one) != sizeof one) std::abort();
    server_.join();
  }
  bool up() const { return up_; }

 private:
  std::filesystem::path folder_;
  UniqueFd stop_{::eventfd(0, EFD_CLOEXEC)};
  std::ostringstream log_;
  int status_ = -1;
  bool up_ = false;
  std::thread server_;
};

class SimFolderTest : public ::testing::Test {
 protected:
  // A test may take its permissions from a folder inside, which the removal needs back.
  ~SimFolderTest() override {
    std::error_code ignored;
    std::filesystem::permissions(root_ / "locked", std::filesystem::perms::owner_all, ignored);
  }
  test::TemporaryFolder folder_{"brontal-sim-folder"};
  const std::filesystem::path root_ = folder_.path();
};

unsigned ModeOf(const std::filesystem::path& path) {
  struct stat s;
  return ::lstat(path.c_str(), &s) == 0 ? s.st_mode & 07777 : 0;
}

TEST_F(SimFolderTest, AnExistingFolderKeepsItsModeAndGetsTheBusInAPrivateSubfolder) {
  for (const unsigned mode : {01777u, 0755u, 0700u}) {
    SCOPED_TRACE(mode);
    const std::filesystem::path folder = root_ / std::to_string(mode);
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    ASSERT_EQ(::chmod(folder.c_str(), mode), 0);
    std::ofstream(folder / "mine.txt") << "mine\n";
    ::chmod((folder / "mine.txt").c_str(), 0644);
    {
      ServedBus bus(folder);
      ASSERT_TRUE(bus.up());
      bool ok = false;
      std::string reply;
      ASSERT_TRUE(SendControlCommand(folder, "plug 320f:5100", ok, reply));
      EXPECT_TRUE(ok) << reply;
      EXPECT_EQ(BusFolder(folder), folder / kBusSubfolderName);
      EXPECT_TRUE(std::filesystem::exists(folder / kBusSubfolderName / "320f_5100.node"));
      EXPECT_EQ(ModeOf(folder / kBusSubfolderName), 0700u);
      EXPECT_EQ(ModeOf(folder), mode);
    }
    EXPECT_EQ(ModeOf(folder), mode);
    EXPECT_EQ(ModeOf(folder / "mine.txt"), 0644u);
    EXPECT_FALSE(std::filesystem::exists(folder / kBusSubfolderName)) << "the daemon's own subfolder goes with it";
    ASSERT_TRUE(ServedBus(folder).up()) << "served again in its subfolder";
  }
}

TEST_F(SimFolderTest, ClientsGivenTheFolderFindTheBusInItsSubfolder) {
  ASSERT_EQ(::chmod(root_.c_str(), 01777), 0);
  ServedBus bus(root_);
  ASSERT_TRUE(bus.up());
  bool ok = false;
  std::string reply;
  ASSERT_TRUE(SendControlCommand(root_, "plug 320f:5100", ok, reply));
  ASSERT_TRUE(ok) << reply;
  SimulatedDirBackend client(root_);
  std::vector<HidNodeInfo> nodes;
  ASSERT_TRUE(client.Enumerate(nodes));
  ASSERT_EQ(nodes.size(), 1u);
  EXPECT_EQ(nodes[0].node, "sim:" + (root_ / kBusSubfolderName / "320f_5100").string());
  UniqueFd fd;
  EXPECT_EQ(client.Open(nodes[0].node, nodes[0].instance, true, true, fd), HidOpenResult::kOpened);
}

TEST_F(SimFolderTest, AMissingFolderIsMadePrivateAndHoldsTheBus) {
  const std::filesystem::path folder = root_ / "new";
  ServedBus bus(folder);
  ASSERT_TRUE(bus.up());
  EXPECT_EQ(ModeOf(folder), 0700u);
  EXPECT_EQ(BusFolder(folder), folder);
  EXPECT_TRUE(std::filesystem::is_socket(folder / kControlSocketName));
}

TEST_F(SimFolderTest, AFolderThatCannotHoldTheBusIsRefusedAndLeftAsItWas) {
  const std::filesystem::path file = root_ / "file";
  std::ofstream(file) << "mine\n";
  ::chmod(file.c_str(), 0644);
  const std::filesystem::path open_inner = root_ / "open";
  std::filesystem::create_directories(open_inner / kBusSubfolderName);
  ::chmod((open_inner / kBusSubfolderName).c_str(), 0755);
  const std::filesystem::path file_inner = root_ / "file-inside";
  std::filesystem::create_directories(file_inner);
  std::ofstream(file_inner / kBusSubfolderName) << "mine\n";
  ::chmod((file_inner / kBusSubfolderName).c_str(), 0644);
  // Room for the control socket's name but not for a node's.
  const std::filesystem::path long_folder =
      root_ / std::string(sizeof(sockaddr_un::sun_path) - 16 - root_.string().size(), 'x');
  const std::filesystem::path long_inner =
      root_ / std::string(sizeof(sockaddr_un::sun_path) - 32 - root_.string().size(), 'y');
  std::filesystem::create_directory(long_inner);
  const struct {
    std::filesystem::path folder;
    std::filesystem::path watched;
    std::string message;
  } cases[] = {
      {file, file, file.string() + " is not a folder"},
      {open_inner, open_inner / kBusSubfolderName, " is not a private folder of this user"},
      {file_inner, file_inner / kBusSubfolderName, " is not a private folder of this user"},
      {long_folder, long_folder, " is too long a path for the bus's sockets"},
      {long_inner, long_inner / kBusSubfolderName, " is too long a path for the bus's sockets"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder.string());
    const unsigned before = ModeOf(c.watched);
    const unsigned folder_before = ModeOf(c.folder);
    std::ostringstream log;
    const UniqueFd stop(::eventfd(1, EFD_CLOEXEC));  // already set: a daemon that wrongly starts stops at once
    EXPECT_EQ(ServeSimulatedBus(c.folder, stop.get(), log), 1);
    const std::string said = log.str();
    EXPECT_NE(said.find(c.message), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(ModeOf(c.watched), before) << "0 is missing";
    EXPECT_EQ(ModeOf(c.folder), folder_before);
  }
}

TEST(SimPlugTest, APlugThatMakesNoNodeFailsAndChangesNothing) {
  std::ostringstream log;
  SocketDirNodeHost host(std::filesystem::path("/tmp") / std::string(sizeof(sockaddr_un::sun_path), 'x'), &log);
  Simulator simulator(host);
  for (const char* command : {"plug 320f:5100", "plug 320f:5103 --off"}) {
    const ControlReply reply = RunControlCommand(simulator, command);
    EXPECT_FALSE(reply.ok) << command;
    EXPECT_NE(reply.text.find("could not be plugged"), std::string::npos) << reply.text;
  }
  EXPECT_NE(log.str().find("cannot listen on"), std::string::npos) << log.str();
  EXPECT_TRUE(simulator.Plugged().empty());
  EXPECT_TRUE(simulator.Device(0x320F, 0x5103)->Status().wireless_link_on) << "--off undone with the plug";
}

// Run as root, a folder without permissions is still readable: only the other
// cases are certain there.
TEST_F(SimFolderTest, StatusWithoutABusSaysWhy) {
  const std::filesystem::path file = root_ / "file";
  std::ofstream(file) << "mine\n";
  std::filesystem::create_directory(root_ / "empty");
  std::filesystem::create_directories(root_ / "locked" / "inner");
  ::chmod((root_ / "locked").c_str(), 0);
  struct Case {
    std::filesystem::path folder;
    std::string reply;
  };
  std::vector<Case> cases = {
      {root_ / "missing", (root_ / "missing").string() + ": No such file or directory"},
      {file, file.string() + " is not a folder"},
      {root_ / "empty", "no simulated bus runs in " + (root_ / "empty").string()},
  };
  if (::geteuid() != 0) cases.push_back({root_ / "locked" / "inner", "Permission denied"});
  for (const Case& c : cases) {
    bool ok = true;
    std::string reply;
    EXPECT_FALSE(SendControlCommand(c.folder, "status", ok, reply));
    EXPECT_FALSE(ok);
    EXPECT_NE(reply.find(c.reply), std::string::npos) << reply;
  }
}

}  // namespace
}  // namespace brontal::sim
