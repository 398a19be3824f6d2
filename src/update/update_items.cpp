#include <strings.h>

#include <algorithm>

#include "devices/device_tables.h"
#include "update/update_item.h"

namespace brontal {
namespace {

constexpr std::size_t kProgramRow = kProductTable.size() - 1;

// The key's parts: brand, category, model id, short name and product id (0
// for the program), which together tell every product of the table apart.
UpdateIdentity IdentityOf(std::size_t row) {
  const ProductRow& product = kProductTable[row];
  const int product_id = row < kDeviceEntryTable.size() ? kDeviceEntryTable[row].product_id : 0;
  return {std::string(product.brand), product.category, std::string(product.model_id), std::string(product.short_name),
          product_id};
}

}  // namespace

std::vector<UpdateItem> UpdateItemsFor(std::string_view program_version, std::span<const ConnectedProduct> connected) {
  std::vector<UpdateItem> items;
  const ProductRow& program = kProductTable[kProgramRow];
  if (const std::uint32_t version = InstalledAppVersion(program_version); version != 0) {
    items.push_back({false, version, std::string(program_version), std::string(program.model_id),
                     std::string(program.product_name), std::string(program_version), IdentityOf(kProgramRow)});
  }
  std::vector<int> asked;
  for (const ConnectedProduct& product : connected) {
    if (product.entry_row < 0 || product.entry_row >= static_cast<int>(kDeviceEntryTable.size()) ||
        product.firmware_version == 0 || std::ranges::find(asked, product.entry_row) != asked.end())
      continue;
    asked.push_back(product.entry_row);
    const ProductRow& row = kProductTable[static_cast<std::size_t>(product.entry_row)];
    if (!row.enabled) continue;
    items.push_back({true, product.firmware_version, "", std::string(row.model_id), std::string(row.product_name),
                     std::string(row.version), IdentityOf(static_cast<std::size_t>(product.entry_row))});
  }
  return items;
}

std::string RowName(const UpdateItem& item) { return strcasecmp(item.category.c_str(), "ALL") == 0 ? "AP" : item.name; }

}  // namespace brontal
