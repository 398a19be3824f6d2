#include "daemon/sim_daemon.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <ostream>
#include <vector>

#include "daemon/control_commands.h"
#include "daemon/socket_dir_host.h"
#include "transport/simulator.h"
#include "transport/uhid_host.h"

namespace brontal::sim {
namespace {

// One datagram on the control socket; a longer reply (a full journal runs to
// about a megabyte) goes as several, ended by the daemon hanging up.
constexpr std::size_t kMaxMessage = 64 * 1024;
constexpr std::size_t kMaxReply = 16 * 1024 * 1024;
constexpr int kReplyTimeoutMs = 5000;

bool Address(const std::filesystem::path& path, sockaddr_un& address) {
  address = {};
  address.sun_family = AF_UNIX;
  const std::string text = path.string();
  if (text.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
  return true;
}

UniqueFd Connect(const std::filesystem::path& path) {
  sockaddr_un address;
  if (!Address(path, address)) return UniqueFd();
  UniqueFd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
  if (fd && ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) fd.Reset();
  return fd;
}

void Answer(int connection, Simulator& simulator) {
  std::vector<char> buffer(kMaxMessage);
  const ssize_t n = ::recv(connection, buffer.data(), buffer.size(), MSG_DONTWAIT);
  if (n <= 0) return;
  const ControlReply reply = RunControlCommand(simulator, std::string_view(buffer.data(), static_cast<std::size_t>(n)));
  const std::string message = (reply.ok ? "ok\n" : "error\n") + reply.text;
  // The bus stands still while it answers: a client that stops reading must not hold it.
  const timeval timeout{.tv_sec = kReplyTimeoutMs / 1000, .tv_usec = 0};
  ::setsockopt(connection, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
  for (std::size_t sent = 0; sent < message.size();) {
    const std::size_t piece = std::min(kMaxMessage, message.size() - sent);
    if (::send(connection, message.data() + sent, piece, MSG_NOSIGNAL) != static_cast<ssize_t>(piece)) return;
    sent += piece;
  }
}

}  // namespace

int ServeSimulatedBus(const std::filesystem::path& folder, int stop_fd, std::ostream& log, BusTransport transport) {
  if (transport == BusTransport::kUhid && !OpenUhidDevice()) {
    log << "brontal-sim: " << kUhidDevicePath << ": " << std::strerror(errno)
        << " (the uhid module, and root or a rule for " << kUhidDevicePath << ", are needed)\n";
    return 1;
  }
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  ::chmod(folder.c_str(), 0700);  // only this user may plug, unplug or reach the devices
  const std::filesystem::path control_path = folder / kControlSocketName;
  if (Connect(control_path)) {
    log << "brontal-sim: a simulated bus already runs in " << folder.string() << '\n';
    return 1;
  }
  sockaddr_un address;
  UniqueFd control(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  ::unlink(control_path.c_str());
  if (!Address(control_path, address) || !control ||
      ::bind(control.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(control.get(), 8) != 0) {
    log << "brontal-sim: cannot listen on " << control_path.string() << ": " << std::strerror(errno) << '\n';
    return 1;
  }

  std::unique_ptr<SocketDirNodeHost> folder_host;
  std::unique_ptr<UhidNodeHost> uhid_host;
  NodeHost* host;
  if (transport == BusTransport::kUhid) {
    host = (uhid_host = std::make_unique<UhidNodeHost>(OpenUhidDevice, &log)).get();
    log << "brontal-sim: simulated products as uhid devices, controlled from " << folder.string();
  } else {
    host = (folder_host = std::make_unique<SocketDirNodeHost>(folder)).get();
    log << "brontal-sim: simulated bus in " << folder.string();
  }
  Simulator simulator(*host);
  log << "; stop with Ctrl+C\n" << std::flush;
  for (;;) {
    std::vector<pollfd> fds = {{stop_fd, POLLIN, 0}, {control.get(), POLLIN, 0}};
    if (folder_host)
      for (int listener : folder_host->ListeningSockets()) fds.push_back({listener, POLLIN, 0});
    if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) break;
    if (fds[0].revents & POLLIN) break;
    if (fds[1].revents & POLLIN) {
      UniqueFd connection(::accept4(control.get(), nullptr, nullptr, SOCK_CLOEXEC));
      pollfd wait{connection.get(), POLLIN, 0};
      if (connection && ::poll(&wait, 1, kReplyTimeoutMs) == 1) Answer(connection.get(), simulator);
    }
    for (std::size_t i = 2; i < fds.size(); ++i)
      if (fds[i].revents & POLLIN) folder_host->Accept(fds[i].fd);
  }
  ::unlink(control_path.c_str());
  log << "brontal-sim: stopped\n";
  return 0;
}

bool SendControlCommand(const std::filesystem::path& folder, std::string_view command, bool& ok, std::string& reply) {
  ok = false;
  UniqueFd fd = Connect(folder / kControlSocketName);
  if (!fd) {
    reply = "no simulated bus runs in " + folder.string() + " (start one with: brontal-sim serve " + folder.string() + ")";
    return false;
  }
  if (::send(fd.get(), command.data(), command.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(command.size())) {
    reply = "cannot send to the simulated bus";
    return false;
  }
  pollfd wait{fd.get(), POLLIN, 0};
  std::vector<char> buffer(kMaxMessage);
  std::string text;
  for (;;) {
    const ssize_t n = ::poll(&wait, 1, kReplyTimeoutMs) == 1 ? ::recv(fd.get(), buffer.data(), buffer.size(), 0) : -1;
    if (n == 0) break;
    if (n < 0 || text.size() + static_cast<std::size_t>(n) > kMaxReply) {
      text.clear();
      break;
    }
    text.append(buffer.data(), static_cast<std::size_t>(n));
  }
  if (text.empty()) {
    reply = "the simulated bus did not answer";
    return false;
  }
  const std::size_t newline = text.find('\n');
  ok = text.substr(0, newline) == "ok";
  reply = newline == std::string::npos ? std::string() : text.substr(newline + 1);
  return true;
}

}  // namespace brontal::sim
