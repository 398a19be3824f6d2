#include "input_capture/evdev_input_capture.h"

#include <fcntl.h>
#include <linux/input.h>
#include <poll.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

#include "input_capture/evdev_translation.h"
#include "support/unique_fd.h"

namespace brontal {
namespace {

// Keys and buttons only: movement then never wakes the thread, however fast
// the mouse reports (kernels from 4.4 on; elsewhere, and on files, movement is
// read and dropped). Failing is harmless.
void MaskAllButKeys(int fd) {
  for (const std::uint32_t type : {EV_REL, EV_ABS, EV_MSC}) {
    const input_mask none{.type = type, .codes_size = 0, .codes_ptr = 0};
    ::ioctl(fd, EVIOCSMASK, &none);
  }
}

struct Node {
  UniqueFd fd;
  EvdevTranslator translator;
};

// Reads what the node has ready; false when it is gone (unplugged, or a file
// at its end or holding a piece of an event).
bool ReadReady(Node& node, const CaptureDelivery& delivery) {
  std::array<input_event, 64> events;
  for (;;) {
    const ssize_t size = ::read(node.fd.get(), events.data(), sizeof events);
    if (size < 0) return errno == EAGAIN || errno == EINTR;
    if (size == 0 || size % sizeof(input_event) != 0) return false;
    const CaptureClock::time_point now = CaptureClock::now();
    for (std::size_t i = 0; i < static_cast<std::size_t>(size) / sizeof(input_event); ++i)
      if (std::optional<CapturedEvent> event = node.translator.Translate(events[i]))
        delivery.Post({.event = std::move(*event), .time = now});
    if (static_cast<std::size_t>(size) < sizeof events) return true;
  }
}

// Reads at most once per interval: where movement cannot be masked, a mouse
// reports up to 8000 times a second, and each wake costs more than reading a
// few dozen reports at once. A press waits no longer than this to be read.
constexpr int kReadIntervalMs = 2;

void ReadNodes(std::vector<Node> nodes, const StopSignal& stop, const CaptureDelivery& delivery) {
  std::vector<pollfd> waits;
  for (const Node& node : nodes) waits.push_back({node.fd.get(), POLLIN, 0});
  waits.push_back({stop.fd(), POLLIN, 0});
  for (;;) {
    if (::poll(waits.data(), waits.size(), -1) < 0 && errno != EINTR) return;
    if (waits.back().revents != 0) return;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      if (waits[i].revents == 0) continue;
      if (!ReadReady(nodes[i], delivery)) {
        waits[i].fd = -1;  // poll passes over it from now on
        nodes[i].fd.Reset();
      }
    }
    pollfd stop_only{stop.fd(), POLLIN, 0};
    if (::poll(&stop_only, 1, kReadIntervalMs) > 0) return;
  }
}

}  // namespace

EvdevInputCapture::EvdevInputCapture(MessageLoop& loop, NodeList nodes) : loop_(loop), nodes_(std::move(nodes)) {}

EvdevInputCapture::~EvdevInputCapture() { Stop(); }

bool EvdevInputCapture::Start(CaptureSink sink, std::string& reason) {
  Stop();
  std::vector<Node> nodes;
  std::string refused;
  for (const std::filesystem::path& path : nodes_()) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd) {
      // Unplugged since it was listed, or not ours to read: the others still are.
      refused = "cannot read " + path.string() + ": " + std::strerror(errno);
      continue;
    }
    MaskAllButKeys(fd.get());
    nodes.push_back({std::move(fd), {}});
  }
  if (nodes.empty()) {
    reason = refused.empty() ? "no keyboard or mouse event node to read" : refused;
    return false;
  }
  // Shared, since the thread's body must be copyable and the open nodes are not.
  auto opened = std::make_shared<std::vector<Node>>(std::move(nodes));
  return thread_.Start(
      loop_, std::move(sink), "brontal-evdev",
      [opened](const StopSignal& stop, const CaptureDelivery& delivery) {
        ReadNodes(std::move(*opened), stop, delivery);
      },
      reason);
}

void EvdevInputCapture::Stop() { thread_.Stop(); }

}  // namespace brontal
