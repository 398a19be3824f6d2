#include "cli/audio_command.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "cli/brontalctl.h"
#include "control/audio_styles_command.h"

namespace brontal::audio_command {
namespace {

constexpr OptionSpec kCaptureOptions[] = {{"--for", true}, {"--input", true}, {"--json", false}};
constexpr OptionSpec kStylesOptions[] = {{"--json", false}};

// A new sub-command is one more row.
constexpr SubCommand kSubCommands[] = {
    {"capture", "audio capture [--for SECONDS] [--input FILE.wav] [--json]",
     "the 25 band levels a keyboard would get from what plays (or a WAV file), a line a frame", kCaptureOptions,
     CaptureCommand},
    {audio_styles_command::kSubcommand, audio_styles_command::kUsage, audio_styles_command::kSummary, kStylesOptions,
     StylesCommand},
};

bool TakesValue(std::string_view word) {
  return std::any_of(std::begin(kSubCommands), std::end(kSubCommands), [&](const SubCommand& c) {
    return std::any_of(c.options.begin(), c.options.end(),
                       [&](const OptionSpec& o) { return o.takes_value && o.name == word; });
  });
}

// The first word that is neither an option nor an option's value.
std::optional<std::size_t> SubCommandWord(CommandArgs args) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--") return i + 1 < args.size() ? std::optional(i + 1) : std::nullopt;
    if (!args[i].starts_with('-')) return i;
    if (TakesValue(args[i])) ++i;
  }
  return std::nullopt;
}

void PrintSubCommands(std::ostream& out) {
  out << "Usage: brontalctl audio SUBCOMMAND [OPTIONS]\n\nAudio-reactive lighting:\n";
  for (const SubCommand& c : kSubCommands) out << "  " << c.usage << "\n      " << c.summary << ".\n";
}

}  // namespace

std::span<const SubCommand> SubCommands() { return kSubCommands; }

int Run(CommandArgs args, std::ostream& out, std::ostream& err) {
  const std::optional<std::size_t> at = SubCommandWord(args);
  if (!at) {
    if (std::find(args.begin(), args.end(), "--help") != args.end()) {
      PrintSubCommands(out);
      return kExitOk;
    }
    err << "brontalctl: audio needs a sub-command (see brontalctl audio --help)\n";
    return kExitUsage;
  }
  const auto command = std::find_if(std::begin(kSubCommands), std::end(kSubCommands),
                                    [&](const SubCommand& c) { return c.name == args[*at]; });
  if (command == std::end(kSubCommands)) {
    err << "brontalctl: audio: unknown sub-command '" << args[*at] << "' (see brontalctl audio --help)\n";
    return kExitUsage;
  }
  std::vector<std::string_view> rest(args.begin(), args.end());
  rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(*at));
  ParsedArgs parsed;
  std::string error;
  if (!ParseArgs(rest, command->options, parsed, error)) {
    err << "brontalctl: audio " << command->name << ": " << error << " (" << command->usage << ")\n";
    return kExitUsage;
  }
  if (parsed.help) {
    out << "Usage: brontalctl " << command->usage << "\n\n" << command->summary << ".\n";
    return kExitOk;
  }
  return command->run(parsed, out, err);
}

}  // namespace brontal::audio_command
