#include "devices/device_tables.h"

namespace brontal {

const ProductIcon& IconForProduct(std::uint16_t product_id) {
  for (const ProductIcon& icon : kProductIcons)
    if (icon.product_id == product_id) return icon;
  return kProductIcons.back();
}

int FindInterfaceRow(std::uint16_t vendor_id, std::uint16_t product_id, DeviceType type, CollectionRole role) {
  for (std::size_t i = 0; i < kInterfaceTable.size(); ++i) {
    const InterfaceRow& r = kInterfaceTable[i];
    if (r.vendor_id == vendor_id && r.product_id == product_id && r.type == type && r.role == role)
      return static_cast<int>(i);
  }
  return -1;
}

int FindEntryRow(std::uint16_t vendor_id, std::uint16_t product_id, DeviceType type, CollectionRole role) {
  for (std::size_t i = 0; i < kDeviceEntryTable.size(); ++i) {
    const DeviceEntryRow& r = kDeviceEntryTable[i];
    if (r.vendor_id == vendor_id && r.product_id == product_id && r.type == type && r.role == role)
      return static_cast<int>(i);
  }
  return -1;
}

}  // namespace brontal
