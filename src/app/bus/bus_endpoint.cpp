#include "app/bus/bus_endpoint.h"

#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/bus/bus_socket.h"
#include "app/bus/local_bus.h"
#include "support/private_folder.h"
#include "support/debug_log.h"
#include "ui/toolkit/message_loop.h"
#include "ui/toolkit/toolkit.h"
#include "ui/toolkit/window.h"

namespace brontal {

std::unique_ptr<BusEndpoint> BusEndpoint::Open(const LocalBus& bus, std::string window_name, WindowImplBase& window,
                                               std::string& error) {
  const auto path = bus.SocketPath(window_name);
  if (!path) {
    error = "no window can be named \"" + window_name + "\" on the bus";
    return nullptr;
  }
  if (!PreparePrivateFolder(bus.Folder(), error)) return nullptr;
  UniqueFd listener = ListenInPlaceOf(*path, error);
  if (!listener) return nullptr;
  UniqueFd wake(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
  if (!wake) {
    error = std::string("eventfd: ") + std::strerror(errno);
    ::unlink(path->c_str());
    return nullptr;
  }
  return std::unique_ptr<BusEndpoint>(
      new BusEndpoint(std::move(window_name), *path, window, std::move(listener), std::move(wake)));
}

BusEndpoint::BusEndpoint(std::string window_name, std::filesystem::path socket_path, WindowImplBase& window,
                         UniqueFd listener, UniqueFd wake)
    : window_name_(std::move(window_name)),
      socket_path_(std::move(socket_path)),
      window_(window),
      listener_(std::move(listener)),
      wake_(std::move(wake)) {
  struct stat status {};
  if (::lstat(socket_path_.c_str(), &status) == 0) {
    socket_device_ = status.st_dev;
    socket_inode_ = status.st_ino;
  }
  thread_ = std::jthread([this](std::stop_token stop) { Serve(stop); });
}

BusEndpoint::~BusEndpoint() {
  thread_.request_stop();
  const std::uint64_t one = 1;
  if (::write(wake_.get(), &one, sizeof one) != sizeof one)
    Trace("bus: cannot wake the thread of \"" + window_name_ + "\"");
  thread_.join();
  struct stat status {};
  if (::lstat(socket_path_.c_str(), &status) == 0 && status.st_dev == socket_device_ && status.st_ino == socket_inode_)
    ::unlink(socket_path_.c_str());
}

void BusEndpoint::Serve(std::stop_token stop) {
  while (const UniqueFd connection = AcceptConnection(listener_.get(), wake_.get())) Answer(connection.get(), stop);
  if (!stop.stop_requested()) Trace("bus: \"" + window_name_ + "\" stopped listening: " + std::strerror(errno));
}

void BusEndpoint::Answer(int connection, std::stop_token stop) {
  const std::string who = "bus: \"" + window_name_ + "\" ";
  uid_t user = 0;
  if (!PeerUser(connection, user)) {
    Trace(who + "refused a connection it cannot identify");
    return;
  }
  if (user != ::geteuid()) {
    Trace(who + "refused a connection of user " + std::to_string(user));
    return;
  }
  std::vector<std::uint8_t> frame;
  switch (ReceivePacket(connection, frame, kMaxBusFrame, BusClock::now() + kFrameWait, wake_.get())) {
    case PacketResult::kDone:
      break;
    case PacketResult::kOversized:
      Trace(who + "dropped a frame over " + std::to_string(kMaxBusFrame) + " bytes");
      return;
    case PacketResult::kTimedOut:
      Trace(who + "dropped a connection that sent no frame");
      return;
    default:
      return;  // closed unsent (a liveness probe) or leaving the bus
  }
  BusRequest request;
  std::string error;
  if (!DecodeBusRequest(frame, request, error)) {
    Trace(who + "dropped a frame: " + error);
    return;
  }
  const BusDelivery delivery = request.delivery;
  const std::optional<LRESULT> result = Deliver(std::move(request), stop);
  if (result && delivery == BusDelivery::kSend &&
      SendPacket(connection, EncodeBusReply(*result), BusClock::now() + kFrameWait) != PacketResult::kDone)
    Trace(who + "could not answer: the sender has stopped waiting");
}

std::optional<LRESULT> BusEndpoint::Deliver(BusRequest request, std::stop_token stop) {
  const std::uint32_t id = request.message.id;
  std::optional<LRESULT> result;
  bool refused = false;
  // The filter and the window belong to the UI thread; a posted message is
  // queued from there too, so it keeps its place among the sent ones.
  window_.GetToolkit().Loop().Send(
      [&] {
        if (!window_.IsWindow() || !window_.GetPaintManager().IsExternalMessageAllowed(id)) {
          refused = true;
        } else if (request.delivery == BusDelivery::kPost) {
          window_.PostMessage(std::move(request.message));
          result = 0;
        } else {
          result = window_.SendMessage(std::move(request.message));
        }
      },
      stop);
  if (refused)
    Trace("bus: \"" + window_name_ + "\" does not take message " + std::to_string(id) + " from other programs");
  return result;
}

}  // namespace brontal
