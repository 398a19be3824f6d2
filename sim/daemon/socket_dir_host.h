#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "transport/node_host.h"

namespace brontal::sim {

// Simulated products as socket files in a folder: a listening SOCK_SEQPACKET
// socket NAME.sock and its identity NAME.node per plugged interface. The
// daemon's loop polls ListeningSockets() and calls Accept() when one is ready.
class SocketDirNodeHost final : public NodeHost {
 public:
  explicit SocketDirNodeHost(std::filesystem::path folder) : folder_(std::move(folder)) {}
  ~SocketDirNodeHost() override;

  std::string PlugNode(const ProductSpec& product, std::function<void(UniqueFd)> on_connect) override;
  void UnplugNode(const std::string& node) override;

  std::vector<int> ListeningSockets() const;
  void Accept(int listening_socket);

 private:
  struct Node {
    std::string name;
    UniqueFd listener;
    std::function<void(UniqueFd)> on_connect;
    std::vector<UniqueFd> connections;  // duplicates, to hang them up on unplug
  };
  void RemoveFiles(const std::string& name) const;

  std::filesystem::path folder_;
  mutable std::mutex mutex_;
  std::map<std::string, Node> nodes_;  // by node name
  std::uint64_t next_instance_ = 1;
};

}  // namespace brontal::sim
