#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "update/update_request.h"

// The components the update page asks about: the program and each connected
// device's firmware.
namespace brontal {

struct UpdateItem {
  bool hexadecimal = false;  // firmware versions are BCD-like hexadecimal numbers
  std::uint32_t installed_version = 0;
  std::string installed_dotted;  // the program's "1.0.5"; empty for firmware
  std::string category;          // "ALL" for the program itself
  std::string name;
  std::string version_name;
  std::optional<UpdateIdentity> identity;
};

// A device the program has open: its row of the device entry table and the
// version its USB descriptor gives (bcdDevice).
struct ConnectedProduct {
  int entry_row = -1;
  std::uint16_t firmware_version = 0;
};

// The program first, then one item per connected product of a known row
// whose version is not 0; the same product twice is asked about once.
std::vector<UpdateItem> UpdateItemsFor(std::string_view program_version, std::span<const ConnectedProduct> connected);

// The name a row shows: "AP" for the program, else the item's name.
std::string RowName(const UpdateItem& item);

}  // namespace brontal
