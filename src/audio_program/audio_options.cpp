#include "audio_program/audio_options.h"

#include <charconv>

namespace brontal::audio_program {
namespace {

// Keeps the limit in milliseconds within an int, as the waits count them.
constexpr unsigned kMostSeconds = 2'147'483;

}  // namespace

bool ParseAudioOptions(std::span<const std::string_view> args, AudioOptions& options, std::string& error) {
  options = {};
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view word = args[i];
    const bool has_value = i + 1 < args.size();
    if (word == "--help" || word == "-h") {
      options.help = true;
    } else if (word == "--loop") {
      options.loop = true;
    } else if (word == "--print") {
      options.print = true;
    } else if (word == "--json") {
      options.json = true;
    } else if (word == "--input" && has_value) {
      options.input = std::filesystem::path(args[++i]);
    } else if (word == "--for" && has_value) {
      const std::string_view text = args[++i];
      unsigned seconds = 0;
      const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
      if (ec != std::errc{} || end != text.data() + text.size() || seconds == 0 || seconds > kMostSeconds) {
        error = "--for takes a number of seconds from 1 to " + std::to_string(kMostSeconds) + ", not '" +
                std::string(text) + "'";
        return false;
      }
      options.limit = std::chrono::seconds(seconds);
    } else if (word == "--input" || word == "--for") {
      error = std::string(word) + " needs a value";
      return false;
    } else {
      error = "unexpected argument '" + std::string(word) + "'";
      return false;
    }
  }
  if (options.loop && !options.input) error = "--loop goes with --input";
  if (options.json && !options.print) error = "--json goes with --print";
  return error.empty();
}

std::string_view AudioHelpText() {
  return "Usage: brontal-audio [--input FILE.wav [--loop]] [--print [--json]] [--for SECONDS]\n"
         "\n"
         "Turns what the desktop plays (the default output's monitor, through PulseAudio\n"
         "or PipeWire) into spectra for the keyboards' audio-reactive lighting. Without\n"
         "--print it serves brontal-driver, which starts it: it waits on the local bus and\n"
         "records only while the driver asks for it. One runs per user; a second start\n"
         "ends at once.\n"
         "\n"
         "  --input FILE.wav  analyse a WAV file (16-bit PCM or 32-bit float, mono or\n"
         "                    stereo) at its own pace instead of recording; ends with it\n"
         "  --loop            play the file again from its start at its end\n"
         "  --print           print the 25 band levels a keyboard gets, a line a frame,\n"
         "                    instead of serving the driver (Ctrl+C ends)\n"
         "  --json            with --print: a JSON array of the 25 levels a line\n"
         "  --for SECONDS     end after this many seconds\n"
         "  --help            this text\n"
         "\n"
         "Exit status: 0 done (or running already), 1 failed (the reason on standard\n"
         "error), 2 usage error.\n";
}

}  // namespace brontal::audio_program
