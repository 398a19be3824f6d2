#include "transport/uhid_host.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <ostream>
#include <thread>

#include "transport/uhid_events.h"

namespace brontal::sim {
namespace {

// The kernel takes and gives one whole record per write and read.
bool WriteEvent(int uhid, const uhid_event& event) {
  for (;;) {
    // A stand-in kernel on a socket that hangs up must not raise SIGPIPE.
    ssize_t n = ::send(uhid, &event, sizeof event, MSG_NOSIGNAL);
    if (n < 0 && errno == ENOTSOCK) n = ::write(uhid, &event, sizeof event);
    if (n < 0 && errno == EINTR) continue;
    return n == static_cast<ssize_t>(sizeof event);
  }
}

}  // namespace

UniqueFd OpenUhidDevice() { return UniqueFd(::open(kUhidDevicePath, O_RDWR | O_NONBLOCK | O_CLOEXEC)); }

class UhidNodeHost::Bridge {
 public:
  Bridge(UniqueFd uhid, UniqueFd host_end)
      : uhid_(std::move(uhid)),
        host_end_(std::move(host_end)),
        wake_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
        thread_([this](std::stop_token stop) { Run(stop); }) {}

  ~Bridge() {
    thread_.request_stop();
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wake_.get(), &one, sizeof one);
    thread_.join();
    // Closing would destroy the device too; saying so keeps a stand-in kernel honest.
    WriteEvent(uhid_.get(), UhidDestroyEvent());
  }

 private:
  void Run(std::stop_token stop);
  bool FromKernel();
  bool FromServer();

  UniqueFd uhid_;
  UniqueFd host_end_;  // the node server holds the other end
  UniqueFd wake_;
  std::jthread thread_;  // last: starts after everything above exists
};

// False once the kernel end is gone.
bool UhidNodeHost::Bridge::FromKernel() {
  std::array<std::uint8_t, sizeof(uhid_event)> record;
  const ssize_t n = ::read(uhid_.get(), record.data(), record.size());
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return true;
  if (n <= 0) return false;
  const UhidKernelEvent event = ReadUhidEvent(std::span(record.data(), static_cast<std::size_t>(n)));
  switch (event.kind) {
    case UhidKernelEvent::Kind::kOutputReport:
      // A server that does not keep up loses reports, as a busy device's endpoint would.
      ::send(host_end_.get(), event.report.data(), event.report.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
      break;
    case UhidKernelEvent::Kind::kGetReport: WriteEvent(uhid_.get(), UhidGetReportRefusal(event.request_id)); break;
    case UhidKernelEvent::Kind::kSetOutputReport:
      ::send(host_end_.get(), event.report.data(), event.report.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
      WriteEvent(uhid_.get(), UhidSetReportAccepted(event.request_id));
      break;
    case UhidKernelEvent::Kind::kSetReport: WriteEvent(uhid_.get(), UhidSetReportRefusal(event.request_id)); break;
    case UhidKernelEvent::Kind::kIgnored:
    case UhidKernelEvent::Kind::kMalformed: break;
  }
  return true;
}

// False once the node server has closed its end.
bool UhidNodeHost::Bridge::FromServer() {
  std::array<std::uint8_t, UHID_DATA_MAX + 1> report;  // one more, to tell an oversized report
  for (;;) {
    const ssize_t n = ::recv(host_end_.get(), report.data(), report.size(), MSG_DONTWAIT);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) return true;
    if (n <= 0) return false;
    if (const auto event = UhidInputEvent(std::span(report.data(), static_cast<std::size_t>(n))))
      WriteEvent(uhid_.get(), *event);
  }
}

void UhidNodeHost::Bridge::Run(std::stop_token stop) {
  std::array<pollfd, 3> fds = {pollfd{wake_.get(), POLLIN, 0}, pollfd{uhid_.get(), POLLIN, 0},
                               pollfd{host_end_.get(), POLLIN, 0}};
  while (!stop.stop_requested()) {
    if (::poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[1].revents & POLLIN) {
      if (!FromKernel()) break;
    } else if (fds[1].revents & (POLLERR | POLLHUP | POLLNVAL)) {
      break;  // nothing left to bridge to; wait for the unplug in the join
    }
    if (fds[2].revents & (POLLIN | POLLHUP | POLLERR))
      if (!FromServer()) fds[2].fd = -1;
  }
}

UhidNodeHost::UhidNodeHost(UhidOpener open, std::ostream* log) : open_(std::move(open)), log_(log) {}

UhidNodeHost::~UhidNodeHost() {
  std::map<std::string, std::unique_ptr<Bridge>> nodes;
  {
    std::scoped_lock lock(mutex_);
    nodes.swap(nodes_);
  }
}

std::string UhidNodeHost::PlugNode(const ProductSpec& product, std::function<void(UniqueFd)> on_connect) {
  const unsigned port = UhidPortOf(product);
  const std::string name = UhidPhys(port, product.interface_number);
  UnplugNode(name);  // a node the host lost by a fault still holds its phys
  const auto fail = [&](const char* what) {
    if (log_) *log_ << "brontal-sim: " << what << ": " << std::strerror(errno) << '\n' << std::flush;
    return std::string();
  };
  UniqueFd uhid = open_();
  if (!uhid) return fail(kUhidDevicePath);
  if (!WriteEvent(uhid.get(), UhidCreateEvent(product, port))) return fail("cannot create a uhid device");
  int pair[2];
  if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair) != 0)
    return fail("cannot connect a uhid device");
  UniqueFd host_end(pair[0]);
  UniqueFd device_end(pair[1]);
  {
    std::scoped_lock lock(mutex_);
    nodes_.insert_or_assign(name, std::make_unique<Bridge>(std::move(uhid), std::move(host_end)));
  }
  if (on_connect) on_connect(std::move(device_end));
  return name;
}

void UhidNodeHost::UnplugNode(const std::string& node) {
  std::unique_ptr<Bridge> bridge;
  {
    std::scoped_lock lock(mutex_);
    const auto it = nodes_.find(node);
    if (it == nodes_.end()) return;
    bridge = std::move(it->second);
    nodes_.erase(it);
  }
  // Joined outside the lock: the node server's thread may unplug while another plugs.
}

}  // namespace brontal::sim
