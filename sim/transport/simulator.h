#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "models/simulated_device.h"
#include "transport/node_host.h"
#include "transport/node_server.h"

namespace brontal::sim {

struct PluggedProduct {
  const ProductSpec* product;
  std::string node;
};

// The simulated products of one bus. A cabled product and its receiver share
// one device, which keeps its memory while unplugged, as the real one does.
class Simulator {
 public:
  explicit Simulator(NodeHost& host);
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // False for ids not in the catalogue, a product already plugged, or a node
  // the host could not make.
  bool Plug(std::uint16_t vendor_id, std::uint16_t product_id);
  bool Unplug(std::uint16_t vendor_id, std::uint16_t product_id);
  // The device behind a product (created on first use); null for unknown ids.
  SimulatedDevice* Device(std::uint16_t vendor_id, std::uint16_t product_id);
  // Every report on the wire of the device behind a plugged product, replies
  // included, oldest first; nothing when the product is not plugged.
  std::optional<std::vector<JournalEntry>> Journal(std::uint16_t vendor_id, std::uint16_t product_id) const;
  // Sends an event on the product's event collection; false when not plugged.
  bool Event(std::uint16_t vendor_id, std::uint16_t product_id, std::uint16_t code);
  // Latency of one report each way on every node, present and future.
  void SetLatency(std::chrono::microseconds latency);
  std::vector<PluggedProduct> Plugged() const;

 private:
  struct Node {
    const ProductSpec* product;
    std::string name;
    std::unique_ptr<NodeServer> server;
    std::atomic<bool> unplugged_by_fault{false};
  };
  SimulatedDevice* DeviceFor(const ProductSpec& product);  // mutex_ held

  NodeHost& host_;
  mutable std::mutex mutex_;
  std::map<std::uint16_t, std::unique_ptr<SimulatedDevice>> devices_;  // by cabled product id
  std::map<const ProductSpec*, std::unique_ptr<Node>> plugged_;
  std::chrono::microseconds latency_{1000};
};

}  // namespace brontal::sim
