#pragma once

#include <functional>
#include <string>

#include "models/product_catalog.h"
#include "support/unique_fd.h"

namespace brontal::sim {

// Where simulated products appear as HID nodes: the in-process bus, or the
// socket folder of the brontal-sim daemon.
class NodeHost {
 public:
  virtual ~NodeHost() = default;
  // Makes the product's HID interface appear; `on_connect` receives the device
  // end of every connection the host opens. Returns the node's name.
  virtual std::string PlugNode(const ProductSpec& product, std::function<void(UniqueFd)> on_connect) = 0;
  // Removes the node; open connections see a hang-up. Safe from any thread.
  virtual void UnplugNode(const std::string& node) = 0;
};

}  // namespace brontal::sim
