#include "devices/macro_image_transfer.h"

#include <variant>
#include <vector>

#include "macros/macro_image.h"

namespace brontal {

MacroDownloadOutcome TransferMacroImage(CCommandChannel& channel, const std::filesystem::path& folder,
                                        std::span<const std::string> guids, DeviceInfoBlock info,
                                        std::optional<std::size_t> longest_macro,
                                        const std::function<bool(const std::function<CommandResult()>&)>& transaction) {
  if (!channel.open()) return MacroTransferFailed{};
  channel.ReadDeviceInfo(info.bytes);
  MacroImageBuild image = BuildMacroImage(LoadSlotMacros(folder, guids), {info.macro_memory_bytes(), longest_macro});
  if (auto* refused = std::get_if<MacroImageTooLarge>(&image)) return *refused;
  if (auto* refused = std::get_if<MacroTooLong>(&image)) return *refused;
  const std::vector<std::uint8_t>& bytes = std::get<std::vector<std::uint8_t>>(image);
  if (!transaction([&] { return channel.WriteMacros(bytes); })) return MacroTransferFailed{};
  return MacrosSent{bytes.size()};
}

}  // namespace brontal
