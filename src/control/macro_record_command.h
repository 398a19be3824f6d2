#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "control/command_line.h"
#include "control/device_request.h"
#include "input_capture/macro_recorder.h"

namespace brontal {

class MacroFolder;
class MessageLoop;

// "macro DEVICE record NAME [--for SECONDS] [--delay recorded|none|fixed=MS]":
// the keys and buttons pressed anywhere in the session for a while, added at
// the end of a macro (made under that name when there is none). Only the
// system-wide captures can serve it: the command has no window of its own.
namespace macro_record_command {

inline constexpr std::chrono::seconds kDefaultLength{10};
inline constexpr std::chrono::seconds kLongestLength{600};

struct Options {
  std::chrono::seconds length = kDefaultLength;
  DelayMode delay = DelayMode::kRecorded;
  std::uint64_t fixed_delay_ms = 0;
};

// The record options of a macro command line; nullopt, with the reason, for
// bad ones. Harmless for the other actions, which take none.
std::optional<Options> ParseOptions(const ParsedArgs& args, std::string& error);

// Records for `options.length`, then saves and answers with what was recorded.
// Runs on the loop's thread.
void Run(MessageLoop& loop, const MacroFolder& folder, std::string_view name, const Options& options,
         std::function<void(DeviceReply)> done);

}  // namespace macro_record_command
}  // namespace brontal
