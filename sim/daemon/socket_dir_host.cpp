#include "daemon/socket_dir_host.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <set>

#include "device_access/sim_node_file.h"
#include "support/hung_up_sockets.h"

namespace brontal::sim {
namespace {

constexpr const char* kNodeNameFormat = "%04x_%04x";

bool Address(const std::filesystem::path& path, sockaddr_un& address) {
  address = {};
  address.sun_family = AF_UNIX;
  const std::string text = path.string();
  if (text.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
  return true;
}

// Empty with errno set (ENAMETOOLONG for a path no socket address holds).
UniqueFd Listen(const std::filesystem::path& path) {
  sockaddr_un address;
  if (!Address(path, address)) {
    errno = ENAMETOOLONG;
    return UniqueFd();
  }
  UniqueFd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  ::unlink(path.c_str());
  if (!fd || ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd.get(), 8) != 0)
    return UniqueFd();
  return fd;
}

bool IsNodeName(const std::string& name) {
  unsigned vendor = 0;
  unsigned product = 0;
  char again[16];
  return name.size() == 9 && std::sscanf(name.c_str(), "%4x_%4x", &vendor, &product) == 2 &&
         std::snprintf(again, sizeof again, kNodeNameFormat, vendor, product) == 9 && name == again;
}

bool Listened(const std::filesystem::path& socket_path) {
  sockaddr_un address;
  if (!Address(socket_path, address)) return false;
  const UniqueFd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
  return fd && ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

}  // namespace

SocketDirNodeHost::~SocketDirNodeHost() {
  std::scoped_lock lock(mutex_);
  for (auto& [name, node] : nodes_) {
    RemoveFiles(name);
    for (UniqueFd& c : node.connections) ::shutdown(c.get(), SHUT_RDWR);
  }
}

void SocketDirNodeHost::RemoveFiles(const std::string& name) const {
  std::error_code ec;
  std::filesystem::remove(folder_ / (name + kSimNodeInfoSuffix), ec);  // gone for enumeration first
  std::filesystem::remove(folder_ / (name + kSimNodeSocketSuffix), ec);
}

std::string SocketDirNodeHost::PlugNode(const ProductSpec& product, std::function<void(UniqueFd)> on_connect) {
  char name[16];
  std::snprintf(name, sizeof name, kNodeNameFormat, product.vendor_id, product.product_id);
  std::scoped_lock lock(mutex_);
  const std::filesystem::path socket_path = folder_ / (std::string(name) + kSimNodeSocketSuffix);
  Node node{name, Listen(socket_path), std::move(on_connect), {}};
  if (!node.listener) {
    if (log_) *log_ << "brontal-sim: cannot listen on " << socket_path.string() << ": " << std::strerror(errno) << '\n';
    return {};
  }
  HidNodeInfo info;
  info.instance = std::to_string(next_instance_++);
  info.vendor_id = product.vendor_id;
  info.product_id = product.product_id;
  info.version = product.version;
  info.interface_number = product.interface_number;
  info.report_descriptor.assign(product.report_descriptor.begin(), product.report_descriptor.end());
  if (!WriteSimNodeFile(folder_, name, info)) {
    if (log_)
      *log_ << "brontal-sim: cannot write " << (folder_ / (name + std::string(kSimNodeInfoSuffix))).string() << '\n';
    RemoveFiles(name);
    return {};
  }
  nodes_.insert_or_assign(name, std::move(node));
  return name;
}

void SocketDirNodeHost::UnplugNode(const std::string& name) {
  std::vector<UniqueFd> connections;
  {
    std::scoped_lock lock(mutex_);
    const auto it = nodes_.find(name);
    if (it == nodes_.end()) return;
    RemoveFiles(name);
    connections = std::move(it->second.connections);
    nodes_.erase(it);
  }
  for (UniqueFd& c : connections) ::shutdown(c.get(), SHUT_RDWR);
}

std::vector<int> SocketDirNodeHost::ListeningSockets() const {
  std::scoped_lock lock(mutex_);
  std::vector<int> fds;
  for (const auto& [name, node] : nodes_) fds.push_back(node.listener.get());
  return fds;
}

void SocketDirNodeHost::Accept(int listening_socket) {
  std::function<void(UniqueFd)> on_connect;
  UniqueFd connection;
  {
    std::scoped_lock lock(mutex_);
    for (auto& [name, node] : nodes_) {
      if (node.listener.get() != listening_socket) continue;
      connection.Reset(::accept4(listening_socket, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
      if (!connection) return;
      DropHungUpSockets(node.connections);
      UniqueFd watch(::fcntl(connection.get(), F_DUPFD_CLOEXEC, 0));
      if (watch) node.connections.push_back(std::move(watch));
      on_connect = node.on_connect;
    }
  }
  if (on_connect && connection) on_connect(std::move(connection));
}

int RemoveDeadNodes(const std::filesystem::path& folder) {
  std::set<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const std::filesystem::path& p = entry.path();
    if ((p.extension() == kSimNodeSocketSuffix || p.extension() == kSimNodeInfoSuffix) && IsNodeName(p.stem().string()))
      names.insert(p.stem().string());
  }
  int removed = 0;
  for (const std::string& name : names) {
    const std::filesystem::path socket_path = folder / (name + kSimNodeSocketSuffix);
    if (Listened(socket_path)) continue;
    std::filesystem::remove(folder / (name + kSimNodeInfoSuffix), ec);
    if (std::filesystem::is_socket(std::filesystem::symlink_status(socket_path, ec)))
      std::filesystem::remove(socket_path, ec);
    ++removed;
  }
  return removed;
}

std::filesystem::path LongestNodeSocketPath(const std::filesystem::path& folder) {
  return folder / (std::string("ffff_ffff") + kSimNodeSocketSuffix);
}

}  // namespace brontal::sim
