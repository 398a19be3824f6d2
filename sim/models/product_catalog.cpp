#include "models/product_catalog.h"

#include <algorithm>
#include <array>

#include "devices/interface_table.h"
#include "models/report_descriptors.h"

namespace brontal::sim {
namespace {

// Product 0x5101 asks the user to update firmware older than this, so the
// simulated products carry exactly the first accepted version.
constexpr std::uint16_t kFirmwareVersion = 0x0110;

constexpr bool IsReceiver(DeviceType type) {
  return type == DeviceType::kKeyboardReceiver || type == DeviceType::kMouseReceiver;
}

constexpr ModelKind KindOf(DeviceType type) {
  switch (type) {
    case DeviceType::kKeyboardWired:
    case DeviceType::kKeyboardReceiver:
      return ModelKind::kKeyboard;
    case DeviceType::kMouseWired:
    case DeviceType::kMouseReceiver:
      return ModelKind::kMouse;
    case DeviceType::kMousePad:
      return ModelKind::kMousePad;
    case DeviceType::kHeadset:
      return ModelKind::kHeadset;
  }
  return ModelKind::kKeyboard;
}

constexpr std::span<const std::uint8_t> DescriptorOf(ModelKind kind) {
  switch (kind) {
    case ModelKind::kMouse:
      return kMouseInterfaceDescriptor;
    case ModelKind::kHeadset:
      return kHeadsetInterfaceDescriptor;
    case ModelKind::kKeyboard:
    case ModelKind::kMousePad:
      return kKeyboardInterfaceDescriptor;
  }
  return kKeyboardInterfaceDescriptor;
}

constexpr bool IsProductRow(const InterfaceRow& row) {
  return IsRealProduct(row) && row.role == CollectionRole::kCommand;
}

constexpr std::size_t kProductCount =
    static_cast<std::size_t>(std::count_if(kInterfaceTable.begin(), kInterfaceTable.end(), IsProductRow));

constexpr std::array<ProductSpec, kProductCount> BuildCatalog() {
  std::array<ProductSpec, kProductCount> products{};
  std::size_t next = 0;
  for (const InterfaceRow& row : kInterfaceTable) {
    if (!IsProductRow(row)) continue;
    const ModelKind kind = KindOf(row.type);
    const bool receiver = IsReceiver(row.type);
    products[next++] = ProductSpec{
        .vendor_id = row.vendor_id,
        .product_id = row.product_id,
        .version = kFirmwareVersion,
        .interface_number = static_cast<std::uint8_t>(row.interface_number),
        .receiver = receiver,
        .cabled_product_id = receiver ? kInterfaceTable[row.partner].product_id : row.product_id,
        .kind = kind,
        .event_report_id = kind == ModelKind::kHeadset ? kHeadsetEventReportId : kEventReportId,
        .report_descriptor = DescriptorOf(kind),
    };
  }
  return products;
}

constexpr std::array<ProductSpec, kProductCount> kProducts = BuildCatalog();

}  // namespace

std::span<const ProductSpec> Products() { return kProducts; }

const ProductSpec* FindProduct(std::uint16_t vendor_id, std::uint16_t product_id) {
  const auto it = std::find_if(kProducts.begin(), kProducts.end(), [&](const ProductSpec& p) {
    return p.vendor_id == vendor_id && p.product_id == product_id;
  });
  return it == kProducts.end() ? nullptr : &*it;
}

const ProductSpec& CabledProductOf(const ProductSpec& product) {
  if (!product.receiver) return product;
  const ProductSpec* cabled = FindProduct(product.vendor_id, product.cabled_product_id);
  return cabled != nullptr ? *cabled : product;
}

const ProductSpec* ReceiverOf(const ProductSpec& cabled) {
  const auto it = std::find_if(kProducts.begin(), kProducts.end(), [&](const ProductSpec& p) {
    return p.receiver && p.vendor_id == cabled.vendor_id && p.cabled_product_id == cabled.product_id;
  });
  return it == kProducts.end() ? nullptr : &*it;
}

}  // namespace brontal::sim
