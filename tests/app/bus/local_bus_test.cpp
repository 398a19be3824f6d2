#include "app/bus/local_bus.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <thread>

#include "app/bus/bus_frame.h"
#include "app/bus/bus_socket.h"
#include "bus_fixture.h"
#include "ui/toolkit/registered_messages.h"

namespace brontal::testing {
namespace {

using namespace std::chrono_literals;

class LocalBusTest : public BusFixture {
 protected:
  const std::uint32_t ping = RegisterWindowMessage(kPingMessage);
  const std::uint32_t echo = RegisterWindowMessage(kEchoMessage);
};

LRESULT PingAnswer(const WindowMessage& message) {
  return static_cast<LRESULT>(message.wparam) * 100 + message.lparam;
}

TEST_F(LocalBusTest, SentMessageReturnsTheWindowsResult) {
  BusTestWindow& window = AddWindow("Brontal Driver", {ping, kWmCopyData});
  window.answer = [](const WindowMessage& m) {
    return m.id == kWmCopyData ? static_cast<LRESULT>(m.copy_kind) + ByteSum(m.copy_data) : PingAnswer(m);
  };
  WindowMessage report(kWmCopyData, 77);
  report.copy_kind = 5;
  report.copy_data.assign(1024, 0);
  report.copy_data[0] = 2;
  report.copy_data[1020] = 9;
  std::optional<LRESULT> ping_result, copy_result;
  PumpWhile([&] {
    ping_result = bus.SendTo("Brontal Driver", WindowMessage(ping, 3, -4), kPatience);
    copy_result = bus.SendTo("Brontal Driver", report, kPatience);
  });
  EXPECT_EQ(ping_result, 296);
  EXPECT_EQ(copy_result, 5 + 2 + 9);
  ASSERT_EQ(window.received.size(), 2u);
  EXPECT_EQ(window.received[0].id, ping);
  EXPECT_EQ(window.received[0].lparam, -4);
  EXPECT_EQ(window.received[1].wparam, 77u);
  EXPECT_EQ(window.received[1].copy_data, report.copy_data);
}

TEST_F(LocalBusTest, MessagesKeepTheirOrderWhetherPostedOrSent) {
  BusTestWindow& window = AddWindow("Ordered", {ping});
  PumpWhile([&] {
    for (std::uintptr_t i = 0; i < 20; ++i) {
      if (i % 7 == 3) bus.SendTo("Ordered", WindowMessage(ping, i), kPatience);
      else EXPECT_TRUE(bus.PostTo("Ordered", WindowMessage(ping, i)));
    }
  });
  ASSERT_TRUE(PumpUntil([&] { return window.received.size() == 20; }));
  for (std::uintptr_t i = 0; i < 20; ++i) EXPECT_EQ(window.received[i].wparam, i);
}

// A window that answers one message by posting to another window of the same
// program, as the main window answers the test tool.
TEST_F(LocalBusTest, TwoWindowsOfOneProgramTalkOverTheBus) {
  BusTestWindow& first = AddWindow("First", {ping});
  BusTestWindow& second = AddWindow("Second", {echo});
  first.answer = [&](const WindowMessage& m) {
    EXPECT_TRUE(bus.PostTo("Second", WindowMessage(echo, m.wparam + 1, m.lparam)));
    return 0;
  };
  ASSERT_TRUE(bus.PostTo("First", WindowMessage(ping, 41, 7)));
  ASSERT_TRUE(PumpUntil([&] { return second.received.size() == 1; }));
  EXPECT_EQ(second.received[0].id, echo);
  EXPECT_EQ(second.received[0].wparam, 42u);
  EXPECT_EQ(first.received.size(), 1u);
}

TEST_F(LocalBusTest, BroadcastReachesEveryWindowButTheCallersOwn) {
  std::vector<BusTestWindow*> windows;
  for (const char* name : {"Brontal Driver", "RaziZeze", "Recorder", "Settings"})
    windows.push_back(&AddWindow(name, {echo}));
  CloseEndpoint("Settings");  // a window that left: not reached, not counted
  ::close(ListenAt(*bus.SocketPath("Ended")).release());  // a program that died: its socket file stays
  int reached = 0;
  PumpWhile([&] { reached = bus.Broadcast(WindowMessage(echo, 1, 1), "Brontal Driver"); });
  EXPECT_EQ(reached, 2);
  ASSERT_TRUE(PumpUntil([&] { return windows[1]->received.size() == 1 && windows[2]->received.size() == 1; }));
  EXPECT_TRUE(windows[0]->received.empty());
  EXPECT_TRUE(windows[3]->received.empty());
  EXPECT_EQ(bus.WindowNames(), (std::vector<std::string>{"Brontal Driver", "Ended", "RaziZeze", "Recorder"}));
}

TEST_F(LocalBusTest, TheWindowsFilterRefusesWhatItDoesNotAllow) {
  BusTestWindow& window = AddWindow("Filtered", {ping});
  window.answer = PingAnswer;
  std::optional<LRESULT> refused, allowed;
  bool posted = false;
  PumpWhile([&] {
    refused = bus.SendTo("Filtered", WindowMessage(echo, 1), kPatience);
    posted = bus.PostTo("Filtered", WindowMessage(kWmClose));
    allowed = bus.SendTo("Filtered", WindowMessage(ping, 1), kPatience);
  });
  EXPECT_EQ(refused, std::nullopt);
  EXPECT_TRUE(posted);  // on its way; the window drops it
  EXPECT_EQ(allowed, 100);
  ASSERT_EQ(window.received.size(), 1u);
  EXPECT_EQ(window.received[0].id, ping);
  EXPECT_TRUE(window.IsWindow());
  EXPECT_TRUE(TraceHas("does not take message " + std::to_string(echo)));
  EXPECT_TRUE(TraceHas("does not take message " + std::to_string(kWmClose)));
}

TEST_F(LocalBusTest, GarbageAndOversizedFramesAreDroppedAndServingGoesOn) {
  BusTestWindow& window = AddWindow("Sturdy", {ping, kWmCopyData});
  window.answer = PingAnswer;
  std::vector<std::uint8_t> valid;
  std::string error;
  ASSERT_TRUE(EncodeBusRequest({BusDelivery::kSend, WindowMessage(ping, 1)}, valid, error));
  std::vector<std::uint8_t> oversized(kMaxBusFrame + 1, 0);
  std::copy(valid.begin(), valid.begin() + 4, oversized.begin());
  const struct {
    const char* what;
    std::vector<std::uint8_t> frame;
    const char* trace;
  } cases[] = {
      {"text", {'h', 'e', 'l', 'l', 'o'}, "dropped a frame: no bus magic"},
      {"cut header", std::vector<std::uint8_t>(valid.begin(), valid.begin() + kBusRequestHeaderSize - 1),
       "dropped a frame: short header"},
      {"oversized", oversized, "dropped a frame over"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const UniqueFd raw = ConnectTo(*bus.SocketPath("Sturdy"));
    ASSERT_TRUE(raw.valid());
    ASSERT_EQ(SendPacket(raw.get(), c.frame, BusClock::now() + kPatience), PacketResult::kDone);
    std::vector<std::uint8_t> reply;
    // The endpoint closes the connection without an answer.
    EXPECT_EQ(ReceivePacket(raw.get(), reply, kBusReplySize, BusClock::now() + kPatience), PacketResult::kClosed);
    EXPECT_TRUE(TraceHas(c.trace));
    std::optional<LRESULT> after;
    PumpWhile([&] { after = bus.SendTo("Sturdy", WindowMessage(ping, 2), kPatience); });
    EXPECT_EQ(after, 200);
  }
  EXPECT_EQ(window.received.size(), std::size(cases));
}

TEST_F(LocalBusTest, AClientThatSendsNothingHoldsTheEndpointOnlyBriefly) {
  BusTestWindow& window = AddWindow("Patient", {ping});
  window.answer = PingAnswer;
  const UniqueFd silent = ConnectTo(*bus.SocketPath("Patient"));
  ASSERT_TRUE(silent.valid());
  std::optional<LRESULT> result;
  PumpWhile([&] { result = bus.SendTo("Patient", WindowMessage(ping, 3), BusEndpoint::kFrameWait * 3); });
  EXPECT_EQ(result, 300);
  EXPECT_TRUE(TraceHas("dropped a connection that sent no frame"));
}

TEST_F(LocalBusTest, AnUnansweredSendEndsAtItsTimeLimit) {
  AddWindow("Busy", {ping});
  // The loop is not pumped: the UI thread is busy.
  const auto start = BusClock::now();
  EXPECT_EQ(bus.SendTo("Busy", WindowMessage(ping), 50ms), std::nullopt);
  EXPECT_LT(BusClock::now() - start, 2s);
  EXPECT_TRUE(TraceHas("did not answer message"));
}

TEST_F(LocalBusTest, ClosingWhileAMessageWaitsForTheWindowReleasesTheSender) {
  BusTestWindow& window = AddWindow("Leaving", {ping});
  std::optional<LRESULT> result = 1;
  std::jthread sender([&] { result = bus.SendTo("Leaving", WindowMessage(ping), kPatience); });
  CloseEndpoint("Leaving");
  sender.join();
  EXPECT_EQ(result, std::nullopt);
  loop.RunUntilIdle();
  EXPECT_TRUE(window.received.empty());
}

TEST_F(LocalBusTest, WindowsThatAreNotOnTheBusAreNotReached) {
  AddWindow("Present", {ping});
  EXPECT_FALSE(bus.PostTo("Absent", WindowMessage(ping)));
  EXPECT_EQ(bus.SendTo("Absent", WindowMessage(ping), kPatience), std::nullopt);
  EXPECT_EQ(LocalBus(root.path() / "missing").Broadcast(WindowMessage(ping)), 0);
}

TEST_F(LocalBusTest, ALiveNameIsKeptAndAStaleSocketReplaced) {
  BusTestWindow& live = AddWindow("Brontal Driver", {ping});
  std::string error;
  EXPECT_EQ(BusEndpoint::Open(bus, "Brontal Driver", live, error), nullptr);
  EXPECT_NE(error.find("on the bus already"), std::string::npos) << error;

  const auto stale = *bus.SocketPath("RaziZeze");
  ::close(ListenAt(stale).release());
  ASSERT_TRUE(std::filesystem::is_socket(stale));
  BusTestWindow& replacement = AddWindow("RaziZeze", {ping});
  replacement.answer = PingAnswer;
  std::optional<LRESULT> result;
  PumpWhile([&] { result = bus.SendTo("RaziZeze", WindowMessage(ping, 5), kPatience); });
  EXPECT_EQ(result, 500);
}

TEST_F(LocalBusTest, LeavingRemovesOnlyTheEndpointsOwnSocketFile) {
  AddWindow("Mine", {ping});
  const auto path = *bus.SocketPath("Mine");
  CloseEndpoint("Mine");
  EXPECT_FALSE(std::filesystem::exists(path));

  AddWindow("Shared", {ping});
  const auto shared = *bus.SocketPath("Shared");
  std::filesystem::remove(shared);
  const UniqueFd newcomer = ListenAt(shared);  // another program took the name meanwhile
  CloseEndpoint("Shared");
  EXPECT_TRUE(std::filesystem::is_socket(shared));
}

TEST_F(LocalBusTest, ABusFolderOthersMayEnterIsNotUsed) {
  AddWindow("Exposed", {ping});
  ASSERT_EQ(::chmod(bus.Folder().c_str(), 0755), 0);
  EXPECT_FALSE(bus.PostTo("Exposed", WindowMessage(ping)));
  EXPECT_TRUE(TraceHas("open to other users"));
  BusTestWindow other(toolkit);
  std::string error;
  EXPECT_EQ(BusEndpoint::Open(bus, "Other", other, error), nullptr);
  EXPECT_NE(error.find("open to other users"), std::string::npos) << error;
}

TEST_F(LocalBusTest, WindowNamesThatCannotBeSocketFilesAreRefused) {
  EXPECT_EQ(bus.SocketPath("Brontal Driver"), bus.Folder() / "Brontal Driver.sock");
  for (const std::string& name : {std::string(), std::string(".hidden"), std::string(".."), std::string("a/b"),
                                  std::string("nul\0inside", 10), std::string(120, 'x')}) {
    EXPECT_EQ(bus.SocketPath(name), std::nullopt) << name;
    EXPECT_FALSE(bus.PostTo(name, WindowMessage(kMsgOpenSettings))) << name;
  }
}

}  // namespace
}  // namespace brontal::testing
