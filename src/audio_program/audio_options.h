#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace brontal::audio_program {

struct AudioOptions {
  std::optional<std::filesystem::path> input;  // a WAV file instead of the desktop's sound
  bool loop = false;
  bool print = false;  // band levels on standard output instead of serving the driver
  bool json = false;
  std::optional<std::chrono::seconds> limit;
  bool help = false;
};

// False, with the reason, for an unknown option, a missing or bad value, or
// options that only make sense with another one absent.
bool ParseAudioOptions(std::span<const std::string_view> args, AudioOptions& options, std::string& error);

std::string_view AudioHelpText();

}  // namespace brontal::audio_program
