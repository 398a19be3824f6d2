#include "control/macro_download_words.h"

namespace brontal {

std::optional<std::string> MacroDownloadProblem(const MacroDownloadResult& result) {
  if (const auto* large = std::get_if<MacroImageTooLarge>(&result.outcome))
    return "the macros the keys play do not fit the keyboard's macro memory (" + std::to_string(large->image_bytes) +
           " bytes for " + std::to_string(large->capacity_bytes) + "): take out at least " +
           std::to_string(large->ExcessEvents()) + " events";
  if (const auto* long_one = std::get_if<MacroTooLong>(&result.outcome))
    return "macro " + std::to_string(long_one->slot < result.macros.size() ? result.macros[long_one->slot] : 0) +
           " has " + std::to_string(long_one->events) + " events; a macro on the keyboard takes at most 251";
  if (std::holds_alternative<MacroTransferFailed>(result.outcome)) return "the keyboard did not take the macros";
  return std::nullopt;
}

}  // namespace brontal
