#include "macros/scan_code_table.h"

#include <algorithm>

namespace brontal {

std::optional<std::size_t> KeyRowForScanCode(std::uint32_t scan_code, bool extended) {
  const auto row = std::ranges::find_if(
      kScanCodeTable, [&](const ScanCode& key) { return key.code == scan_code && key.extended == extended; });
  if (row == kScanCodeTable.end()) return std::nullopt;
  return static_cast<std::size_t>(row - kScanCodeTable.begin());
}

}  // namespace brontal
