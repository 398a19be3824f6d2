#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "devices/interface_table.h"

namespace brontal {

// Entry kind codes: they index the selector entries' behaviour.
enum class EntryKind : std::int32_t { kKeyboard = 0, kMouse = 1, kMousePad = 2, kHeadset = 3 };

inline constexpr std::string_view kDeviceOptionLayout = "XML\\CustomControlXML\\DeviceOption.xml";
inline constexpr std::string_view kDevicePowerLayout = "XML\\CustomControlXML\\MpDevicePower.xml";
inline constexpr std::string_view kDeviceProfileLayout = "XML\\CustomControlXML\\DeviceProfile.xml";
inline constexpr std::string_view kTabHeaderName = "tab_header_device";
inline constexpr std::string_view kPowerSwitchName = "device_power_switch";

// One product that gets a selector entry. Receivers are looked up under their
// wired partner's identity.
struct DeviceEntryRow {
  std::string_view entry_layout;
  std::string_view tab_header_name;
  std::string_view power_switch_name;
  std::string_view kind_name;
  std::int32_t entry_index;
  std::int32_t icon_index;
  std::int32_t power_style;  // -1 none
  EntryKind kind;
  std::uint16_t vendor_id;
  std::uint16_t product_id;
  DeviceType type;
  CollectionRole role;
};

inline constexpr std::array<DeviceEntryRow, 7> kDeviceEntryTable = {{
    {kDeviceOptionLayout, kTabHeaderName, kPowerSwitchName, "mouse", 0, 0, 0, EntryKind::kMouse, 0x320F, 0x2003,
     DeviceType::kMouseWired, CollectionRole::kCommand},
    {kDeviceOptionLayout, kTabHeaderName, kPowerSwitchName, "keyboard", 1, 1, -1, EntryKind::kKeyboard, 0x0000, 0x0000,
     DeviceType::kKeyboardWired, CollectionRole::kCommand},
    {kDeviceOptionLayout, kTabHeaderName, kPowerSwitchName, "MousePad", 2, 2, 1, EntryKind::kMousePad, 0x320F, 0x1004,
     DeviceType::kMousePad, CollectionRole::kCommand},
    {kDeviceOptionLayout, kTabHeaderName, kPowerSwitchName, "HD", 3, 3, -1, EntryKind::kHeadset, 0x0C76, 0x1630,
     DeviceType::kHeadset, CollectionRole::kCommand},
    {kDeviceOptionLayout, kTabHeaderName, kPowerSwitchName, "keyboard", 4, 4, -1, EntryKind::kKeyboard, 0x320F, 0x50EB,
     DeviceType::kKeyboardWired, CollectionRole::kCommand},
    {kDeviceOptionLayout, kTabHeaderName, kPowerSwitchName, "keyboard", 5, 5, -1, EntryKind::kKeyboard, 0x320F, 0x5100,
     DeviceType::kKeyboardWired, CollectionRole::kCommand},
    {kDeviceOptionLayout, kTabHeaderName, kPowerSwitchName, "keyboard", 6, 6, -1, EntryKind::kKeyboard, 0x320F, 0x5101,
     DeviceType::kKeyboardWired, CollectionRole::kCommand},
}};

// Row i belongs to kDeviceEntryTable row i.
struct DeviceLayoutRow {
  std::int32_t position_count;  // positions on the device picture
  std::int32_t key_list_size;
  bool has_battery;
  std::int32_t reserved;
  std::string_view page_layout;
  std::string_view lighting_page;
};

inline constexpr std::array<DeviceLayoutRow, 7> kDeviceLayoutTable = {{
    {15, 11, true, -1, "XML\\DeviceXml\\mousedevice.xml", "drumo_light"},
    {170, 170, true, -1, "XML\\DeviceXml\\keyboarddevice.xml", "drumo_light"},
    {15, 0, false, -1, "XML\\DeviceXml\\mousepaddevice.xml", "drumo_light"},
    {13, 0, false, -1, "XML\\DeviceXml\\zu6533device.xml", "drumo_light"},
    {170, 170, true, -1, "XML\\DeviceXml\\keyboarddevice.xml", "drumo_light"},
    {126, 126, true, -1, "XML\\DeviceXml\\keyboarddevice.xml", "drumo_light"},
    {126, 126, true, -1, "XML\\DeviceXml\\keyboarddevice.xml", "drumo_light"},
}};

// The identities the update service is told about: rows 0-6 follow the entry
// table, row 7 is the application itself.
struct ProductRow {
  std::int32_t category;
  bool enabled;
  std::string_view brand;
  std::string_view model_id;
  std::string_view product_name;
  std::string_view short_name;
  std::string_view version;
};

inline constexpr std::array<ProductRow, 8> kProductTable = {{
    {1, true, "DRUMO", "KX410", "MS", "MS", ""},
    {1, true, "DRUMO", "KX420", "KB", "KB", ""},
    {2, true, "DRUMO", "KX430_1", "M27", "M27", ""},
    {2, true, "DRUMO", "KX430_1", "M27", "M27", ""},
    {2, true, "DRUMO", "KX440", "KX340", "R7", ""},
    {2, true, "DRUMO", "KX440", "KX320", "KX320", ""},
    {2, true, "DRUMO", "KX440", "KX330", "T4", ""},
    {0, true, "DRUMO", "ALL", "Brontal Driver", "AP", "KX500"},
}};

// Selector entry images by product id.
struct ProductIcon {
  std::uint16_t product_id;  // 0: any other product
  std::string_view normal_image;
  std::string_view selected_image;
  std::string_view name_shown;
};

inline constexpr std::array<ProductIcon, 4> kProductIcons = {{
    {0x50EB, "common/device_ico/KX310/kb_device_normal.png", "common/device_ico/KX310/kb_device_selected.png", "R7"},
    {0x5100, "common/device_ico/KX320/kb_device_normal.png", "common/device_ico/KX320/kb_device_selected.png", "KX320"},
    {0x5101, "common/device_ico/KX330/kb_device_normal.png", "common/device_ico/KX330/kb_device_selected.png", "T4"},
    {0, "common/device_ico/unknow_device_normal.png", "common/device_ico/unknow_device_selected.png", ""},
}};
inline constexpr std::string_view kSynchroNormalImage = "common/device_ico/unknow_device_synchro_normal.png";
inline constexpr std::string_view kSynchroSelectedImage = "common/device_ico/unknow_device_synchro_selected.png";

const ProductIcon& IconForProduct(std::uint16_t product_id);

// Row lookups by the exact tuple; -1 when no row matches.
int FindInterfaceRow(std::uint16_t vendor_id, std::uint16_t product_id, DeviceType type, CollectionRole role);
int FindEntryRow(std::uint16_t vendor_id, std::uint16_t product_id, DeviceType type, CollectionRole role);

}  // namespace brontal
