#include "transport/in_process_simulation.h"

#include <charconv>

namespace brontal::sim {

std::vector<ProductIds> DefaultSimulatedProducts() { return {{0x320F, 0x5100}, {0x320F, 0x5103}, {0x320F, 0x2003}}; }

bool ParseProductList(std::string_view text, std::vector<ProductIds>& products, std::string& error) {
  products.clear();
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
    const std::size_t colon = item.find(':');
    unsigned vendor = 0, product = 0;
    const auto hex = [](std::string_view digits, unsigned& value) {
      const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
      return ec == std::errc{} && end == digits.data() + digits.size() && !digits.empty() && value <= 0xFFFF;
    };
    if (colon == std::string_view::npos || !hex(item.substr(0, colon), vendor) || !hex(item.substr(colon + 1), product)) {
      error = "'" + std::string(item) + "' is not VID:PID in hexadecimal";
      return false;
    }
    if (!FindProduct(static_cast<std::uint16_t>(vendor), static_cast<std::uint16_t>(product))) {
      error = "no simulated product " + std::string(item);
      return false;
    }
    products.emplace_back(static_cast<std::uint16_t>(vendor), static_cast<std::uint16_t>(product));
  }
  if (products.empty()) error = "no products given";
  return !products.empty();
}

InProcessSimulation::InProcessSimulation(const std::vector<ProductIds>& products)
    : bus_(std::make_shared<SimulatedHidBus>()), host_(bus_), simulator_(host_) {
  for (const auto& [vendor, product] : products) simulator_.Plug(vendor, product);
  HidBus::SetSimulated(bus_);
}

InProcessSimulation::~InProcessSimulation() { HidBus::SetSimulated(nullptr); }

}  // namespace brontal::sim
