#include "daemon/socket_dir_host.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cstdio>
#include <cstring>

#include "device_access/sim_node_file.h"
#include "support/hung_up_sockets.h"

namespace brontal::sim {
namespace {

UniqueFd Listen(const std::filesystem::path& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string text = path.string();
  if (text.size() >= sizeof address.sun_path) return UniqueFd();
  std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
  UniqueFd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  ::unlink(text.c_str());
  if (!fd || ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd.get(), 8) != 0)
    return UniqueFd();
  return fd;
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
  std::snprintf(name, sizeof name, "%04x_%04x", product.vendor_id, product.product_id);
  std::scoped_lock lock(mutex_);
  Node node{name, Listen(folder_ / (std::string(name) + kSimNodeSocketSuffix)), std::move(on_connect), {}};
  if (!node.listener) return {};
  HidNodeInfo info;
  info.instance = std::to_string(next_instance_++);
  info.vendor_id = product.vendor_id;
  info.product_id = product.product_id;
  info.version = product.version;
  info.interface_number = product.interface_number;
  info.report_descriptor.assign(product.report_descriptor.begin(), product.report_descriptor.end());
  if (!WriteSimNodeFile(folder_, name, info)) {
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

}  // namespace brontal::sim
