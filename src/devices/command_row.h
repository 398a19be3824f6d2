#pragma once

#include <string_view>

#include "device_access/hid_path.h"
#include "devices/interface_table.h"

namespace brontal {

// The supported command collection a HID path names; nullptr for any other.
inline const InterfaceRow* CommandRowOf(std::string_view path) {
  for (const InterfaceRow& row : kInterfaceTable) {
    if (IsRealProduct(row) && row.role == CollectionRole::kCommand && row.vendor_id == ParseVendorId(path) &&
        row.product_id == ParseProductId(path) && row.interface_number == ParseInterfaceNumber(path) &&
        row.collection_number == ParseCollectionNumber(path))
      return &row;
  }
  return nullptr;
}

}  // namespace brontal
