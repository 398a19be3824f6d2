#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "transport/in_process_host.h"
#include "transport/simulator.h"

namespace brontal::sim {

using ProductIds = std::pair<std::uint16_t, std::uint16_t>;

// The products a plain --simulate plugs: the 0x5100 keyboard with its receiver, and the mouse.
std::vector<ProductIds> DefaultSimulatedProducts();

// "320f:5100,320f:5103" into ids; false with a reason for anything else,
// including ids the simulator does not know.
bool ParseProductList(std::string_view text, std::vector<ProductIds>& products, std::string& error);

// A simulated bus in this process, installed as the process's simulated HID
// bus for the object's life, with the given products plugged in.
class InProcessSimulation {
 public:
  explicit InProcessSimulation(const std::vector<ProductIds>& products);
  ~InProcessSimulation();
  InProcessSimulation(const InProcessSimulation&) = delete;
  InProcessSimulation& operator=(const InProcessSimulation&) = delete;

  Simulator& simulator() { return simulator_; }

 private:
  std::shared_ptr<SimulatedHidBus> bus_;
  InProcessNodeHost host_;
  Simulator simulator_;
};

}  // namespace brontal::sim
