#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "device_access/command_channel.h"
#include "devices/device_info_block.h"
#include "macros/macro_download.h"

namespace brontal {

// Job side of a macro download: the capacity read again from the device (a
// failed read keeps `info`'s), the image of the macros `guids` names in slot
// order built from one reading of each file, and sent with command 0x15 inside
// `transaction` (the family's begin and end). Nothing is sent when the image
// does not fit or a macro is longer than `longest_macro`.
MacroDownloadOutcome TransferMacroImage(CCommandChannel& channel, const std::filesystem::path& folder,
                                        std::span<const std::string> guids, DeviceInfoBlock info,
                                        std::optional<std::size_t> longest_macro,
                                        const std::function<bool(const std::function<CommandResult()>&)>& transaction);

}  // namespace brontal
