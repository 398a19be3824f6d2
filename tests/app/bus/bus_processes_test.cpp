// The bus between this test and other processes: the peer program, a second
// instance at start-up, and clients of another user.
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <linux/securebits.h>

#include <cstring>
#include <filesystem>

#include "app/bus/bus_frame.h"
#include "app/bus/single_instance_lock.h"
#include "bus_fixture.h"
#include "child_process.h"
#include "ui/toolkit/registered_messages.h"

namespace brontal::testing {
namespace {

class BusProcessesTest : public BusFixture {
 protected:
  // The peer program on the bus as "Peer", ready once it has said so to "Test".
  ChildProcess StartPeer(BusTestWindow& test) {
    ChildProcess peer = ChildProcess::Peer({bus.Folder().string(), "serve", "Peer", "Test"});
    EXPECT_TRUE(PumpUntil([&] { return !test.received.empty(); })) << "the peer did not come up";
    if (!test.received.empty()) {
      EXPECT_EQ(test.received.front().id, ready);
      EXPECT_EQ(test.received.front().wparam, static_cast<std::uintptr_t>(peer.pid()));
      test.received.clear();
    }
    return peer;
  }

  const std::uint32_t ready = RegisterWindowMessage(kReadyMessage);
  const std::uint32_t echo = RegisterWindowMessage(kEchoMessage);
  const std::uint32_t ping = RegisterWindowMessage(kPingMessage);
};

TEST_F(BusProcessesTest, APeerProgramSendsAndReceives) {
  BusTestWindow& test = AddWindow("Test", {ready, echo});
  ChildProcess peer = StartPeer(test);

  EXPECT_EQ(bus.SendTo("Peer", WindowMessage(ping, 6, -7), kPatience), -1);
  WindowMessage report(kWmCopyData);
  report.copy_kind = 5;
  report.copy_data.assign(1024, 1);
  EXPECT_EQ(bus.SendTo("Peer", report, kPatience), 5 + 1024);

  for (std::uintptr_t i = 0; i < 10; ++i) ASSERT_TRUE(bus.PostTo("Peer", WindowMessage(echo, i, -1)));
  ASSERT_TRUE(PumpUntil([&] { return test.received.size() == 10; }));
  for (std::uintptr_t i = 0; i < 10; ++i) {
    EXPECT_EQ(test.received[i].id, echo);
    EXPECT_EQ(test.received[i].wparam, i);
    EXPECT_EQ(test.received[i].lparam, -1);
  }

  ASSERT_TRUE(bus.PostTo("Peer", WindowMessage(kWmClose)));
  EXPECT_EQ(peer.Wait(kPatience), 0);
  EXPECT_FALSE(std::filesystem::exists(*bus.SocketPath("Peer")));
}

TEST_F(BusProcessesTest, ASecondStartAsksTheFirstToShowItselfAndEndsWithZero) {
  SingleInstanceLock lock(bus.Folder());
  ASSERT_EQ(lock.Acquire(), InstanceLock::kAcquired);
  const std::uint32_t application = RegisterWindowMessage("Brontal Driver");
  BusTestWindow& main = AddWindow("Brontal Driver", {application});

  ChildProcess second =
      ChildProcess::Peer({bus.Folder().string(), "second-instance", "Brontal Driver", "Brontal Driver"});
  EXPECT_EQ(second.Wait(kPatience), 0);
  ASSERT_TRUE(PumpUntil([&] { return main.received.size() == 1; }));
  EXPECT_EQ(main.received[0].id, application);
  EXPECT_EQ(main.received[0].wparam, 0u);
  EXPECT_EQ(main.received[0].lparam, 1);
}

TEST_F(BusProcessesTest, ProgramsStartedByTheFirstInstanceDoNotKeepItsLock) {
  BusTestWindow& test = AddWindow("Test", {ready});
  SingleInstanceLock lock(bus.Folder());
  ASSERT_EQ(lock.Acquire(), InstanceLock::kAcquired);
  ChildProcess peer = StartPeer(test);  // runs on after the lock is let go
  lock.Release();
  EXPECT_EQ(SingleInstanceLock(bus.Folder()).Acquire(), InstanceLock::kAcquired);
  bus.PostTo("Peer", WindowMessage(kWmClose));
  EXPECT_EQ(peer.Wait(kPatience), 0);
}

// What a client of another user experienced.
enum ForeignClient : int { kAnswered = 10, kClosedUnanswered, kConnectRefused, kCannotSetUp };

// Runs in the forked child: system calls only. The bus client itself would
// refuse the folder of another user before trying, so the test speaks raw.
int SendAsUser(uid_t user, gid_t group, bool keep_capabilities, const sockaddr_un& address,
               const std::vector<std::uint8_t>& frame) {
  // Kept capabilities pass the folder's permissions: only the peer check is left.
  if (keep_capabilities && ::prctl(PR_SET_SECUREBITS, SECBIT_NO_SETUID_FIXUP) != 0) return kCannotSetUp;
  if (::setgroups(0, nullptr) != 0 || ::setgid(group) != 0 || ::setuid(user) != 0) return kCannotSetUp;
  const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return kConnectRefused;
  if (::send(fd, frame.data(), frame.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(frame.size()))
    return kClosedUnanswered;
  pollfd answer{fd, POLLIN, 0};
  char reply[kBusReplySize];
  return ::poll(&answer, 1, 5000) == 1 && ::recv(fd, reply, sizeof reply, 0) > 0 ? kAnswered : kClosedUnanswered;
}

TEST_F(BusProcessesTest, ClientsOfAnotherUserAreRefused) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  const passwd* nobody = ::getpwnam("nobody");
  if (!nobody) GTEST_SKIP() << "no user nobody";
  BusTestWindow& window = AddWindow("Guarded", {ping});
  window.answer = [](const WindowMessage& m) { return static_cast<LRESULT>(m.wparam); };
  std::vector<std::uint8_t> frame;
  std::string error;
  ASSERT_TRUE(EncodeBusRequest({BusDelivery::kSend, WindowMessage(ping, 1)}, frame, error));
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string path = bus.SocketPath("Guarded")->string();
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);

  const struct {
    const char* what;
    bool keep_capabilities;
    int outcome;
  } cases[] = {
      {"the private folder keeps it out", false, kConnectRefused},
      {"the peer check refuses it", true, kClosedUnanswered},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ChildProcess client = ChildProcess::Fork(
        [&] { return SendAsUser(nobody->pw_uid, nobody->pw_gid, c.keep_capabilities, address, frame); });
    const auto outcome = client.Wait(kPatience);
    if (outcome == kCannotSetUp) GTEST_SKIP() << "cannot act as nobody here";
    EXPECT_EQ(outcome, c.outcome);
  }
  EXPECT_TRUE(TraceHas("refused a connection of user " + std::to_string(nobody->pw_uid)));
  // Anything the refused clients had sent would be ahead of this.
  std::optional<LRESULT> own;
  PumpWhile([&] { own = bus.SendTo("Guarded", WindowMessage(ping, 2), kPatience); });
  EXPECT_EQ(own, 2);
  ASSERT_EQ(window.received.size(), 1u);
  EXPECT_EQ(window.received[0].wparam, 2u);
}

}  // namespace
}  // namespace brontal::testing
