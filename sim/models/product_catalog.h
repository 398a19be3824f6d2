#pragma once

#include <cstdint>
#include <span>

namespace brontal::sim {

enum class ModelKind : std::uint8_t { kKeyboard, kMouse, kMousePad, kHeadset };

// One USB product as it shows on the bus. A receiver is its own product; it
// reaches the same device as its cabled product.
struct ProductSpec {
  std::uint16_t vendor_id = 0;
  std::uint16_t product_id = 0;
  std::uint16_t version = 0;           // bcdDevice
  std::uint8_t interface_number = 0;   // the HID interface that carries the collections
  bool receiver = false;
  std::uint16_t cabled_product_id = 0;  // own id for cabled products
  ModelKind kind = ModelKind::kKeyboard;
  std::uint8_t event_report_id = 0;     // input report of the consumer-control collection
  std::span<const std::uint8_t> report_descriptor;  // of that interface
};

// Every real product of the interface table, in table order.
std::span<const ProductSpec> Products();
const ProductSpec* FindProduct(std::uint16_t vendor_id, std::uint16_t product_id);
// The cabled product of a receiver (the product itself when it is cabled).
const ProductSpec& CabledProductOf(const ProductSpec& product);
// The receiver of a cabled product, if it has one.
const ProductSpec* ReceiverOf(const ProductSpec& cabled);

}  // namespace brontal::sim
