#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "control/device_commands.h"
#include "macros/macro_download.h"

namespace brontal {

// What brontalctl says of a macro download the user must hear about: the
// reason the key table was not written after it, `device` ("keyboard",
// "mouse") naming what refused. Nothing when it went through.
std::optional<std::string> MacroDownloadProblem(const MacroDownloadResult& result, std::string_view device);

// The reply to an assign's write of the macros and then the key table, whose
// assignments the profile already holds.
DeviceReply KeyWriteReply(const DeviceCommandLine& line, std::string_view device, const KeyWriteOutcome& outcome);

}  // namespace brontal
