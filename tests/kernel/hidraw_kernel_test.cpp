// The HID layer on real hidraw nodes: run inside the kernel path test's VM,
// where `brontal-sim serve --uhid` has plugged the keyboard 320f:5100, its
// receiver 320f:5103, the mouse 320f:2003 and the headset 0c76:1630
// (BRONTAL_SIM_DIR names its folder). Not a test of the host: there are no such nodes there.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <tuple>

#include "device_access/command_channel.h"
#include "device_access/hid_path.h"
#include "devices/device_info_block.h"
#include "devices/interface_table.h"

namespace brontal {
namespace {

using namespace std::chrono_literals;

constexpr std::uint16_t kVendor = 0x320F;
constexpr std::uint16_t kProducts[] = {0x5100, 0x5103, 0x2003};

std::string SimFolder() {
  const char* folder = std::getenv("BRONTAL_SIM_DIR");
  return folder ? folder : "";
}

// brontal-sim beside this program, on the VM's simulator.
int Sim(const std::string& arguments) {
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
  return std::system((self + "/brontal-sim " + arguments + " >/dev/null").c_str());
}

// brontal-sim's output for `arguments`.
std::string SimOutput(const std::string& arguments) {
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
  std::string output;
  if (FILE* pipe = ::popen((self + "/brontal-sim " + arguments).c_str(), "r")) {
    std::array<char, 4096> chunk;
    while (const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), pipe)) output.append(chunk.data(), n);
    ::pclose(pipe);
  }
  return output;
}

std::optional<std::string> PathOf(std::uint16_t product, CollectionRole role, std::uint16_t vendor = kVendor) {
  CHidDevice scan;
  if (!scan.EnumerateInterfaces()) return std::nullopt;
  while (const auto path = scan.NextPath()) {
    for (const InterfaceRow& row : kInterfaceTable) {
      if (IsRealProduct(row) && row.vendor_id == vendor && row.product_id == product && row.role == role &&
          row.vendor_id == ParseVendorId(*path) && row.product_id == ParseProductId(*path) &&
          row.interface_number == ParseInterfaceNumber(*path) && row.collection_number == ParseCollectionNumber(*path))
        return *path;
    }
  }
  return std::nullopt;
}

TEST(HidrawKernel, EveryCollectionOfThePluggedProductsEnumeratesWithItsInterfaceNumber) {
  using Key = std::tuple<std::uint16_t, std::uint16_t, std::uint16_t, std::uint16_t>;
  std::set<Key> wanted;
  for (const InterfaceRow& row : kInterfaceTable)
    for (std::uint16_t product : kProducts)
      if (IsRealProduct(row) && row.vendor_id == kVendor && row.product_id == product)
        wanted.insert({row.vendor_id, row.product_id, row.interface_number, row.collection_number});
  ASSERT_FALSE(wanted.empty());
  CHidDevice scan;
  ASSERT_TRUE(scan.EnumerateInterfaces());
  std::set<Key> found;
  while (const auto path = scan.NextPath()) {
    EXPECT_TRUE(path->find("/dev/hidraw") != std::string::npos) << *path;
    found.insert(
        {ParseVendorId(*path), ParseProductId(*path), ParseInterfaceNumber(*path), ParseCollectionNumber(*path)});
  }
  for (const Key& key : wanted)
    EXPECT_TRUE(found.contains(key)) << std::hex << std::get<1>(key) << " interface " << std::get<2>(key)
                                     << " collection " << std::get<3>(key);
}

class KeyboardChannel : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::optional<std::string> path = PathOf(0x5100, CollectionRole::kCommand);
    ASSERT_TRUE(path) << "no command collection of 320f:5100";
    ASSERT_TRUE(channel_.wired_collection().Open(*path, true, true, true, false));
    channel_.set_open(true);
    channel_.SetLink(kLinkWired);
  }
  CommandResult ReadInfo() { return channel_.ReadDeviceInfo(info_.bytes); }

  CCommandChannel channel_;
  DeviceInfoBlock info_;
};

TEST_F(KeyboardChannel, ACommandIsAnsweredThroughTheKernel) {
  ASSERT_EQ(ReadInfo(), CommandResult::kSuccess);
  EXPECT_EQ(info_.key_slot_count(), 126);
}

