#include <ostream>
#include <string_view>
#include <vector>

#include "cli/audio_command.h"
#include "control/audio_styles_command.h"

namespace brontal::audio_command {

int StylesCommand(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
  // The words as typed, for the request brontal-driver may carry out.
  std::vector<std::string_view> words(args.positional.begin(), args.positional.end());
  if (args.Has("--json")) words.push_back("--json");
  return audio_styles_command::Run(words, out, err);
}

}  // namespace brontal::audio_command
