#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace brontal::audio_capture {

// A sound read from a WAV file, mixed down to one channel.
struct WavSound {
  unsigned sample_rate = 0;
  std::vector<float> samples;  // -1..1, non-finite values read as 0
};

// RIFF WAVE with 16-bit PCM or 32-bit float samples (plain or in the
// extensible format), one or two channels. Anything else, and a header that
// does not hold together, is refused whole with the reason.
std::optional<WavSound> DecodeWav(std::span<const std::uint8_t> bytes, std::string& error);
std::optional<WavSound> ReadWavFile(const std::filesystem::path& path, std::string& error);

}  // namespace brontal::audio_capture
