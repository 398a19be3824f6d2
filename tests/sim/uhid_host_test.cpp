#include "transport/uhid_host.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "daemon/sim_daemon.h"
#include "device_access/command_codes.h"
#include "sim/request_frames.h"
#include "transport/simulator.h"
#include "transport/uhid_events.h"

namespace brontal::sim {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint16_t kVendor = 0x320F;
constexpr std::uint16_t kKeyboard = 0x5100;
constexpr std::uint16_t kKeyboardReceiver = 0x5103;

// Stands in for /dev/uhid: every open is a new socket pair whose far end the
// test reads and writes as the kernel would.
class FakeKernel {
 public:
  UhidOpener Opener() {
    return [this] {
      int pair[2];
      if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair) != 0) return UniqueFd();
      std::scoped_lock lock(mutex_);
      devices_.emplace_back(pair[0]);
      return UniqueFd(pair[1]);
    };
  }
  std::size_t Opened() {
    std::scoped_lock lock(mutex_);
    return devices_.size();
  }
  int Device(std::size_t i) {
    std::scoped_lock lock(mutex_);
    return devices_.at(i).get();
  }
  void HangUp(std::size_t i) {
    std::scoped_lock lock(mutex_);
    devices_.at(i).Reset();
  }

 private:
  std::mutex mutex_;
  std::vector<UniqueFd> devices_;
};

// The next record from the device, or nothing on timeout; an empty record at hang-up.
std::optional<std::vector<std::uint8_t>> NextRecord(int device, int timeout_ms = 2000) {
  pollfd p{device, POLLIN, 0};
  if (::poll(&p, 1, timeout_ms) != 1) return std::nullopt;
  std::vector<std::uint8_t> record(sizeof(uhid_event) + 1);
  const ssize_t n = ::recv(device, record.data(), record.size(), 0);
  record.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return record;
}

std::uint32_t TypeOf(const std::vector<std::uint8_t>& record) {
  std::uint32_t type = 0xFFFFFFFF;
  if (record.size() >= sizeof type) std::memcpy(&type, record.data(), sizeof type);
  return type;
}

// The report of a UHID_INPUT2 record.
std::vector<std::uint8_t> InputReport(const std::vector<std::uint8_t>& record) {
  uhid_event event{};
  std::memcpy(&event, record.data(), std::min(record.size(), sizeof event));
  if (event.type != UHID_INPUT2) return {};
  return {event.u.input2.data, event.u.input2.data + event.u.input2.size};
}

void Send(int device, const uhid_event& event) {
  ASSERT_EQ(::send(device, &event, sizeof event, 0), static_cast<ssize_t>(sizeof event));
}
void SendType(int device, std::uint32_t type) {
  uhid_event event{};
  event.type = type;
  Send(device, event);
}
void SendOutput(int device, const std::vector<std::uint8_t>& report) {
  uhid_event event{};
  event.type = UHID_OUTPUT;
  event.u.output.size = static_cast<std::uint16_t>(report.size());
  event.u.output.rtype = UHID_OUTPUT_REPORT;
  std::memcpy(event.u.output.data, report.data(), report.size());
  Send(device, event);
}

