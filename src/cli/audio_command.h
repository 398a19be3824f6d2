#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

#include "cli/commands.h"
#include "control/command_line.h"

// brontalctl audio: the audio-reactive lighting, one sub-command a row of the
// table in audio_command.cpp.
namespace brontal::audio_command {

inline constexpr std::string_view kName = "audio";

struct SubCommand {
  std::string_view name;
  std::string_view usage;  // as the help shows it, after "brontalctl "
  std::string_view summary;
  std::span<const OptionSpec> options;
  // Gets the words after the sub-command's name, parsed with `options`.
  int (*run)(const ParsedArgs& args, std::ostream& out, std::ostream& err);
};

std::span<const SubCommand> SubCommands();

// `args`: the words after "audio", options anywhere among them.
int Run(CommandArgs args, std::ostream& out, std::ostream& err);

// The band levels a keyboard would get from the desktop's sound (or a WAV
// file), without any device.
int CaptureCommand(const ParsedArgs& args, std::ostream& out, std::ostream& err);

// The music lighting's colour styles, shown or set (audio_styles_command).
int StylesCommand(const ParsedArgs& args, std::ostream& out, std::ostream& err);

}  // namespace brontal::audio_command
