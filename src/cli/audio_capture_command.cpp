// brontalctl audio capture: what brontal-audio --print shows, by the same code.
#include <memory>
#include <ostream>

#include "audio_capture/band_printout.h"
#include "cli/audio_command.h"
#include "cli/brontalctl.h"

namespace brontal::audio_command {
namespace {

// Keeps the limit in milliseconds within an int, as the waits count them.
constexpr long kMostSeconds = 2'147'483;

}  // namespace

int CaptureCommand(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
  if (!args.positional.empty()) {
    err << "brontalctl: audio capture: unexpected argument '" << args.positional.front() << "'\n";
    return kExitUsage;
  }
  audio_capture::PrintoutOptions options;
  options.json = args.Has("--json");
  if (const std::optional<std::string> text = args.Value("--for")) {
    const std::optional<long> seconds = ParseNumber(*text, 1, kMostSeconds);
    if (!seconds) {
      err << "brontalctl: audio capture: --for takes a number of seconds from 1 to " << kMostSeconds << ", not '"
          << *text << "'\n";
      return kExitUsage;
    }
    options.limit = std::chrono::seconds(*seconds);
  }
  audio_capture::SoundInput input;
  if (const std::optional<std::string> file = args.Value("--input")) {
    std::string error;
    auto sound = audio_capture::ReadWavFile(*file, error);
    if (!sound) {
      err << "brontalctl: audio capture: " << error << '\n';
      return kExitFailure;
    }
    input.file = std::make_shared<const audio_capture::WavSound>(std::move(*sound));
  }
  return audio_capture::RunBandPrintout(input, options, out, err, "brontalctl: audio capture");
}

}  // namespace brontal::audio_command
