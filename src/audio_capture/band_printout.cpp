#include "audio_capture/band_printout.h"

#include <algorithm>
#include <ostream>
#include <stop_token>

#include "audio_capture/analysis_loop.h"
#include "audio_capture/end_on_signal.h"

namespace brontal::audio_capture {
namespace {

constexpr std::string_view kBarSteps = " .:-=+*#%@";

}  // namespace

std::string BandLine(const audio_link::BandLevels& levels, bool json) {
  std::string line = json ? "[" : "|";
  for (std::size_t band = 0; band < levels.size(); ++band) {
    const std::int32_t level = levels[band];
    if (json) {
      if (band) line += ", ";
      line += std::to_string(level);
    } else {
      const std::int64_t step = std::int64_t{level} * static_cast<std::int64_t>(kBarSteps.size() - 1) / kTopLevel;
      line += kBarSteps[static_cast<std::size_t>(std::clamp<std::int64_t>(step, 0, kBarSteps.size() - 1))];
    }
  }
  line += json ? "]" : "|";
  return line;
}

int RunBandPrintout(const SoundInput& input, const PrintoutOptions& options, std::ostream& out, std::ostream& err,
                    std::string_view who) {
  std::stop_source stop;
  const EndOnSignal end(options.limit, [&stop] { stop.request_stop(); });
  std::string error;
  const std::unique_ptr<SoundSource> source = input.Open(stop.get_token(), error);
  if (!source) {
    if (stop.stop_requested()) return 0;
    err << who << ": " << error << '\n';
    return 1;
  }
  audio_link::BandLevelReduction reduction;
  const ReadResult result = RunAnalysis(
      *source, stop.get_token(),
      [&](const AnalysedFrame& frame) { out << BandLine(reduction.Next(frame.spectrum), options.json) << std::endl; },
      error);
  if (result != ReadResult::kFailed) return 0;
  err << who << ": " << error << '\n';
  return 1;
}

}  // namespace brontal::audio_capture