// The command handle gets every report of its interface, the events included,
// and the kernel keeps at most 64 of them: a reply behind a full queue is lost
// unless the queue is emptied before each request.
TEST_F(KeyboardChannel, AReplySurvivesABurstOf100EventReports) {
  ASSERT_FALSE(SimFolder().empty());
  // An answer at once: it arrives while the reader is still behind the events.
  ASSERT_EQ(Sim("latency " + SimFolder() + " 0"), 0);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(Sim("event " + SimFolder() + " 320f:5100 0404"), 0);
  std::this_thread::sleep_for(200ms);  // every event in the handle's queue
  const auto start = std::chrono::steady_clock::now();
  const CommandResult result = ReadInfo();
  const auto took = std::chrono::steady_clock::now() - start;
  ASSERT_EQ(Sim("latency " + SimFolder() + " 1000"), 0);
  EXPECT_EQ(result, CommandResult::kSuccess);
  EXPECT_LT(took, 500ms);
  EXPECT_EQ(info_.key_slot_count(), 126);
}

TEST_F(KeyboardChannel, AWriteWithoutATimeLimitStillEndsAtTheStopEvent) {
  std::array<std::uint8_t, 64> request{0x04};
  EXPECT_TRUE(channel_.wired_collection().WriteReport(request, nullptr, 1000));
  channel_.wired_collection().StopWaits();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(channel_.wired_collection().WriteReport(request, nullptr, CHidDevice::kInfinite));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
}

// With cable and receiver plugged, each link's event collection delivers the
// events sent through that link.
TEST(HidrawKernel, EventsArriveOnEachLinkWithBothPlugged) {
  ASSERT_FALSE(SimFolder().empty());
  for (std::uint16_t product : {std::uint16_t{0x5100}, std::uint16_t{0x5103}}) {
    SCOPED_TRACE(product);
    const std::optional<std::string> path = PathOf(product, CollectionRole::kEvent);
    ASSERT_TRUE(path);
    CHidDevice events;
    ASSERT_TRUE(events.Open(*path, true, false, true, false));
    char ids[16];
    std::snprintf(ids, sizeof ids, "320f:%04x", product);
    ASSERT_EQ(Sim("event " + SimFolder() + " " + ids + " 0401"), 0);
    std::vector<std::uint8_t> report(std::max<std::size_t>(events.input_report_byte_length(), 1));
    ASSERT_TRUE(events.ReadReport(report, nullptr, 2000));
    ASSERT_TRUE(CHidDevice::UnpackReport(report, ReportType::kInput, events.input_items(), *events.collection()));
    const HidDataItem& first = events.input_items().front();
    const std::uint16_t code = first.IsButtonData ? (first.Usages.empty() ? 0 : first.Usages.front())
                                                  : static_cast<std::uint16_t>(first.Value);
    EXPECT_EQ(code, 0x0401);
  }
}

// The headset takes its light reports as set-output requests on the control
// pipe, which reach the device through uhid as set-report requests.
TEST(HidrawKernel, TheHeadsetsLightReportsGoAsSetOutputRequests) {
  ASSERT_FALSE(SimFolder().empty());
  const std::optional<std::string> path = PathOf(0x1630, CollectionRole::kCommand, 0x0C76);
  ASSERT_TRUE(path) << "no collection of 0c76:1630";
  CHidDevice headset;
  ASSERT_TRUE(headset.Open(*path, true, true, true, false));
  std::vector<std::vector<std::uint8_t>> reports;
  for (std::uint8_t plane : {0xAA, 0xAB, 0xAC}) {
    std::vector<std::uint8_t> report(17, 0);
    report[0] = 0xFF;
    report[1] = 0x22;
    report[2] = plane;
    report[4] = 0x40;
    reports.push_back(report);
  }
  EXPECT_EQ(headset.SetOutputReports(reports, 2000), reports.size());
  const std::string journal = SimOutput("journal " + SimFolder() + " 0c76:1630");
  EXPECT_NE(journal.find("ff 22 ac 00 40"), std::string::npos) << journal;
}

}  // namespace
}  // namespace brontal