TEST(UhidHost, AProductIsCreatedServedAndDestroyed) {
  FakeKernel kernel;
  UhidNodeHost host(kernel.Opener());
  Simulator simulator(host);
  ASSERT_TRUE(simulator.Plug(kVendor, kKeyboard));
  ASSERT_EQ(kernel.Opened(), 1u);
  const int device = kernel.Device(0);

  const std::optional<std::vector<std::uint8_t>> create = NextRecord(device);
  ASSERT_TRUE(create);
  const ProductSpec& product = *FindProduct(kVendor, kKeyboard);
  EXPECT_EQ(*create, [&] {
    const uhid_event expected = UhidCreateEvent(product, UhidPortOf(product));
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&expected);
    return std::vector<std::uint8_t>(bytes, bytes + sizeof expected);
  }());
  ASSERT_EQ(simulator.Plugged().size(), 1u);
  EXPECT_EQ(simulator.Plugged()[0].node, UhidPhys(UhidPortOf(product), product.interface_number));

  // The kernel's lifecycle events come first and ask for nothing.
  for (std::uint32_t type : {UHID_START, UHID_OPEN}) SendType(device, type);

  const std::vector<std::uint8_t> request = testing::Request(command::kDeviceInfo);
  const std::unique_ptr<SimulatedDevice> reference = SimulatedDevice::Create(product);
  const std::vector<std::uint8_t> expected = testing::Exchange(*reference, Link::kWired, request);
  ASSERT_FALSE(expected.empty());
  const Clock::time_point sent = Clock::now();
  SendOutput(device, request);
  const std::optional<std::vector<std::uint8_t>> reply = NextRecord(device);
  const Clock::duration took = Clock::now() - sent;
  ASSERT_TRUE(reply);
  EXPECT_EQ(TypeOf(*reply), static_cast<std::uint32_t>(UHID_INPUT2));
  EXPECT_EQ(InputReport(*reply), expected);
  EXPECT_GE(took, std::chrono::milliseconds(2));  // one frame there, one back

  // Closed by its last reader, the node still answers the kernel's requests.
  SendType(device, UHID_CLOSE);
  uhid_event get{};
  get.type = UHID_GET_REPORT;
  get.u.get_report.id = 42;
  get.u.get_report.rnum = 4;
  get.u.get_report.rtype = UHID_FEATURE_REPORT;
  Send(device, get);
  const std::optional<std::vector<std::uint8_t>> refusal = NextRecord(device);
  ASSERT_TRUE(refusal);
  uhid_event answer{};
  std::memcpy(&answer, refusal->data(), std::min(refusal->size(), sizeof answer));
  EXPECT_EQ(answer.type, static_cast<std::uint32_t>(UHID_GET_REPORT_REPLY));
  EXPECT_EQ(answer.u.get_report_reply.id, 42u);
  EXPECT_NE(answer.u.get_report_reply.err, 0);

  ASSERT_TRUE(simulator.Event(kVendor, kKeyboard, 0x0404));
  const std::optional<std::vector<std::uint8_t>> event = NextRecord(device);
  ASSERT_TRUE(event);
  EXPECT_EQ(InputReport(*event), reference->EventReport(0x0404));

  const Clock::time_point unplugging = Clock::now();
  ASSERT_TRUE(simulator.Unplug(kVendor, kKeyboard));
  EXPECT_LT(Clock::now() - unplugging, std::chrono::seconds(1));
  const std::optional<std::vector<std::uint8_t>> destroy = NextRecord(device);
  ASSERT_TRUE(destroy);
  EXPECT_EQ(TypeOf(*destroy), static_cast<std::uint32_t>(UHID_DESTROY));
  const std::optional<std::vector<std::uint8_t>> closed = NextRecord(device);
  ASSERT_TRUE(closed);
  EXPECT_TRUE(closed->empty()) << "the uhid device stays open after unplug";
}

// Each product is its own uhid device: what one is asked, the other never sees,
// and the wireless link decides the receiver's answers as on the simulated bus.
TEST(UhidHost, CabledProductAndReceiverAreSeparateDevices) {
  FakeKernel kernel;
  UhidNodeHost host(kernel.Opener());
  Simulator simulator(host);
  ASSERT_TRUE(simulator.Plug(kVendor, kKeyboard));
  ASSERT_TRUE(simulator.Plug(kVendor, kKeyboardReceiver));
  ASSERT_EQ(kernel.Opened(), 2u);
  for (std::size_t i = 0; i < 2; ++i) ASSERT_TRUE(NextRecord(kernel.Device(i)));  // create
  const auto plugged = simulator.Plugged();
  ASSERT_EQ(plugged.size(), 2u);
  EXPECT_NE(plugged[0].node, plugged[1].node);

  const int receiver = kernel.Device(1);
  const std::unique_ptr<SimulatedDevice> reference = SimulatedDevice::Create(*FindProduct(kVendor, kKeyboard));
  const std::vector<std::uint8_t> query = testing::Request(command::kQueryLink);
  struct Case {
    bool link_on;
  };
  std::set<std::vector<std::uint8_t>> answers;
  for (const Case c : {Case{true}, Case{false}, Case{true}}) {
    SCOPED_TRACE(c.link_on ? "link on" : "link off");
    simulator.Device(kVendor, kKeyboardReceiver)->SetWirelessLink(c.link_on);
    reference->SetWirelessLink(c.link_on);
    const std::vector<std::uint8_t> expected = testing::Exchange(*reference, Link::kReceiver, query);
    ASSERT_FALSE(expected.empty());
    SendOutput(receiver, query);
    const std::optional<std::vector<std::uint8_t>> reply = NextRecord(receiver);
    ASSERT_TRUE(reply);
    EXPECT_EQ(InputReport(*reply), expected);
    answers.insert(expected);
  }
  EXPECT_EQ(answers.size(), 2u) << "the link's state does not show in the answer";
  EXPECT_FALSE(NextRecord(kernel.Device(0), 50)) << "the cabled product heard the receiver's exchange";

  ASSERT_TRUE(simulator.Unplug(kVendor, kKeyboardReceiver));
  const std::optional<std::vector<std::uint8_t>> destroy = NextRecord(receiver);
  ASSERT_TRUE(destroy);
  EXPECT_EQ(TypeOf(*destroy), static_cast<std::uint32_t>(UHID_DESTROY));
  EXPECT_FALSE(NextRecord(kernel.Device(0), 50)) << "unplugging the receiver touched the cabled product";
}

