#include "app/bus/local_bus.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "app/bus/bus_frame.h"
#include "app/bus/bus_socket.h"
#include "support/private_folder.h"
#include "support/debug_log.h"
#include "support/user_folders.h"

namespace brontal {
namespace {

// A posting program waits for the socket's buffer no longer than this.
constexpr std::chrono::milliseconds kPostLimit{1000};

std::string Quoted(std::string_view name) { return "\"" + std::string(name) + "\""; }

// Connects to the window and hands it the frame; the connection stays open for
// the reply. Invalid when the window is not reachable.
UniqueFd Hand(const LocalBus& bus, std::string_view window_name, const BusRequest& request,
              BusClock::time_point deadline) {
  std::string error;
  const auto path = bus.SocketPath(window_name);
  std::vector<std::uint8_t> frame;
  if (!path) error = "no window can be named " + Quoted(window_name);
  else if (!EncodeBusRequest(request, frame, error)) error = "cannot send to " + Quoted(window_name) + ": " + error;
  if (!error.empty() || !IsPrivateFolder(bus.Folder(), error)) {
    Trace("bus: " + error);
    return UniqueFd();
  }
  UniqueFd socket = ConnectTo(*path);
  if (!socket) {
    // No socket, or one its program left behind: not on the bus, as a window may well be.
    if (errno != ENOENT && errno != ECONNREFUSED)
      Trace("bus: cannot reach " + Quoted(window_name) + ": " + std::strerror(errno));
    return socket;
  }
  if (!PeerIsThisUser(socket.get())) {
    Trace("bus: " + Quoted(window_name) + " runs as another user");
    return UniqueFd();
  }
  if (SendPacket(socket.get(), frame, deadline) != PacketResult::kDone) {
    Trace("bus: " + Quoted(window_name) + " did not take message " + std::to_string(request.message.id));
    return UniqueFd();
  }
  return socket;
}

}  // namespace

LocalBus::LocalBus() : folder_(UserRuntimeFolder()) {}

std::optional<std::filesystem::path> LocalBus::SocketPath(std::string_view window_name) const {
  constexpr std::string_view kForbidden("/\0", 2);
  if (window_name.empty() || window_name.front() == '.' ||
      window_name.find_first_of(kForbidden) != std::string_view::npos)
    return std::nullopt;
  std::filesystem::path path = folder_ / (std::string(window_name) + std::string(kBusSocketSuffix));
  if (!FitsSocketAddress(path)) return std::nullopt;
  return path;
}

std::optional<LRESULT> LocalBus::SendTo(std::string_view window_name, const WindowMessage& message,
                                        std::chrono::milliseconds limit) const {
  const auto deadline = BusClock::now() + limit;
  const UniqueFd socket = Hand(*this, window_name, BusRequest{BusDelivery::kSend, message}, deadline);
  if (!socket) return std::nullopt;
  std::vector<std::uint8_t> reply;
  switch (ReceivePacket(socket.get(), reply, kBusReplySize, deadline)) {
    case PacketResult::kDone:
      if (const auto result = DecodeBusReply(reply)) return result;
      Trace("bus: " + Quoted(window_name) + " answered with a malformed reply");
      return std::nullopt;
    case PacketResult::kTimedOut:
      Trace("bus: " + Quoted(window_name) + " did not answer message " + std::to_string(message.id) + " within " +
            std::to_string(limit.count()) + " ms");
      return std::nullopt;
    default:
      return std::nullopt;  // refused: the window's filter or its end
  }
}

bool LocalBus::PostTo(std::string_view window_name, const WindowMessage& message) const {
  return Hand(*this, window_name, BusRequest{BusDelivery::kPost, message}, BusClock::now() + kPostLimit).valid();
}

int LocalBus::Broadcast(const WindowMessage& message, std::string_view except) const {
  int reached = 0;
  for (const std::string& name : WindowNames()) {
    if (name != except && PostTo(name, message)) ++reached;
  }
  return reached;
}

std::vector<std::string> LocalBus::WindowNames() const {
  std::vector<std::string> names;
  std::string error;
  if (!IsPrivateFolder(folder_, error)) return names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder_, ec)) {
    const std::string file = entry.path().filename().string();
    if (entry.is_socket(ec) && file.ends_with(kBusSocketSuffix)) {
      std::string name = file.substr(0, file.size() - kBusSocketSuffix.size());
      if (SocketPath(name)) names.push_back(std::move(name));
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace brontal
