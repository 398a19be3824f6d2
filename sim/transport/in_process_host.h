#pragma once

#include <memory>

#include "device_access/hid_sim.h"
#include "transport/node_host.h"

namespace brontal::sim {

// Simulated products on the in-process bus (tests, --simulate).
class InProcessNodeHost final : public NodeHost {
 public:
  explicit InProcessNodeHost(std::shared_ptr<SimulatedHidBus> bus) : bus_(std::move(bus)) {}

  std::string PlugNode(const ProductSpec& product, std::function<void(UniqueFd)> on_connect) override {
    return bus_->Plug({product.vendor_id, product.product_id, product.version, product.interface_number,
                       {product.report_descriptor.begin(), product.report_descriptor.end()}, std::move(on_connect)});
  }
  void UnplugNode(const std::string& node) override { bus_->Unplug(node); }

  const std::shared_ptr<SimulatedHidBus>& bus() const { return bus_; }

 private:
  std::shared_ptr<SimulatedHidBus> bus_;
};

}  // namespace brontal::sim
