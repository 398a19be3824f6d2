#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace brontal {

// Device type codes of an interface row.
enum class DeviceType : std::uint16_t {
  kKeyboardWired = 1,
  kMouseWired = 2,
  kMousePad = 3,
  kMouseReceiver = 6,
  kHeadset = 7,
  kKeyboardReceiver = 9,
};

// Role of a top-level collection within its product.
enum class CollectionRole : std::uint16_t {
  kCommand = 0,  // vendor collection carrying the command channel
  kEvent = 255,  // consumer-control collection carrying device notifications
};

// One supported HID top-level collection. The same record is the slot list's
// row type at run time (present and path filled in there).
struct InterfaceRow {
  std::uint16_t vendor_id;
  std::uint16_t product_id;
  std::uint16_t interface_number;
  std::uint16_t collection_number;
  DeviceType type;
  CollectionRole role;
  std::uint16_t usage_page;
  std::uint16_t usage;
  std::uint16_t paired;   // 1 when the product is also reached over the other link
  std::uint16_t partner;  // row of the same role on the other link
};

inline constexpr std::uint16_t kVendorUsagePage = 0xFF1C;
inline constexpr std::uint16_t kVendorUsage = 0x92;
inline constexpr std::uint16_t kConsumerUsagePage = 0x000C;
inline constexpr std::uint16_t kConsumerControlUsage = 0x01;

// Rows 0-3 carry product id 0 and never match a real device; they keep the
// row numbers (and partners) that the rest of the system relies on.
inline constexpr std::array<InterfaceRow, 23> kInterfaceTable = {{
    {0x0000, 0x0000, 1, 4, DeviceType::kKeyboardWired, CollectionRole::kCommand, 0xFF1C, 0x92, 1, 2},
    {0x0000, 0x0000, 1, 3, DeviceType::kKeyboardWired, CollectionRole::kEvent, 0x000C, 0x01, 1, 3},
    {0x320F, 0x0000, 1, 4, DeviceType::kKeyboardReceiver, CollectionRole::kCommand, 0xFF1C, 0x92, 1, 0},
    {0x320F, 0x0000, 1, 3, DeviceType::kKeyboardReceiver, CollectionRole::kEvent, 0x000C, 0x01, 1, 1},
    {0x320F, 0x2003, 1, 4, DeviceType::kMouseWired, CollectionRole::kCommand, 0xFF1C, 0x92, 1, 6},
    {0x320F, 0x2003, 1, 3, DeviceType::kMouseWired, CollectionRole::kEvent, 0x000C, 0x01, 1, 7},
    {0x320F, 0x221D, 1, 4, DeviceType::kMouseReceiver, CollectionRole::kCommand, 0xFF1C, 0x92, 1, 4},
    {0x320F, 0x221D, 1, 3, DeviceType::kMouseReceiver, CollectionRole::kEvent, 0x000C, 0x01, 1, 5},
    {0x320F, 0x1004, 1, 4, DeviceType::kMousePad, CollectionRole::kCommand, 0xFF1C, 0x92, 0, 0},
    {0x320F, 0x1004, 1, 3, DeviceType::kMousePad, CollectionRole::kEvent, 0x000C, 0x01, 0, 0},
    {0x0C76, 0x1630, 3, 0, DeviceType::kHeadset, CollectionRole::kCommand, 0x000C, 0x01, 0, 0},
    {0x320F, 0x50EB, 1, 4, DeviceType::kKeyboardWired, CollectionRole::kCommand, 0xFF1C, 0x92, 1, 13},
    {0x320F, 0x50EB, 1, 3, DeviceType::kKeyboardWired, CollectionRole::kEvent, 0x000C, 0x01, 1, 14},
    {0x320F, 0x50EC, 1, 4, DeviceType::kKeyboardReceiver, CollectionRole::kCommand, 0xFF1C, 0x92, 1, 11},
    {0x320F, 0x50EC, 1, 3, DeviceType::kKeyboardReceiver, CollectionRole::kEvent, 0x000C, 0x01, 1, 12},
    {0x320F, 0x5100, 1, 4, DeviceType::kKeyboardWired, CollectionRole::kCommand, 0xFF1C, 0x92, 1, 17},
    {0x320F, 0x5100, 1, 3, DeviceType::kKeyboardWired, CollectionRole::kEvent, 0x000C, 0x01, 1, 18},
    {0x320F, 0x5103, 1, 4, DeviceType::kKeyboardReceiver, CollectionRole::kCommand, 0xFF1C, 0x92, 1, 15},
    {0x320F, 0x5103, 1, 3, DeviceType::kKeyboardReceiver, CollectionRole::kEvent, 0x000C, 0x01, 1, 16},
    {0x320F, 0x5101, 1, 4, DeviceType::kKeyboardWired, CollectionRole::kCommand, 0xFF1C, 0x92, 1, 21},
    {0x320F, 0x5101, 1, 3, DeviceType::kKeyboardWired, CollectionRole::kEvent, 0x000C, 0x01, 1, 22},
    {0x320F, 0x5104, 1, 4, DeviceType::kKeyboardReceiver, CollectionRole::kCommand, 0xFF1C, 0x92, 1, 19},
    {0x320F, 0x5104, 1, 3, DeviceType::kKeyboardReceiver, CollectionRole::kEvent, 0x000C, 0x01, 1, 20},
}};

constexpr bool IsReceiverType(DeviceType type) {
  return type == DeviceType::kKeyboardReceiver || type == DeviceType::kMouseReceiver;
}

// True for a row that can match a real device (vendor and product set).
constexpr bool IsRealProduct(const InterfaceRow& row) { return row.vendor_id != 0 && row.product_id != 0; }

// The command-collection row of a supported product, if any.
constexpr std::optional<std::size_t> FindCommandRow(std::uint16_t vendor_id, std::uint16_t product_id) {
  for (std::size_t i = 0; i < kInterfaceTable.size(); ++i) {
    const InterfaceRow& row = kInterfaceTable[i];
    if (IsRealProduct(row) && row.vendor_id == vendor_id && row.product_id == product_id &&
        row.role == CollectionRole::kCommand)
      return i;
  }
  return std::nullopt;
}

}  // namespace brontal
