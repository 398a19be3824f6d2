#include "audio_capture/wav_file.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string_view>

namespace brontal::audio_capture {
namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
constexpr std::size_t kFormatSize = 16;
constexpr std::size_t kExtensibleSize = 40;
constexpr unsigned kLowestRate = 8000;
constexpr unsigned kHighestRate = 192000;

std::uint16_t U16At(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
std::uint32_t U32At(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(U16At(b, at)) | static_cast<std::uint32_t>(U16At(b, at + 2)) << 16;
}
bool TagAt(std::span<const std::uint8_t> b, std::size_t at, std::string_view tag) {
  return b.size() >= at + 4 && std::memcmp(b.data() + at, tag.data(), 4) == 0;
}

struct Format {
  std::uint16_t code = 0;
  unsigned channels = 0;
  unsigned rate = 0;
  unsigned bits = 0;
  unsigned block = 0;
};

std::optional<Format> ReadFormat(std::span<const std::uint8_t> chunk, std::string& error) {
  if (chunk.size() < kFormatSize) {
    error = "its format chunk is too short";
    return std::nullopt;
  }
  Format f{U16At(chunk, 0), U16At(chunk, 2), U32At(chunk, 4), U16At(chunk, 14), U16At(chunk, 12)};
  if (f.code == kFormatExtensible) {
    if (chunk.size() < kExtensibleSize) {
      error = "its extensible format chunk is too short";
      return std::nullopt;
    }
    f.code = U16At(chunk, 24);  // the first two bytes of the sub-format GUID
  }
  const bool pcm16 = f.code == kFormatPcm && f.bits == 16;
  const bool float32 = f.code == kFormatFloat && f.bits == 32;
  if (!pcm16 && !float32) {
    error = "format " + std::to_string(f.code) + " with " + std::to_string(f.bits) +
            "-bit samples (only 16-bit PCM and 32-bit float are read)";
  } else if (f.channels < 1 || f.channels > 2) {
    error = std::to_string(f.channels) + " channels (only mono and stereo are read)";
  } else if (f.rate < kLowestRate || f.rate > kHighestRate) {
    error = "a sample rate of " + std::to_string(f.rate) + " Hz";
  } else if (f.block != f.channels * f.bits / 8) {
    error = "a block size of " + std::to_string(f.block) + " bytes for " + std::to_string(f.channels) +
            " channels of " + std::to_string(f.bits) + " bits";
  }
  if (!error.empty()) return std::nullopt;
  return f;
}

float SampleAt(std::span<const std::uint8_t> data, std::size_t at, const Format& f) {
  if (f.code == kFormatPcm) return static_cast<float>(static_cast<std::int16_t>(U16At(data, at))) / 32768.0f;
  const float value = std::bit_cast<float>(U32At(data, at));
  return std::isfinite(value) ? value : 0.0f;
}

}  // namespace

std::optional<WavSound> DecodeWav(std::span<const std::uint8_t> bytes, std::string& error) {
  error.clear();
  if (!TagAt(bytes, 0, "RIFF") || !TagAt(bytes, 8, "WAVE")) {
    error = "not a RIFF WAVE file";
    return std::nullopt;
  }
  std::optional<Format> format;
  std::size_t at = 12;
  while (at + 8 <= bytes.size()) {
    const std::uint32_t size = U32At(bytes, at + 4);
    if (size > bytes.size() - at - 8) {
      error = "a chunk runs past the end of the file";
      return std::nullopt;
    }
    const auto chunk = bytes.subspan(at + 8, size);
    if (TagAt(bytes, at, "fmt ")) {
      if (!(format = ReadFormat(chunk, error))) return std::nullopt;
    } else if (TagAt(bytes, at, "data")) {
      if (!format) {
        error = "its sound comes before its format";
        return std::nullopt;
      }
      WavSound sound{format->rate, {}};
      const std::size_t frames = chunk.size() / format->block;
      const std::size_t width = format->bits / 8;
      sound.samples.reserve(frames);
      for (std::size_t frame = 0; frame < frames; ++frame) {
        float sum = 0;
        for (unsigned channel = 0; channel < format->channels; ++channel)
          sum += SampleAt(chunk, frame * format->block + channel * width, *format);
        sound.samples.push_back(sum / static_cast<float>(format->channels));
      }
      return sound;
    }
    at += 8 + size + (size & 1);  // chunks are padded to an even size
  }
  error = format ? "it holds no sound" : "it has no format chunk";
  return std::nullopt;
}

std::optional<WavSound> ReadWavFile(const std::filesystem::path& path, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = path.string() + ": cannot be opened";
    return std::nullopt;
  }
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) {
    error = path.string() + ": cannot be read";
    return std::nullopt;
  }
  auto sound = DecodeWav(bytes, error);
  if (!sound) error = path.string() + ": " + error;
  return sound;
}

}  // namespace brontal::audio_capture
