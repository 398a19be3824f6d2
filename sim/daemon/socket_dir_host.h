#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
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
  // `log` (optional) hears why a node could not be made.
  explicit SocketDirNodeHost(std::filesystem::path folder, std::ostream* log = nullptr)
      : folder_(std::move(folder)), log_(log) {}
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
  std::ostream* log_;
  mutable std::mutex mutex_;
  std::map<std::string, Node> nodes_;  // by node name
  std::uint64_t next_instance_ = 1;
};

// Removes the nodes a killed daemon left in `folder`: NAME.sock files nobody
// listens on and NAME.node files without a live NAME.sock, for the names this
// host makes only. Returns how many nodes went.
int RemoveDeadNodes(const std::filesystem::path& folder);

// The longest path of a node socket in `folder`, to check it fits a Unix socket address.
std::filesystem::path LongestNodeSocketPath(const std::filesystem::path& folder);

}  // namespace brontal::sim
