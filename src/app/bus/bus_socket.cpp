#include "app/bus/bus_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

namespace brontal {
namespace {

constexpr int kListenBacklog = 64;

std::optional<sockaddr_un> Address(const std::filesystem::path& path) {
  if (!FitsSocketAddress(path)) {
    errno = ENAMETOOLONG;
    return std::nullopt;
  }
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.native().size() + 1);
  return address;
}

UniqueFd NewSocket() { return UniqueFd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0)); }

const sockaddr* Generic(const sockaddr_un& address) { return reinterpret_cast<const sockaddr*>(&address); }

// Ready, or why not; `stop` (when valid) ends the wait early.
PacketResult WaitFor(int socket, short events, BusClock::time_point deadline, int stop) {
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - BusClock::now());
    if (left.count() < 0) return PacketResult::kTimedOut;
    pollfd fds[2] = {{socket, events, 0}, {stop, POLLIN, 0}};
    const auto slice = std::min<std::chrono::milliseconds::rep>(left.count(), 60'000);  // poll takes an int
    const int ready = ::poll(fds, stop >= 0 ? 2 : 1, static_cast<int>(slice));
    if (ready < 0 && errno != EINTR) return PacketResult::kFailed;
    if (ready <= 0) continue;
    if (fds[1].revents != 0) return PacketResult::kStopped;
    if (fds[0].revents != 0) return PacketResult::kDone;
  }
}

}  // namespace

bool FitsSocketAddress(const std::filesystem::path& path) {
  return path.native().size() < sizeof(sockaddr_un::sun_path);
}

UniqueFd ListenAt(const std::filesystem::path& path) {
  const auto address = Address(path);
  if (!address) return UniqueFd();
  UniqueFd fd = NewSocket();
  if (fd && (::bind(fd.get(), Generic(*address), sizeof *address) != 0 || ::listen(fd.get(), kListenBacklog) != 0))
    fd.Reset();
  return fd;
}

UniqueFd ConnectTo(const std::filesystem::path& path) {
  const auto address = Address(path);
  if (!address) return UniqueFd();
  UniqueFd fd = NewSocket();
  if (fd && ::connect(fd.get(), Generic(*address), sizeof *address) != 0) {
    const int error = errno;
    fd.Reset();
    errno = error;
  }
  return fd;
}

namespace {

bool IsSocketFile(const std::filesystem::path& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0 && S_ISSOCK(status.st_mode);
}

}  // namespace

UniqueFd ListenInPlaceOf(const std::filesystem::path& path, std::string& error) {
  UniqueFd listener = ListenAt(path);
  if (listener) return listener;
  int cause = errno;
  if (cause == EADDRINUSE && IsSocketFile(path)) {
    if (ConnectTo(path)) {
      error = path.string() + ": a live program has this name on the bus already";
      return listener;
    }
    cause = errno;
    if (cause == ECONNREFUSED) {
      if (::unlink(path.c_str()) == 0 && (listener = ListenAt(path))) return listener;
      cause = errno;
    }
  }
  error = path.string() + ": " + std::strerror(cause);
  return listener;
}

UniqueFd AcceptConnection(int listener, int stop) {
  for (;;) {
    pollfd fds[2] = {{listener, POLLIN, 0}, {stop, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0 && errno != EINTR) return UniqueFd();
    if (fds[1].revents != 0) return UniqueFd();
    if (fds[0].revents & (POLLERR | POLLNVAL)) return UniqueFd();
    if (fds[0].revents & POLLIN) {
      UniqueFd connection(::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
      if (connection) return connection;
      if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
        // The connection stays queued; try again shortly rather than spin.
        pollfd wake{stop, POLLIN, 0};
        ::poll(&wake, 1, 100);
      }
    }
  }
}

bool PeerUser(int socket, uid_t& user) {
  ucred credentials{};
  socklen_t size = sizeof credentials;
  if (::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 || size != sizeof credentials)
    return false;
  user = credentials.uid;
  return true;
}

bool PeerIsThisUser(int socket) {
  uid_t user = 0;
  return PeerUser(socket, user) && user == ::geteuid();
}

PacketResult ReceivePacket(int socket, std::vector<std::uint8_t>& packet, std::size_t limit,
                           BusClock::time_point deadline, int stop) {
  packet.resize(limit);
  for (;;) {
    iovec part{packet.data(), packet.size()};
    msghdr header{};
    header.msg_iov = &part;
    header.msg_iovlen = 1;
    const ssize_t size = ::recvmsg(socket, &header, MSG_DONTWAIT);
    if (size >= 0) {
      packet.resize(static_cast<std::size_t>(size));
      if (header.msg_flags & MSG_TRUNC) return PacketResult::kOversized;
      return size == 0 ? PacketResult::kClosed : PacketResult::kDone;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN) return PacketResult::kFailed;
    if (const PacketResult ready = WaitFor(socket, POLLIN, deadline, stop); ready != PacketResult::kDone) return ready;
  }
}

PacketResult SendPacket(int socket, std::span<const std::uint8_t> packet, BusClock::time_point deadline) {
  for (;;) {
    const ssize_t size = ::send(socket, packet.data(), packet.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (size >= 0) return static_cast<std::size_t>(size) == packet.size() ? PacketResult::kDone : PacketResult::kFailed;
    if (errno == EMSGSIZE) return PacketResult::kOversized;
    if (errno == EPIPE || errno == ECONNRESET) return PacketResult::kClosed;
    if (errno == EINTR) continue;
    if (errno != EAGAIN) return PacketResult::kFailed;
    if (const PacketResult ready = WaitFor(socket, POLLOUT, deadline, -1); ready != PacketResult::kDone) return ready;
  }
}

}  // namespace brontal
