#include "control/macro_download_words.h"

#include "control/setting_words.h"

namespace brontal {

std::optional<std::string> MacroDownloadProblem(const MacroDownloadResult& result, std::string_view device) {
  const std::string name(device);
  if (const auto* large = std::get_if<MacroImageTooLarge>(&result.outcome))
    return "the macros the keys play do not fit the " + name + "'s macro memory (" +
           std::to_string(large->image_bytes) + " bytes for " + std::to_string(large->capacity_bytes) +
           "): take out at least " + std::to_string(large->ExcessEvents()) + " events";
  if (const auto* long_one = std::get_if<MacroTooLong>(&result.outcome))
    return "macro " + std::to_string(long_one->slot < result.macros.size() ? result.macros[long_one->slot] : 0) +
           " has " + std::to_string(long_one->events) + " events; a macro on the " + name + " takes at most 251";
  if (std::holds_alternative<MacroTransferFailed>(result.outcome)) return "the " + name + " did not take the macros";
  return std::nullopt;
}

DeviceReply KeyWriteReply(const DeviceCommandLine& line, std::string_view device, const KeyWriteOutcome& outcome) {
  if (const std::optional<std::string> problem = MacroDownloadProblem(outcome.macros, device))
    return setting_words::Failure(line, *problem + "; the key table was not written (saved in the profile)");
  if (outcome.ok()) return {0, "", ""};
  return setting_words::Failure(line,
                                "the " + std::string(device) + " did not take the key table (saved in the profile)");
}

}  // namespace brontal
