#include "device_access/report_writer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <thread>

namespace brontal {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::int64_t MsFromNow(std::chrono::milliseconds span) {
  return std::chrono::duration_cast<std::chrono::milliseconds>((Clock::now() + span).time_since_epoch()).count();
}

// A blocking packet socket whose peer never reads: like a hidraw node, poll()
// calls it writable while write() blocks once the peer's queue is full.
class StuckNode : public ::testing::Test {
 protected:
  StuckNode() {
    int fds[2];
    EXPECT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds), 0);
    node_.Reset(fds[0]);
    peer_.Reset(fds[1]);
    // Fill the peer's queue without blocking, then make the node block.
    ::fcntl(node_.get(), F_SETFL, O_NONBLOCK);
    while (::write(node_.get(), report_.data(), report_.size()) > 0) {
    }
    ::fcntl(node_.get(), F_SETFL, 0);
  }
  ReportWriter::Job Write() {
    return [this]() -> std::optional<std::size_t> {
      const ssize_t n = ::write(node_.get(), report_.data(), report_.size());
      if (n < 0) return std::nullopt;
      return static_cast<std::size_t>(n);
    };
  }
  void Unstick() {
    std::array<std::uint8_t, 64> drained;
    while (::recv(peer_.get(), drained.data(), drained.size(), MSG_DONTWAIT) > 0) {
    }
  }

  std::array<std::uint8_t, 64> report_{0x04};
  UniqueFd node_, peer_;
  UniqueFd stop_{::eventfd(0, EFD_CLOEXEC)};
  ReportWriter writer_;
};

TEST_F(StuckNode, AWriteThatBlocksInTheKernelEndsAtItsTimeLimit) {
  const auto start = Clock::now();
  EXPECT_EQ(writer_.Write(Write(), MsFromNow(50ms), stop_.get(), nullptr), ReportWriter::Outcome::kTimedOut);
  EXPECT_LT(Clock::now() - start, 1s);
  // The next write waits for the stuck one within its own limit, then goes through.
  std::thread later([this] {
    std::this_thread::sleep_for(50ms);
    Unstick();
  });
  std::size_t written = 0;
  EXPECT_EQ(writer_.Write(Write(), MsFromNow(2000ms), stop_.get(), &written), ReportWriter::Outcome::kWritten);
  EXPECT_EQ(written, 64u);
  later.join();
}

TEST_F(StuckNode, TheStopEventEndsAWaitWithoutALimit) {
  std::thread stopper([this] {
    std::this_thread::sleep_for(50ms);
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(stop_.get(), &one, sizeof one);
  });
  EXPECT_EQ(writer_.Write(Write(), ReportWriter::kNoDeadline, stop_.get(), nullptr), ReportWriter::Outcome::kStopped);
  stopper.join();
  Unstick();  // the writer's thread ends with the test
}

}  // namespace
}  // namespace brontal
