#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "device_access/hid_backend.h"

namespace brontal {

// The simulated bus in this process: virtual nodes that a device model serves.
// Opening a node makes a SOCK_SEQPACKET socket pair; the host keeps one end,
// the node's connect handler gets the other and answers on it as the device
// would on a hidraw node. Unplugging shuts every connection down, so the host
// sees the hang-up a removed device gives.
class SimulatedHidBus final : public HidBackend {
 public:
  struct NodeSpec {
    std::uint16_t vendor_id = 0;
    std::uint16_t product_id = 0;
    std::uint16_t version = 0;
    std::uint16_t interface_number = 0;
    std::vector<std::uint8_t> report_descriptor;
    // Called (outside the bus's lock) with the device end of every new connection.
    std::function<void(UniqueFd device_end)> on_connect;
  };

  // Returns the new node's name ("sim:<bus>/<n>").
  std::string Plug(NodeSpec spec);
  // False when no such node is plugged.
  bool Unplug(const std::string& node);

  bool Enumerate(std::vector<HidNodeInfo>& nodes) override;
  bool Describe(std::string_view node, HidNodeInfo& info) override;
  HidOpenResult Open(std::string_view node, std::string_view instance, bool read, bool write,
                     UniqueFd& fd) override;
  bool IsPresent(std::string_view node, std::string_view instance) override;

 private:
  struct Node {
    HidNodeInfo info;
    std::function<void(UniqueFd)> on_connect;
    std::vector<UniqueFd> connections;  // duplicates of the device ends, to shut them down on unplug
  };

  std::mutex mutex_;
  std::map<std::string, Node, std::less<>> nodes_;
  std::uint64_t next_serial_ = 1;
  const std::uint64_t bus_id_ = NextBusId();
  static std::uint64_t NextBusId();
};

}  // namespace brontal
