#pragma once

// WAV files and tones made by the tests and the benchmark.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string_view>
#include <vector>

namespace brontal::test {

enum class WavEncoding { kPcm16, kFloat32, kFloat32Extensible };

inline void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
inline void PutTag(std::vector<std::uint8_t>& out, std::string_view tag) {
  out.insert(out.end(), tag.begin(), tag.end());
}

// `samples` interleaved, one per channel a frame.
inline std::vector<std::uint8_t> EncodeWav(const std::vector<float>& samples, unsigned channels, unsigned rate,
                                           WavEncoding encoding) {
  const bool pcm = encoding == WavEncoding::kPcm16;
  const bool extensible = encoding == WavEncoding::kFloat32Extensible;
  const unsigned width = pcm ? 2 : 4;
  std::vector<std::uint8_t> data;
  for (const float sample : samples) {
    if (pcm) {
      PutLe(data,
            static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767))),
            2);
    } else {
      std::uint32_t bits = 0;
      std::memcpy(&bits, &sample, 4);
      PutLe(data, bits, 4);
    }
  }
  std::vector<std::uint8_t> format;
  PutLe(format, extensible ? 0xFFFE : (pcm ? 1 : 3), 2);
  PutLe(format, channels, 2);
  PutLe(format, rate, 4);
  PutLe(format, rate * channels * width, 4);
  PutLe(format, channels * width, 2);
  PutLe(format, width * 8, 2);
  if (extensible) {
    PutLe(format, 22, 2);
    PutLe(format, width * 8, 2);
    PutLe(format, channels == 1 ? 0x4 : 0x3, 4);
    // KSDATAFORMAT_SUBTYPE_IEEE_FLOAT
    for (const std::uint8_t b :
         {0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71})
      format.push_back(b);
  }
  std::vector<std::uint8_t> out;
  PutTag(out, "RIFF");
  PutLe(out, static_cast<std::uint32_t>(4 + 8 + format.size() + 8 + data.size()), 4);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  PutLe(out, static_cast<std::uint32_t>(format.size()), 4);
  out.insert(out.end(), format.begin(), format.end());
  PutTag(out, "data");
  PutLe(out, static_cast<std::uint32_t>(data.size()), 4);
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

// `count` samples of a sine; silence before `start`.
inline std::vector<float> Tone(double hertz, double amplitude, unsigned rate, std::size_t count,
                               std::size_t start = 0) {
  std::vector<float> samples(count, 0.0f);
  for (std::size_t n = start; n < count; ++n)
    samples[n] = static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * hertz * static_cast<double>(n) / rate));
  return samples;
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace brontal::test
