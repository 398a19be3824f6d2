#include "daemon/sim_daemon.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <optional>
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
// Control clients that have not sent their command yet; more drop the oldest.
constexpr std::size_t kMaxWaitingClients = 32;

bool Address(const std::filesystem::path& path, sockaddr_un& address) {
  address = {};
  address.sun_family = AF_UNIX;
  const std::string text = path.string();
  if (text.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
  return true;
}

// Empty with errno set on failure.
UniqueFd Connect(const std::filesystem::path& path) {
  sockaddr_un address;
  if (!Address(path, address)) {
    errno = ENAMETOOLONG;
    return UniqueFd();
  }
  UniqueFd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
  if (fd && ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    const int error = errno;
    fd.Reset();
    errno = error;
  }
  return fd;
}

bool IsPrivateFolderOfMine(const struct stat& s) {
  return S_ISDIR(s.st_mode) && s.st_uid == ::geteuid() && (s.st_mode & 077) == 0;
}

// Whether a node socket in `bus` has a path that fits a socket address; said to `log` if not.
bool SocketsFit(const std::filesystem::path& bus, std::ostream& log) {
  sockaddr_un address;
  if (Address(LongestNodeSocketPath(bus), address)) return true;
  log << "brontal-sim: " << bus.string() << " is too long a path for the bus's sockets (at most "
      << sizeof address.sun_path - 1 - LongestNodeSocketPath("").string().size() << " bytes)\n";
  return false;
}

// The folder to serve the bus of `folder` in, made when missing: `folder` itself
// when the daemon makes it or it already holds a bus, otherwise the private
// subfolder. Never changes the mode of anything that exists.
std::optional<std::filesystem::path> PrepareBusFolder(const std::filesystem::path& folder, std::ostream& log) {
  const std::string name = folder.string();
  struct stat s;
  if (::stat(folder.c_str(), &s) != 0) {
    if (errno != ENOENT) {
      log << "brontal-sim: " << name << ": " << std::strerror(errno) << '\n';
      return std::nullopt;
    }
    if (!SocketsFit(folder, log)) return std::nullopt;
    std::error_code ec;
    if (folder.has_parent_path()) std::filesystem::create_directories(folder.parent_path(), ec);
    if (::mkdir(folder.c_str(), 0700) != 0) {
      log << "brontal-sim: cannot make the folder " << name << ": " << std::strerror(errno) << '\n';
      return std::nullopt;
    }
    return folder;
  }
  if (!S_ISDIR(s.st_mode)) {
    log << "brontal-sim: " << name << " is not a folder\n";
    return std::nullopt;
  }
  const std::filesystem::path inner = folder / kBusSubfolderName;
  struct stat control;
  if (::lstat(inner.c_str(), &s) != 0 && errno == ENOENT &&
      ::lstat((folder / kControlSocketName).c_str(), &control) == 0 && S_ISSOCK(control.st_mode))
    return SocketsFit(folder, log) ? std::optional(folder) : std::nullopt;
  if (!SocketsFit(inner, log)) return std::nullopt;
  if (::mkdir(inner.c_str(), 0700) != 0 && errno != EEXIST) {
    log << "brontal-sim: cannot make the folder " << inner.string() << ": " << std::strerror(errno) << '\n';
    return std::nullopt;
  }
  // Someone else's folder under that name in a shared DIR must not carry our bus.
  if (::lstat(inner.c_str(), &s) != 0 || !IsPrivateFolderOfMine(s)) {
    log << "brontal-sim: " << inner.string()
        << " is not a private folder of this user; remove it or choose another DIR\n";
    return std::nullopt;
  }
  return inner;
}

// The subfolder the daemon made goes with its bus when empty; a folder the user named stays.
struct RemovedWhenEmpty {
  std::filesystem::path path;
  ~RemovedWhenEmpty() {
    if (!path.empty()) ::rmdir(path.c_str());
  }
};

struct WaitingClient {
  UniqueFd connection;
  std::chrono::steady_clock::time_point deadline;
};

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
  const std::optional<std::filesystem::path> bus = PrepareBusFolder(folder, log);
  if (!bus) return 1;
  const RemovedWhenEmpty subfolder{*bus != folder ? *bus : std::filesystem::path()};
  sockaddr_un address;
  const std::filesystem::path control_path = *bus / kControlSocketName;
  if (Connect(control_path)) {
    log << "brontal-sim: a simulated bus already runs in " << folder.string() << '\n';
    return 1;
  }
  if (const int ghosts = RemoveDeadNodes(*bus); ghosts > 0)
    log << "brontal-sim: removed " << ghosts << " node(s) left by a bus that did not stop cleanly\n";
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
    log << "brontal-sim: simulated products as uhid devices, controlled from " << bus->string();
  } else {
    host = (folder_host = std::make_unique<SocketDirNodeHost>(*bus, &log)).get();
    log << "brontal-sim: simulated bus in " << bus->string();
  }
  Simulator simulator(*host);
  log << "; stop with Ctrl+C\n" << std::flush;
  // Clients are answered in the order their commands arrive: one that connects
  // and says nothing holds nobody up, and goes at its deadline.
  std::vector<WaitingClient> waiting;
  for (;;) {
    std::vector<pollfd> fds = {{stop_fd, POLLIN, 0}, {control.get(), POLLIN, 0}};
    for (const WaitingClient& c : waiting) fds.push_back({c.connection.get(), POLLIN, 0});
    const std::size_t first_listener = fds.size();
    if (folder_host)
      for (int listener : folder_host->ListeningSockets()) fds.push_back({listener, POLLIN, 0});
    int timeout_ms = -1;
    const auto now = std::chrono::steady_clock::now();
    for (const WaitingClient& c : waiting) {
      const auto left = std::max<long long>(0, std::chrono::ceil<std::chrono::milliseconds>(c.deadline - now).count());
      if (timeout_ms < 0 || left < timeout_ms) timeout_ms = static_cast<int>(left);
    }
    if (::poll(fds.data(), fds.size(), timeout_ms) < 0 && errno != EINTR) break;
    if (fds[0].revents & POLLIN) break;
    const auto after = std::chrono::steady_clock::now();
    std::vector<WaitingClient> still;
    for (std::size_t i = 0; i < waiting.size(); ++i) {
      if (fds[2 + i].revents & POLLIN)
        Answer(waiting[i].connection.get(), simulator);
      else if (!(fds[2 + i].revents & (POLLHUP | POLLERR | POLLNVAL)) && waiting[i].deadline > after)
        still.push_back(std::move(waiting[i]));
    }
    waiting = std::move(still);
    if (fds[1].revents & POLLIN) {
      UniqueFd connection(::accept4(control.get(), nullptr, nullptr, SOCK_CLOEXEC));
      if (connection) {
        if (waiting.size() >= kMaxWaitingClients) waiting.erase(waiting.begin());
        waiting.push_back({std::move(connection), after + std::chrono::milliseconds(kReplyTimeoutMs)});
      }
    }
    for (std::size_t i = first_listener; i < fds.size(); ++i)
      if (fds[i].revents & POLLIN) folder_host->Accept(fds[i].fd);
  }
  ::unlink(control_path.c_str());
  log << "brontal-sim: stopped\n";
  return 0;
}

std::filesystem::path BusFolder(const std::filesystem::path& folder) {
  std::error_code ec;
  const std::filesystem::path inner = folder / kBusSubfolderName;
  return std::filesystem::is_directory(std::filesystem::symlink_status(inner, ec)) ? inner : folder;
}

bool SendControlCommand(const std::filesystem::path& folder, std::string_view command, bool& ok, std::string& reply) {
  ok = false;
  const std::filesystem::path bus = BusFolder(folder);
  UniqueFd fd = Connect(bus / kControlSocketName);
  if (!fd) {
    const int error = errno;
    const std::string name = folder.string();
    struct stat s;
    if (::stat(folder.c_str(), &s) != 0)
      reply = name + ": " + std::strerror(errno);
    else if (!S_ISDIR(s.st_mode))
      reply = name + " is not a folder";
    else if (error == ENOENT || error == ECONNREFUSED)
      reply = "no simulated bus runs in " + name + " (start one with: brontal-sim serve " + name + ")";
    else if (error == ENAMETOOLONG)
      reply = name + " is too long a path for a Unix socket";
    else
      reply = (bus / kControlSocketName).string() + ": " + std::strerror(error);
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
