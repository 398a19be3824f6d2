#include "device_access/hid_sim.h"

#include <fcntl.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <string_view>
#include <utility>

#include "support/hung_up_sockets.h"

namespace brontal {

std::uint64_t SimulatedHidBus::NextBusId() {
  static std::atomic<std::uint64_t> next{1};
  return next++;
}

std::string SimulatedHidBus::Plug(NodeSpec spec) {
  std::scoped_lock lock(mutex_);
  const std::uint64_t serial = next_serial_++;
  Node node;
  node.info.node = std::string(kSimulatedNodePrefix) + "bus" + std::to_string(bus_id_) + "/" + std::to_string(serial);
  node.info.instance = std::to_string(serial);
  node.info.vendor_id = spec.vendor_id;
  node.info.product_id = spec.product_id;
  node.info.version = spec.version;
  node.info.interface_number = spec.interface_number;
  node.info.report_descriptor = std::move(spec.report_descriptor);
  node.on_connect = std::move(spec.on_connect);
  std::string name = node.info.node;
  nodes_.emplace(name, std::move(node));
  return name;
}

bool SimulatedHidBus::Unplug(const std::string& name) {
  std::vector<UniqueFd> connections;
  {
    std::scoped_lock lock(mutex_);
    const auto it = nodes_.find(name);
    if (it == nodes_.end()) return false;
    connections = std::move(it->second.connections);
    nodes_.erase(it);
  }
  for (UniqueFd& fd : connections) ::shutdown(fd.get(), SHUT_RDWR);
  return true;
}

bool SimulatedHidBus::Enumerate(std::vector<HidNodeInfo>& nodes) {
  std::scoped_lock lock(mutex_);
  nodes.clear();
  nodes.reserve(nodes_.size());
  // Plug order, which serial numbers keep even where node names sort differently.
  for (const auto& [name, node] : nodes_) nodes.push_back(node.info);
  std::sort(nodes.begin(), nodes.end(), [](const HidNodeInfo& a, const HidNodeInfo& b) {
    return std::pair(a.instance.size(), std::string_view(a.instance)) <
           std::pair(b.instance.size(), std::string_view(b.instance));
  });
  return true;
}

bool SimulatedHidBus::Describe(std::string_view name, HidNodeInfo& info) {
  std::scoped_lock lock(mutex_);
  const auto it = nodes_.find(name);
  if (it == nodes_.end()) return false;
  info = it->second.info;
  return true;
}

HidOpenResult SimulatedHidBus::Open(std::string_view name, std::string_view instance, bool, bool, UniqueFd& fd) {
  std::function<void(UniqueFd)> on_connect;
  UniqueFd device_end;
  {
    std::scoped_lock lock(mutex_);
    const auto it = nodes_.find(name);
    if (it == nodes_.end() || it->second.info.instance != instance) return HidOpenResult::kGone;
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair) != 0)
      return HidOpenResult::kFailed;
    fd.Reset(pair[0]);
    device_end.Reset(pair[1]);
    auto& connections = it->second.connections;
    DropHungUpSockets(connections);
    UniqueFd watch(::fcntl(pair[1], F_DUPFD_CLOEXEC, 0));
    if (watch) connections.push_back(std::move(watch));
    on_connect = it->second.on_connect;
  }
  if (on_connect) on_connect(std::move(device_end));
  return HidOpenResult::kOpened;
}

bool SimulatedHidBus::IsPresent(std::string_view name, std::string_view instance) {
  std::scoped_lock lock(mutex_);
  const auto it = nodes_.find(name);
  return it != nodes_.end() && it->second.info.instance == instance;
}

}  // namespace brontal
