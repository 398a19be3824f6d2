#pragma once

#include <chrono>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "audio_capture/sound_input.h"
#include "audio_link/band_levels.h"

namespace brontal::audio_capture {

// One frame's band levels as a line: a bar of 25 characters, one per band
// from " " (0) to "@" (2000 and more), or a JSON array of the 25 numbers.
std::string BandLine(const audio_link::BandLevels& levels, bool json);

struct PrintoutOptions {
  std::optional<std::chrono::milliseconds> limit;
  bool json = false;
};

// Prints the band levels the driver would make of every frame of the input,
// a line a frame, until the input ends, the limit passes, or Ctrl+C or
// SIGTERM come. The exit status: 0, or 1 when the input cannot be opened or
// fails (the reason on `err`, after `who`).
int RunBandPrintout(const SoundInput& input, const PrintoutOptions& options, std::ostream& out, std::ostream& err,
                    std::string_view who);

}  // namespace brontal::audio_capture
