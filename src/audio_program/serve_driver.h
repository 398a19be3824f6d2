#pragma once

#include <chrono>
#include <optional>

#include "audio_capture/sound_input.h"
#include "audio_link/capture_link.h"

namespace brontal::audio_program {

// Serves brontal-driver on the local bus until told to quit, the limit
// passes, SIGINT or SIGTERM come, or the input file ends; 0 at once when the
// program runs already for this user. The exit status, with the reason of a
// failure on standard error.
int ServeDriver(const audio_capture::SoundInput& input, std::optional<std::chrono::seconds> limit);

}  // namespace brontal::audio_program