TEST(UhidHost, AKernelEndThatHangsUpLeavesTheHostWorking) {
  FakeKernel kernel;
  UhidNodeHost host(kernel.Opener());
  Simulator simulator(host);
  ASSERT_TRUE(simulator.Plug(kVendor, kKeyboard));
  kernel.HangUp(0);
  ASSERT_TRUE(simulator.Event(kVendor, kKeyboard, 0x0404));  // nowhere to go: dropped, no SIGPIPE
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const Clock::time_point unplugging = Clock::now();
  EXPECT_TRUE(simulator.Unplug(kVendor, kKeyboard));
  EXPECT_LT(Clock::now() - unplugging, std::chrono::seconds(1));

  ASSERT_TRUE(simulator.Plug(kVendor, kKeyboard));
  ASSERT_EQ(kernel.Opened(), 2u);
  const std::optional<std::vector<std::uint8_t>> create = NextRecord(kernel.Device(1));
  ASSERT_TRUE(create);
  EXPECT_EQ(TypeOf(*create), static_cast<std::uint32_t>(UHID_CREATE2));
}

TEST(UhidHost, AProductUhidRefusesIsNotPlugged) {
  struct Case {
    const char* what;
    UhidOpener open;
    const char* logged;
  };
  const Case cases[] = {
      {"no uhid device",
       [] {
         errno = ENOENT;
         return UniqueFd();
       },
       "/dev/uhid: No such file or directory"},
      {"creation refused",
       [] {
         int pair[2];
         if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) return UniqueFd();
         ::close(pair[0]);  // every write fails
         return UniqueFd(pair[1]);
       },
       "cannot create a uhid device"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::ostringstream log;
    UhidNodeHost host(c.open, &log);
    Simulator simulator(host);
    EXPECT_FALSE(simulator.Plug(kVendor, kKeyboard));
    EXPECT_TRUE(simulator.Plugged().empty());
    EXPECT_NE(log.str().find(c.logged), std::string::npos) << log.str();
  }
}

TEST(UhidHost, ServingWithoutUhidFailsAtOnceWithOneLine) {
  if (::access(kUhidDevicePath, R_OK | W_OK) == 0) GTEST_SKIP() << "this machine has a usable /dev/uhid";
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("brontal-uhid-test-" + std::to_string(::getpid()));
  const UniqueFd stop(::eventfd(0, EFD_CLOEXEC));
  std::ostringstream log;
  EXPECT_EQ(ServeSimulatedBus(folder, stop.get(), log, BusTransport::kUhid), 1);
  const std::string text = log.str();
  EXPECT_EQ(text.rfind("brontal-sim: /dev/uhid: ", 0), 0u) << text;
  EXPECT_NE(text.find("root or a rule for /dev/uhid"), std::string::npos) << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
  EXPECT_FALSE(std::filesystem::exists(folder / kControlSocketName));
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace brontal::sim
