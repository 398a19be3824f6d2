#include "update/update_row.h"

#include <algorithm>
#include <array>

namespace brontal {

std::string_view RowStateText(RowState state) {
  static constexpr std::array<std::string_view, 9> kTexts = {"LessUpdateText",   "NeedUpdateText",  "NeedUpdateText",
                                                             "DownloadWaitText", "DownloadIngText", "DownloadOkText",
                                                             "UpdateIngText",    "UpdateOkText",    "UpdateFailText"};
  return kTexts[static_cast<std::size_t>(state)];
}

std::string_view PageStateText(PageState state) {
  static constexpr std::array<std::string_view, 5> kTexts = {"GetUpdateInfoText", "HaveUpdateInfoText",
                                                             "NoUpdateInfoText", "ISUpdateINGText", "UpdateIsLastText"};
  return kTexts[static_cast<std::size_t>(state)];
}

int PercentOf(std::uint64_t received, std::uint64_t total) {
  if (total == 0) return 0;
  // Exact for any 64-bit size: the product needs more than 64 bits.
  __extension__ using Wide = unsigned __int128;
  return static_cast<int>(std::min<Wide>(100, Wide{received} * 100 / total));
}

}  // namespace brontal
